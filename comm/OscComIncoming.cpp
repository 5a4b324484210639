// The communicator's incoming side: packets posted by the transports'
// threads, handled on the message thread.
#include <algorithm>
#include <cstring>

#include "Messages.h"
#include "OscAddress.h"
#include "OscCom.h"
#include "PacketCheck.h"

namespace osc
{

using namespace velmora;

// --- incoming ---------------------------------------------------------------

void OscCom::handleMessage(const juce::Message& message)
{
    const auto* posted = dynamic_cast<const PostedMessage*>(&message);
    if (posted == nullptr || posted->intParameter1 != messageMagic)
        return;

    if (posted->intParameter2 == PostedMessage::status)
    {
        const int code = posted->intParameter3;
        if (code > 0)
        {
            sendNow(1, msg::info);
            usbFamily = code;
        }
        else if (code == PostedMessage::usbLost && online)
            usbConnectionLost();
        else if (code == PostedMessage::networkLost && online)
            networkConnectionLost();
        return;
    }
    if (posted->intParameter2 == PostedMessage::packet)
        handlePacket(*posted);
}

void OscCom::handlePacket(const PostedMessage& posted)
{
    const juce::MemoryBlock* block = posted.pointerParameter.get();
    if (block == nullptr || block->getSize() < 4)
        return;
    const auto* bytes = static_cast<const char*>(block->getData());
    const std::size_t size = block->getSize() - 4;
    // Anyone on the network can send to port 3456: nothing reaches the OSC
    // decoder that it cannot read safely.
    if (! isSafeOscMessage(bytes + 4, size))
        return;

    std::uint32_t sender = 0;
    std::memcpy(&sender, bytes, 4);
    const int source = posted.intParameter3;

    try
    {
        const osc::ReceivedMessage message(
            osc::ReceivedPacket(bytes + 4, static_cast<osc::osc_bundle_element_size_t>(size)));
        const char* address = message.AddressPattern();

        const bool fromActiveTransport =
            transport == 1 ? source == PostedMessage::fromUsb : source == PostedMessage::fromUdp;
        // While online over the network only the connected amplifier is heard.
        const bool fromConnectedDevice =
            source != PostedMessage::fromUdp || (connectedAddress && sender == *connectedAddress);
        if (online && fromActiveTransport && fromConnectedDevice)
            dispatchOnline(address, message);

        if (std::strcmp(address, msg::info.data()) == 0)
            handleInfo(message, source, sender);
    }
    catch (const osc::Exception&)
    {
        // A malformed or mistyped message ends its own handling, nothing more.
    }
    catch (const std::exception&)
    {
    }
}

void OscCom::dispatchOnline(const char* address, const osc::ReceivedMessage& message)
{
    const auto count = message.ArgumentCount();
    auto args = message.ArgumentStream();

    if (startsWith(address, msg::meter))
    {
        if (count != 4)
            return;
        float a = 0, b = 0, c = 0, d = 0;
        args >> a >> b >> c >> d;
        links.setup.setMeterLevels(a, b, c, d);
        if (++meterReplyCount > msg::meterRepliesPerRequest)
        {
            queueMeterRequest(msg::meterRequestValue);
            meterReplyCount = 0;
        }
        acknowledge(withoutSlash(address));
    }
    else if (startsWith(address, msg::peakLimit))
    {
        if (count != 4)
            return;
        osc::int32 a = 0, b = 0, c = 0, d = 0;
        args >> a >> b >> c >> d;
        links.setup.setLimitLeds(a > 0, b > 0, c > 0, d > 0);
    }
    else if (startsWith(address, msg::gain))
    {
        if (count != 4)
            return;
        float gainA = 0, gainB = 0;
        osc::int32 muteA = 0, muteB = 0;
        args >> gainA >> gainB >> muteA >> muteB;
        links.panel.setGainState(gainA, gainB, muteA > 0, muteB > 0);
        acknowledge(withoutSlash(address));
    }
    else if (startsWith(address, msg::preset))
    {
        if (count != 3)
            return;
        osc::int32 a = 0, b = 0;
        const char* text = nullptr;
        args >> a >> b >> text;
        const std::string name(text);
        const std::string_view rest(address + msg::preset.size());
        if (rest == "/name")
            links.setup.showPresetSlot(name, b, a);
        else if (rest == "/load")
            links.setup.showRecalledPresetName(name);
        else if (rest == "/save")
            links.setup.showStoredPreset(name, b, a);
        acknowledge(withoutSlash(address));
    }
    else if (startsWith(address, msg::lock))
    {
        if (count != 1)
            return;
        osc::int32 code = 0;
        args >> code;
        links.setup.showLockState(code);
        // The answer to "/unlock" is "/lock" too; it releases an awaited
        // "/unlock" only when no "/lock" was awaited.
        acknowledgeEither(withoutSlash(address), withoutSlash(msg::unlock));
    }
    else if (startsWith(address, msg::speaker))
    {
        if (count != 1)
            return;
        if (speakerBlock != nullptr)
            speakerBlock->receive(args);
        acknowledge(withoutSlash(address));
    }
    else if (startsWith(address, msg::siggen))
    {
        if (siggenBlock != nullptr)
            siggenBlock->receive(args);
        acknowledge(withoutSlash(address));
    }
    else if (startsWith(address, msg::ampName))
    {
        if (count != 1)
            return;
        const char* name = nullptr;
        args >> name;
        links.setup.showAmpName(name);
        acknowledge(withoutSlash(address));
    }
    else if (startsWith(address, msg::power))
    {
        if (count != 1)
            return;
        const char* state = nullptr;
        args >> state;
        if (std::string_view(state) == msg::powerOff)
        {
            if (transport == 1)
                usbConnectionLost();
            else if (transport == 2)
                networkConnectionLost();
        }
    }
    else if (Cnode* node = findNode(withoutSlash(address), links.root))
    {
        node->receive(args);
        acknowledge(withoutSlash(address));
    }
}

void OscCom::handleInfo(const osc::ReceivedMessage& message, int source, std::uint32_t sender)
{
    if (message.ArgumentCount() != 3)
        return;
    auto args = message.ArgumentStream();
    const char* name = nullptr;
    const char* unused = nullptr;
    osc::int32 modelIndex = 0;
    args >> name >> unused >> modelIndex;

    if (source == PostedMessage::fromUdp)
    {
        // Only within the search's first moments: later, the same answer is
        // news again (the user may have removed the row meanwhile).
        const std::tuple<std::uint32_t, int, std::string> answer {sender, modelIndex, name};
        if (std::chrono::steady_clock::now() - searchTime < searchRepeatWindow)
        {
            if (std::find(searchAnswers.begin(), searchAnswers.end(), answer) !=
                searchAnswers.end())
                return;
            searchAnswers.push_back(answer);
        }
        links.setup.updateIpDevice(modelIndex, name, sender);
        return;
    }
    if (source != PostedMessage::fromUsb)
        return;
    links.setup.updateUsbDevice(modelIndex, name);
    confirmUsbConnect(
        [this](bool accepted)
        {
            if (! accepted)
                return;
            if (online)
                links.setup.disconnectDevice();
            transport = 1;
            queueChanged.notify_all();
            links.setup.selectDevice(0);
            links.setup.connectDevice();
        });
}

} // namespace osc

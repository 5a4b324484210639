#include "OscCom.h"

#include <thread>

#include "Messages.h"
#include "OscAddress.h"

namespace osc
{

using namespace velmora;

OscCom::OscCom(Links l, Timing t, UsbFactory makeUsb, DatagramPlatform& platform)
    : juce::Thread("OSC connection"), links(l), timing(t), datagrams(platform),
      messageMagic(msg::messageMagic)
{
    // The transports' threads and this one post to this listener. JUCE makes
    // a listener's weak reference on its first post, without a lock, so two
    // threads posting first at once would race; it is made here, before any
    // of them runs.
    const juce::WeakReference<juce::MessageListener> postTarget(this);
    if (makeUsb)
        usb = makeUsb(*this, messageMagic);
    udp = std::make_unique<UdpConnection>(*this, messageMagic, datagrams);
    // Aimed at a placeholder until the user picks an amplifier on the network.
    udp->openSocket("0.0.0.1");
    startThread();
    discover(msg::limitedBroadcast);
}

OscCom::~OscCom()
{
    // The sender goes first, so that it never uses a transport being deleted.
    stopSender();
    udp.reset();
    usb.reset();
    std::lock_guard<std::mutex> lock(queueLock);
    clearQueueLocked();
}

void OscCom::stopSender()
{
    {
        std::lock_guard<std::mutex> lock(queueLock);
        stopping = true;
    }
    signalThreadShouldExit();
    queueChanged.notify_all();
    stopThread(4000);
}

// --- queueing ---------------------------------------------------------------

OscCom::Message OscCom::build(std::string_view address,
                              const std::function<void(osc::OutboundPacketStream&)>& args)
{
    try
    {
        auto message = std::make_unique<OutgoingMessage>();
        const std::string text(address);
        message->packet() << osc::BeginMessage(text.c_str());
        if (args)
            args(message->packet());
        message->packet() << osc::EndMessage;
        return message;
    }
    catch (const osc::Exception&)
    {
        return nullptr; // longer than the 64-byte buffer
    }
}

void OscCom::append(Message message, bool query)
{
    if (message == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        appendLocked(std::move(message), query);
    }
    queueChanged.notify_all();
}

void OscCom::appendLocked(Message message, bool query)
{
    const int next = (queueHead + 1) % queueSlots;
    if (next == queueTail)
        return; // full: 511 pending messages; the newest is dropped
    outQueue[static_cast<std::size_t>(queueHead)] = {std::move(message), query};
    queueHead = next;
}

namespace
{
// Commands to the amplifier's preset store: each one is its own action (two
// saves to two slots are two saves), so none replaces another.
bool isPresetCommand(std::string_view addressWithoutSlash)
{
    const std::string_view preset = withoutSlash(msg::preset);
    return addressWithoutSlash.substr(0, preset.size()) == preset &&
           (addressWithoutSlash.size() == preset.size() ||
            addressWithoutSlash[preset.size()] == '/');
}
} // namespace

void OscCom::queueWithReplacement(Message message)
{
    if (message == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        if (! online)
            return;
        const std::string_view address = withoutSlash(message->address());
        if (! isPresetCommand(address))
        {
            for (int i = queueHead; i != queueTail;)
            {
                i = (i + queueSlots - 1) % queueSlots;
                auto& slot = outQueue[static_cast<std::size_t>(i)];
                if (slot.message == nullptr || withoutSlash(slot.message->address()) != address)
                    continue;
                // The block has not been synced yet: a change now would carry
                // the editor's other values, which the amplifier never had.
                // Its answer will bring the amplifier's values instead.
                if (slot.query)
                    return;
                // The message awaiting its reply is never touched: the change
                // goes behind it, so it is sent after that reply.
                if (i == queueTail && sendAttempts > 0)
                    break;
                // A copy not sent yet: the latest value takes its place.
                slot.message = std::move(message);
                return;
            }
        }
        appendLocked(std::move(message), false);
    }
    queueChanged.notify_all();
}

void OscCom::queueMessage(Message message)
{
    queueWithReplacement(std::move(message));
}

void OscCom::queueQuery(std::string_view address)
{
    if (online)
        append(build(address, {}), true);
}

void OscCom::queueNodeQuery(const Cnode& block)
{
    append(build(block.getPath(), {}), true);
}

void OscCom::queueAmpName(const std::string& name)
{
    queueWithReplacement(build(msg::ampName, [&](auto& p) { p << name.c_str(); }));
}

void OscCom::queueIntIntString(std::string_view address, int a, int b, const std::string& text)
{
    queueWithReplacement(
        build(address, [&](auto& p)
              { p << static_cast<osc::int32>(a) << static_cast<osc::int32>(b) << text.c_str(); }));
}

void OscCom::queueInt(int value, std::string_view address)
{
    queueWithReplacement(build(address, [&](auto& p) { p << static_cast<osc::int32>(value); }));
}

void OscCom::queueMeterRequest(float value)
{
    queueWithReplacement(build(msg::meter, [&](auto& p) { p << value; }));
}

void OscCom::queueGain(float gainA, float gainB, int muteA, int muteB)
{
    queueWithReplacement(build(msg::gain,
                               [&](auto& p) {
                                   p << gainA << gainB << static_cast<osc::int32>(muteA)
                                     << static_cast<osc::int32>(muteB);
                               }));
}

int OscCom::pendingCount() const
{
    std::lock_guard<std::mutex> lock(queueLock);
    return (queueHead - queueTail + queueSlots) % queueSlots;
}

void OscCom::clearQueueLocked()
{
    for (auto& slot : outQueue)
        slot = {};
    queueHead = queueTail = 0;
    awaitingReply = false;
    sendAttempts = 0;
    lossPosted = false;
}

// --- the sender thread ----------------------------------------------------

OscCom::SendResult OscCom::sendOldestLocked()
{
    const auto& message = outQueue[static_cast<std::size_t>(queueTail)].message;
    if (message == nullptr)
        return SendResult::noRoute;
    const int route = transport;
    if (route == 1 && usb != nullptr && usb->deviceState() > 0)
    {
        if (! usb->trySend(message->data(), message->size()))
            return SendResult::busy;
    }
    else if (route == 2 && udp != nullptr)
        udp->sendToPeer(message->data(), message->size());
    else
        return SendResult::noRoute;

    awaitingReply = true;
    sendTime = std::chrono::steady_clock::now();
    ++sendAttempts;
    return SendResult::sent;
}

void OscCom::run()
{
    std::unique_lock<std::mutex> lock(queueLock);
    while (! stopping)
    {
        if (queueHead == queueTail)
        {
            queueChanged.wait(lock);
            continue;
        }
        if (sendAttempts >= timing.maxSends)
        {
            // Every send went unanswered: the connection is lost. One status
            // is enough; going offline empties the queue.
            if (! lossPosted)
            {
                lossPosted = true;
                postStatus(transport == 1 ? PostedMessage::usbLost : PostedMessage::networkLost);
            }
            queueChanged.wait(lock);
            continue;
        }
        switch (sendOldestLocked())
        {
            case SendResult::noRoute:
                // Online over USB with the device closed for a moment: the
                // USB thread reopens it without telling us, so look again
                // now and then rather than wait for the next change.
                queueChanged.wait_for(lock, std::chrono::milliseconds(100));
                break;
            case SendResult::busy:
                // The USB slot empties within a few milliseconds.
                queueChanged.wait_for(lock, std::chrono::milliseconds(1));
                break;
            case SendResult::sent:
                queueChanged.wait_until(lock,
                                        sendTime + std::chrono::milliseconds(timing.replyWaitMs),
                                        [this] { return ! awaitingReply || stopping; });
                break;
        }
    }
}

void OscCom::postStatus(int code)
{
    postMessage(new PostedMessage(messageMagic, PostedMessage::status, code));
}

bool OscCom::releaseOldestLocked(std::string_view address)
{
    // Only the message that was sent and awaits its reply is released.
    if (! awaitingReply || queueHead == queueTail)
        return false;
    auto& oldest = outQueue[static_cast<std::size_t>(queueTail)];
    if (oldest.message == nullptr || withoutSlash(oldest.message->address()) != address)
        return false;
    oldest = {};
    queueTail = (queueTail + 1) % queueSlots;
    awaitingReply = false;
    sendAttempts = 0;
    lossPosted = false;
    return true;
}

void OscCom::acknowledge(std::string_view address)
{
    bool released = false;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        released = releaseOldestLocked(address);
    }
    if (released)
        queueChanged.notify_all();
}

void OscCom::acknowledgeEither(std::string_view first, std::string_view second)
{
    bool released = false;
    {
        // One decision under one lock: the sender cannot slip the next
        // message in between, so one answer never releases two.
        std::lock_guard<std::mutex> lock(queueLock);
        released = releaseOldestLocked(first) || releaseOldestLocked(second);
    }
    if (released)
        queueChanged.notify_all();
}

// --- immediate sends and connection control ---------------------------------

void OscCom::sendNow(int route, std::string_view address)
{
    const auto message = build(address, {});
    if (message == nullptr)
        return;
    switch (route)
    {
        case 1:
            for (int attempt = 0; attempt < 3; ++attempt)
            {
                if (usb != nullptr && usb->deviceState() > 0 &&
                    usb->trySend(message->data(), message->size()))
                    return;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            break;
        case 2:
            if (udp != nullptr)
                udp->sendToPeer(message->data(), message->size());
            break;
        case 3:
            if (udp == nullptr)
                break;
            udp->sendToAddress(discoveryAddress, message->data(), message->size());
            // The limited broadcast leaves through one network card only; an
            // amplifier behind another card hears its own subnet's broadcast.
            if (discoveryAddress == msg::limitedBroadcast)
                for (const auto address : datagrams.interfaceBroadcasts())
                    udp->sendToAddress(address, message->data(), message->size());
            break;
        default:
            break;
    }
}

void OscCom::discover(const std::string& address)
{
    discoveryAddress = address;
    searchAnswers.clear();
    searchTime = std::chrono::steady_clock::now();
    if (udp != nullptr)
        sendNow(3, msg::info);
    if (usb != nullptr)
        usb->requestAnnouncement();
}

void OscCom::connectUdp(const std::string& ipAddress)
{
    if (udp != nullptr)
    {
        udp->reopen(ipAddress);
        connectedAddress = udp->peerAddress();
    }
    transport = 2;
    queueChanged.notify_all();
}

void OscCom::useUsb()
{
    transport = 1;
    queueChanged.notify_all();
}

void OscCom::goOnline()
{
    if (udp == nullptr && ! (usb != nullptr && usb->deviceState() > 0))
        return;
    sendNow(transport, msg::online);
    online = true;
    {
        std::lock_guard<std::mutex> lock(queueLock);
        sendAttempts = 0;
    }
    queueQuery(msg::gain);
    forEachBlock(links.root, [this](Cnode& block) { queueNodeQuery(block); });
    for (int slot = 1; slot <= msg::presetSlots; ++slot)
        queueIntIntString(msg::presetName, slot, 0, std::string(msg::presetQueryName));
    queueMeterRequest(msg::meterRequestValue);
}

void OscCom::goOffline()
{
    if (transport == 1)
    {
        if (usb != nullptr)
            usb->setNoDevice();
        transport = 0;
        links.setup.forgetSelectedDevice();
    }
    sendNow(transport, msg::offline);
    online = false;
    // Whatever still waits in the USB send slot belongs to this connection
    // and must never reach the next device.
    if (usb != nullptr)
        usb->clearSendSlot();
    {
        std::lock_guard<std::mutex> lock(queueLock);
        clearQueueLocked();
    }
    queueChanged.notify_all();
    links.panel.showMeterLevels(0.0f, 0.0f, 0.0f, 0.0f);
    links.panel.setLeds(false, false, false, false);
}

void OscCom::sendNodeValues(Cnode& block)
{
    block.send(block.getPath());
}

void OscCom::usbConnectionLost()
{
    links.setup.disconnectDevice();
    links.dialogs.showWarning("USB connection error!", "Device will be disconnected", "Ok");
    if (usb != nullptr)
        usb->setNoDevice();
    transport = 0;
    links.setup.forgetSelectedDevice();
}

void OscCom::networkConnectionLost()
{
    links.setup.disconnectDevice();
    links.dialogs.showWarning("Network connection error!", "Device will be disconnected", "Ok");
    transport = 0;
    links.setup.forgetSelectedDevice();
}

void OscCom::confirmUsbConnect(std::function<void(bool)> answered)
{
    links.dialogs.askQuestion(usbFamily == 1 ? "Vorn series connected" : "Zephyl model connected",
                              "Connect to device and lose current settings?", "Connect", "Cancel",
                              std::move(answered));
}

} // namespace osc

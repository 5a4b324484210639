#include "PacketPath.h"

#include <cstring>

#include "FakeLinks.h"
#include "Messages.h"
#include "OscCom.h"
#include "ReferenceDecoder.h"

namespace velmora::fuzz
{
namespace
{

struct Editor
{
    std::unique_ptr<Croot> root = makeTree();
    test::FakeSetupPage setup;
    test::FakePanel panel;
    test::FakeDialogs dialogs;
    Ciosiggen siggen;
    Ciospeaker speaker;
    std::unique_ptr<osc::OscCom> com;
    std::uint32_t amplifier = 0;

    Editor()
    {
        // A long reply wait: the fuzzer never answers, and a connection-loss
        // verdict would only add noise.
        com = std::make_unique<osc::OscCom>(osc::OscCom::Links {*root, setup, panel, dialogs},
                                            osc::OscComTiming {3600 * 1000, 4});
        setup.com = com.get();
        com->setSiggenBlock(&siggen);
        com->setSpeakerBlock(&speaker);
        com->connectUdp("127.0.0.2");
        amplifier = com->getUdp()->peerAddress().value_or(0);
    }

    void setOnline(bool wanted)
    {
        if (wanted && ! com->isOnline())
        {
            setup.selectedRow = 1;
            setup.connected = false;
            setup.connectDevice();
        }
        else if (! wanted && com->isOnline())
            setup.disconnectDevice();
    }
};

Editor& editor()
{
    static Editor e;
    return e;
}

} // namespace

std::optional<std::string> feedPacket(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return std::nullopt;
    Editor& e = editor();
    const bool usb = (data[0] & 1) != 0;
    e.setOnline((data[0] & 2) == 0);
    ++data;
    --size;

    // The transports never pass on more than a report or a receive area holds.
    auto block =
        std::make_unique<juce::MemoryBlock>(usb ? 68 : 4 + std::min<std::size_t>(size, 128), true);
    if (! usb)
        std::memcpy(block->getData(), &e.amplifier, 4);
    std::memcpy(static_cast<char*>(block->getData()) + 4, data,
                std::min(size, block->getSize() - 4));

    // The message bytes alone, in a buffer of their exact size.
    const std::vector<char> bytes(static_cast<const char*>(block->getData()) + 4,
                                  static_cast<const char*>(block->getData()) + block->getSize());
    auto disagreement = disagreementWithLibrary(bytes.data(), bytes.size());

    const PostedMessage message(msg::messageMagic, PostedMessage::packet,
                                usb ? PostedMessage::fromUsb : PostedMessage::fromUdp,
                                std::move(block));
    e.com->handleMessage(message);

    // Keep the stand-ins' records from growing without bound.
    e.setup.ipDevices.clear();
    e.setup.usbDevices.clear();
    e.setup.calls.clear();
    e.setup.meters.clear();
    e.setup.leds.clear();
    e.setup.presetSlots.clear();
    e.setup.lockStates.clear();
    e.setup.ampNames.clear();
    e.panel.gains.clear();
    e.dialogs.warnings.clear();
    while (! e.dialogs.questions.empty())
        e.dialogs.answer((size & 1) != 0);
    return disagreement;
}

} // namespace velmora::fuzz

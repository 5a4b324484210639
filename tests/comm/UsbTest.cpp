#include <cstring>

#include "CommFixture.h"
#include "SimulatedHid.h"
#include "UsbAmpSim.h"
#include "UsbConnection.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

class Usb : public CommFixture
{
protected:
    sim::SimulatedHidBus bus;

    // Counts the messages the communicator puts into the USB send slot.
    struct CountingLink : UsbLink
    {
        std::unique_ptr<UsbConnection> real;
        std::atomic<int>& sends;
        CountingLink(std::unique_ptr<UsbConnection> r, std::atomic<int>& n)
            : real(std::move(r)), sends(n)
        {
        }
        int deviceState() const override { return real->deviceState(); }
        void setNoDevice() override { real->setNoDevice(); }
        void clearSendSlot() override { real->clearSendSlot(); }
        void requestAnnouncement() override { real->requestAnnouncement(); }
        bool trySend(const char* data, std::size_t size) override
        {
            const bool taken = real->trySend(data, size);
            sends += taken ? 1 : 0;
            return taken;
        }
    };
    std::atomic<int> slotSends {0};

    // Long reply waits where a test is about completion; a loaded machine
    // must not turn a slow answer into a resend.
    void startWithUsb(osc::OscComTiming timing = {2000, 4})
    {
        com = std::make_unique<osc::OscCom>(
            osc::OscCom::Links {*root, setup, panel, dialogs}, timing,
            [this](juce::MessageListener& l, int magic)
            {
                return std::make_unique<CountingLink>(
                    std::make_unique<UsbConnection>(l, magic, bus), slotSends);
            },
            sharedPortDatagramPlatform());
        setup.com = com.get();
        setOutbox(com.get());
    }

    // Accepts the USB question and waits until the sync is done.
    void connectOverUsb()
    {
        ASSERT_TRUE(waitForQuestion(10000));
        setup.presetSlots.clear();
        dialogs.answer(true);
        ASSERT_TRUE(pumpUntil(
            [&] {
                return com->isOnline() && com->pendingCount() == 0 &&
                       setup.presetSlots.size() == 20;
            },
            30000));
    }

    void TearDown() override
    {
        CommFixture::TearDown(); // the transport goes before the bus
    }

    static std::string messageOf(const HidReport& r)
    {
        return std::string(reinterpret_cast<const char*>(r.data() + 2));
    }

    bool waitForQuestion(int timeoutMs = 2000)
    {
        return pumpUntil([&] { return ! dialogs.questions.empty(); }, timeoutMs);
    }
};

TEST_F(Usb, AnAnnouncedVornSeriesAmplifierConnectsOverReports)
{
    startWithUsb();
    sim::Amplifier amp(2, "Desk");
    sim::UsbAmpSim device(amp, bus);

    ASSERT_TRUE(waitForQuestion());
    EXPECT_EQ(dialogs.questions[0].title, "Vorn series connected");
    EXPECT_EQ(dialogs.questions[0].message, "Connect to device and lose current settings?");
    EXPECT_EQ(dialogs.questions[0].confirm, "Connect");
    EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
    ASSERT_EQ(setup.usbDevices.size(), 1u);
    EXPECT_EQ(setup.usbDevices[0].model, 2);
    EXPECT_EQ(setup.usbDevices[0].name, "Desk");
    EXPECT_EQ(com->getUsbFamily(), 1);

    dialogs.answer(true);
    ASSERT_TRUE(pumpUntil(
        [&]
        { return com->isOnline() && com->pendingCount() == 0 && setup.presetSlots.size() == 20; },
        30000));
    EXPECT_EQ(com->getTransport(), 1);
    EXPECT_EQ(setup.selectedRow, 0);

    const auto reports = device.writtenReports();
    ASSERT_GE(reports.size(), 1u + 1u + 1u + 39u + 20u + 1u);
    EXPECT_EQ(messageOf(reports[0]), "/info");
    EXPECT_EQ(messageOf(reports[1]), "/online");
    EXPECT_EQ(messageOf(reports[2]), "/gain");
    EXPECT_EQ(messageOf(reports[3]), "/ampmode");
    for (const auto& r : reports)
    {
        EXPECT_EQ(r[0], 0);
        EXPECT_LE(r[1], 62);
        EXPECT_EQ(r[1] % 4, 0);
    }
    forEachBlock(amp.tree(),
                 [&](Cnode& block)
                 {
                     EXPECT_EQ(findNode(block.getPath().substr(1), *root)->text(), block.text())
                         << block.getPath();
                 });
    ASSERT_TRUE(pumpUntil([&] { return setup.meters.size() > 3; })); // meters stream over USB too
}

TEST_F(Usb, CancelConnectsNothing)
{
    startWithUsb();
    sim::Amplifier amp(5, "Side");
    sim::UsbAmpSim device(amp, bus);
    ASSERT_TRUE(waitForQuestion());
    EXPECT_EQ(dialogs.questions[0].title, "Zephyl model connected");
    dialogs.answer(false);
    pumpFor(300);
    EXPECT_FALSE(com->isOnline());
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_TRUE(device.log("/online").empty());
}

TEST_F(Usb, OnlyTheAmplifiersOwnLettersAreOpened)
{
    startWithUsb();
    sim::Amplifier stranger(1, "Stranger");
    sim::UsbAmpSim wrongLetters(stranger, bus, "XY1");
    pumpFor(600);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(wrongLetters.writtenReports().empty());
    EXPECT_EQ(com->getUsb()->deviceState(), -1);
}

TEST_F(Usb, WithBothFamiliesAttachedTheVornSeriesWins)
{
    // Both are attached before the transport first looks.
    sim::Amplifier zephyl(6, "Z"), vorn(0, "V");
    sim::UsbAmpSim z(zephyl, bus), v(vorn, bus);
    startWithUsb();
    ASSERT_TRUE(waitForQuestion());
    EXPECT_EQ(dialogs.questions[0].title, "Vorn series connected");
    EXPECT_EQ(setup.usbDevices.back().name, "V");
    EXPECT_TRUE(z.writtenReports().empty());
}

TEST_F(Usb, AMessageTooLongForAReportEndsInOneConnectionErrorBox)
{
    startWithUsb({150, 4});
    sim::Amplifier amp(0, "Main");
    sim::UsbAmpSim device(amp, bus);
    connectOverUsb();

    // "/ampname" ,s with 47 characters: 64 bytes, more than a report holds.
    const std::string name(47, 'n');
    com->queueAmpName(name);
    ASSERT_TRUE(pumpUntil([&] { return ! com->isOnline(); }, 3000));
    pumpFor(300);
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string> {"USB connection error!|Device will be disconnected|Ok"});
    EXPECT_TRUE(device.log("/ampname").empty());
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_EQ(com->getUsb()->deviceState(), -1);
}

TEST_F(Usb, AfterGoingOfflineTheDeviceIsAnnouncedAgainOnlyAfterADiscovery)
{
    startWithUsb();
    sim::Amplifier amp(3, "Main");
    sim::UsbAmpSim device(amp, bus);
    connectOverUsb();

    setup.disconnectDevice();
    EXPECT_FALSE(com->isOnline());
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_EQ(setup.selectedRow, -1); // forgotten
    const int opens = bus.openCount(device.deviceNumber());
    pumpFor(700);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(device.log("/info").size(), 1u);
    EXPECT_GT(bus.openCount(device.deviceNumber()), opens); // quiet probing goes on

    com->discover("255.255.255.255");
    ASSERT_TRUE(waitForQuestion());
    EXPECT_EQ(device.log("/info").size(), 2u);
}

TEST_F(Usb, ACablePulledWhileOnline)
{
    startWithUsb({150, 4});
    sim::Amplifier amp(1, "Rack");
    sim::UsbAmpSim device(amp, bus);
    connectOverUsb();
    const int before = slotSends;

    device.unplug();
    com->queueGain(-3.0f, -3.0f, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return ! com->isOnline(); }, 5000));
    pumpFor(400);
    EXPECT_EQ(slotSends - before, 4); // four sends, none answered
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string> {"USB connection error!|Device will be disconnected|Ok"});
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_EQ(com->getUsb()->deviceState(), -1);
    EXPECT_EQ(com->pendingCount(), 0);
    const auto& calls = setup.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "forgetSelectedDevice"), calls.end());
    EXPECT_EQ(setup.selectedRow, -1);
}

TEST_F(Usb, PowerOffOverUsbTakesTheEditorOffline)
{
    startWithUsb();
    sim::Amplifier amp(0, "Rack");
    sim::UsbAmpSim device(amp, bus);
    connectOverUsb();
    device.sendPowerOff();
    ASSERT_TRUE(pumpUntil([&] { return ! com->isOnline(); }, 5000));
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string> {"USB connection error!|Device will be disconnected|Ok"});
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_EQ(com->getUsb()->deviceState(), -1);
}

TEST_F(Usb, AcceptingAUsbAmplifierWhileOnlineOverTheNetworkLeavesTheNetworkOne)
{
    startWithUsb();
    sim::Amplifier network(5, "Far"), local(2, "Near");
    std::mutex lock;
    FakePeer peer("127.0.0.2");
    peer.setResponder(amplifierResponder(network, lock));
    connectTo("127.0.0.2");
    ASSERT_TRUE(pumpUntil([&] { return com->isOnline() && com->pendingCount() == 0; }, 30000));

    sim::UsbAmpSim device(local, bus);
    connectOverUsb();
    EXPECT_EQ(peer.received("/offline").size(), 1u);
    EXPECT_EQ(com->getTransport(), 1);
    EXPECT_EQ(device.log("/online").size(), 1u);
    // Nothing of the new connection goes to the network amplifier.
    const auto all = peer.received();
    EXPECT_EQ(all.back().address(), "/offline");
}

// The transport alone, with a device the test writes reports for.
struct Posted : juce::MessageListener
{
    std::vector<int> statuses;
    std::vector<juce::MemoryBlock> packets;
    void handleMessage(const juce::Message& m) override
    {
        const auto& p = dynamic_cast<const PostedMessage&>(m);
        if (p.intParameter2 == PostedMessage::status)
            statuses.push_back(p.intParameter3);
        else
            packets.push_back(*p.pointerParameter);
    }
};

TEST(UsbTransport, ReadRulesAndThePacketBlock)
{
    sim::SimulatedHidBus bus;
    Posted posted;
    UsbConnection usb(posted, msg::messageMagic, bus);
    const int device = bus.plug(amplifierVendorId, zephylProductId, "AP2", {});
    ASSERT_TRUE(pumpUntil([&] { return posted.statuses == std::vector<int> {2}; }));
    EXPECT_EQ(usb.deviceState(), 2);

    auto report = [](std::size_t n, char first, char fill)
    {
        HidReport r {};
        r[1] = static_cast<std::uint8_t>(n);
        for (std::size_t i = 0; i < 62; ++i)
            r[2 + i] = static_cast<std::uint8_t>(fill);
        r[2] = static_cast<std::uint8_t>(first);
        return r;
    };
    bus.sendInput(device, report(40, '/', 'a'));
    bus.sendInput(device, report(63, '/', 'b')); // too long: ignored
    bus.sendInput(device, report(8, 'x', 'c'));  // not an OSC address: ignored
    bus.sendInput(device, report(6, '/', 'd'));  // not whole words: not passed on
    bus.sendInput(device, report(8, '/', 'e'));
    ASSERT_TRUE(pumpUntil([&] { return posted.packets.size() == 2; }));
    pumpFor(50);
    ASSERT_EQ(posted.packets.size(), 2u);
    const auto* second = static_cast<const char*>(posted.packets[1].getData());
    EXPECT_EQ(posted.packets[1].getSize(), 68u);
    EXPECT_EQ(std::string(second + 4, 8), "/eeeeeee");
    // After the 8 new bytes, what the first report left there.
    EXPECT_EQ(std::string(second + 12, 32), std::string(32, 'a'));
    EXPECT_EQ(second[44], 0);
    EXPECT_EQ(std::string(second, 4), std::string(4, '\0'));
}

TEST(UsbTransport, TheSendSlotTakesOneMessageAtATime)
{
    sim::SimulatedHidBus bus;
    Posted posted;
    std::vector<HidReport> written;
    std::mutex lock;
    UsbConnection usb(posted, msg::messageMagic, bus);
    const char message[8] = {'/', 'a', 0, 0, ',', 0, 0, 0};
    EXPECT_FALSE(usb.trySend(message, 8)); // no device yet

    const int device = bus.plug(amplifierVendorId, vornProductId, "FW9",
                                [&](const HidReport& r)
                                {
                                    std::lock_guard<std::mutex> l(lock);
                                    written.push_back(r);
                                });
    ASSERT_TRUE(pumpUntil([&] { return usb.deviceState() == 1; }));
    bus.setStalled(device, true);
    EXPECT_TRUE(usb.trySend(message, 8));
    EXPECT_FALSE(usb.trySend(message, 8)); // still full
    bus.setStalled(device, false);
    ASSERT_TRUE(pumpUntil([&] { return usb.trySend(message, 8); }, 3000));
    ASSERT_TRUE(pumpUntil(
        [&]
        {
            std::lock_guard<std::mutex> l(lock);
            return written.size() == 1;
        }));
    std::lock_guard<std::mutex> l(lock);
    EXPECT_EQ(written[0][0], 0);
    EXPECT_EQ(written[0][1], 8);
    EXPECT_EQ(std::memcmp(written[0].data() + 2, message, 8), 0);
}

} // namespace

namespace
{

TEST(UsbTransport, AFailedWriteIsTriedFiveTimesInAll)
{
    sim::SimulatedHidBus bus;
    Posted posted;
    std::atomic<int> written {0};
    UsbConnection usb(posted, msg::messageMagic, bus);
    const int device =
        bus.plug(amplifierVendorId, vornProductId, "FW9", [&](const HidReport&) { ++written; });
    ASSERT_TRUE(pumpUntil([&] { return usb.deviceState() == 1; }));
    const char message[8] = {'/', 'a', 0, 0, ',', 0, 0, 0};

    // Two failed writes, then the device takes the third.
    bus.setStalled(device, true);
    ASSERT_TRUE(usb.trySend(message, 8));
    ASSERT_TRUE(pumpUntil([&] { return bus.failedWrites(device) >= 2; }, 5000));
    bus.setStalled(device, false);
    ASSERT_TRUE(pumpUntil([&] { return written == 1; }, 5000));
    EXPECT_LE(bus.failedWrites(device), 4);

    // A device that never takes it: five attempts, then the slot is free.
    const int failedBefore = bus.failedWrites(device);
    bus.setStalled(device, true);
    ASSERT_TRUE(pumpUntil([&] { return usb.trySend(message, 8); }, 5000));
    ASSERT_TRUE(pumpUntil([&] { return usb.trySend(message, 8); }, 5000));
    EXPECT_EQ(bus.failedWrites(device) - failedBefore, 5);
    EXPECT_EQ(written, 1);
}

TEST(UsbTransport, TheSendSlotIsEmptiedWhenTheDeviceGoesAway)
{
    sim::SimulatedHidBus bus;
    Posted posted;
    std::mutex lock;
    std::vector<HidReport> first, second;
    auto recordInto = [&](std::vector<HidReport>& list)
    {
        return [&](const HidReport& r)
        {
            std::lock_guard<std::mutex> l(lock);
            list.push_back(r);
        };
    };
    UsbConnection usb(posted, msg::messageMagic, bus);
    const int a = bus.plug(amplifierVendorId, vornProductId, "FW1", recordInto(first));
    ASSERT_TRUE(pumpUntil([&] { return usb.deviceState() == 1; }));

    // A message waits in the slot as the editor gives the device up.
    const char message[12] = {'/', 's', 't', 'a', 'l', 'e', 0, 0, ',', 0, 0, 0};
    ASSERT_TRUE(usb.trySend(message, 12));
    usb.setNoDevice();
    bus.unplug(a);

    bus.plug(amplifierVendorId, vornProductId, "FW2", recordInto(second));
    usb.requestAnnouncement();
    ASSERT_TRUE(pumpUntil([&] { return posted.statuses.size() == 2; }, 5000));
    pumpFor(100);
    std::lock_guard<std::mutex> l(lock);
    EXPECT_TRUE(second.empty()) << "the old message reached the new device";
}

} // namespace

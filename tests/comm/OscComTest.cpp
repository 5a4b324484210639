#include <set>
#include <thread>

#include "CommFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

// Passes everything to the machine's sockets and records where datagrams go.
struct RecordingPlatform : DatagramPlatform
{
    DatagramPlatform& real = sharedPortDatagramPlatform();
    std::mutex lock;
    std::vector<std::pair<std::string, Bytes>> sent; // "address:port", bytes

    int createSocket() override { return real.createSocket(); }
    bool bind(int fd, std::uint32_t a, std::uint16_t p) override { return real.bind(fd, a, p); }
    bool setOptions(int fd, bool b) override { return real.setOptions(fd, b); }
    std::optional<std::uint32_t> resolve(const std::string& h) override { return real.resolve(h); }
    bool sendTo(int fd, const void* d, std::size_t n, std::uint32_t a, std::uint16_t p) override
    {
        {
            std::lock_guard<std::mutex> l(lock);
            sent.emplace_back(dottedAddress(a) + ":" + std::to_string(p),
                              Bytes(static_cast<const char*>(d), static_cast<const char*>(d) + n));
        }
        return real.sendTo(fd, d, n, a, p);
    }
    Wait waitReadable(int fd, int w) override { return real.waitReadable(fd, w); }
    long receive(int fd, void* b, std::size_t c, std::uint32_t& f) override
    {
        return real.receive(fd, b, c, f);
    }
    void close(int fd) override { real.close(fd); }
    // The machine's network cards, as the test says they are.
    std::vector<std::uint32_t> broadcasts;
    std::vector<std::uint32_t> interfaceBroadcasts() override { return broadcasts; }

    std::vector<std::string> destinations()
    {
        std::lock_guard<std::mutex> l(lock);
        std::vector<std::string> where;
        for (const auto& [address, bytes] : sent)
            where.push_back(address + (bytes == oscBytes("/info") ? " /info" : " other"));
        return where;
    }
};

std::uint32_t ipv4(const char* dotted)
{
    return *sharedPortDatagramPlatform().resolve(dotted);
}

class Communicator : public CommFixture
{
protected:
    std::mutex ampLock;
};

TEST_F(Communicator, BroadcastsOneInfoRequestAtStartUp)
{
    RecordingPlatform platform;
    startCom({}, platform);
    pumpFor(50);
    EXPECT_EQ(com->getDiscoveryAddress(), "255.255.255.255");
    EXPECT_FALSE(com->isOnline());
    EXPECT_EQ(com->getTransport(), 0);
    com.reset(); // before the platform it uses
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.sent[0].first, "255.255.255.255:3456");
    EXPECT_EQ(platform.sent[0].second, oscBytes("/info"));
}

TEST_F(Communicator, ASearchAsksEveryNetworkCardAndATypedAddressOnlyItself)
{
    RecordingPlatform platform;
    platform.broadcasts = {ipv4("10.1.2.255"), ipv4("192.168.7.255")};
    startCom({}, platform);
    pumpFor(20);
    const std::vector<std::string> search {"255.255.255.255:3456 /info",
                                           "10.1.2.255:3456 /info", "192.168.7.255:3456 /info"};
    EXPECT_EQ(platform.destinations(), search);

    // A fixed address or a rename asks that one amplifier, not every subnet.
    com->discover("127.0.0.9");
    // Search looks at the cards again: one may have come up meanwhile.
    platform.broadcasts = {ipv4("10.1.2.255")};
    com->discover("255.255.255.255");
    pumpFor(20);
    com.reset(); // before the platform it uses
    auto expected = search;
    expected.insert(expected.end(), {"127.0.0.9:3456 /info", "255.255.255.255:3456 /info",
                                     "10.1.2.255:3456 /info"});
    EXPECT_EQ(platform.destinations(), expected);
}

TEST_F(Communicator, AnAmplifierThatHearsTwoBroadcastsIsListedOncePerSearch)
{
    startCom();
    FakePeer twice("127.0.0.2"), renamed("127.0.0.3");
    ASSERT_TRUE(twice.isBound() && renamed.isBound());
    const auto info = [](const char* name, int model)
    {
        return oscBytes("/info", [&](auto& p) { p << name << "x" << osc::int32(model); });
    };
    // As if "/info" came by the limited and by the directed broadcast.
    twice.setResponder([&](const PeerPacket&)
                       { return std::vector<Bytes> {info("Stage L", 1), info("Stage L", 1)}; });
    // A changed answer is news, even within one search.
    renamed.setResponder([&](const PeerPacket&)
                         { return std::vector<Bytes> {info("Fill", 5), info("Fill 2", 5)}; });

    for (int search = 1; search <= 2; ++search)
    {
        com->discover("127.0.0.2");
        com->discover("127.0.0.3");
        ASSERT_TRUE(pumpUntil([&] { return setup.ipDevices.size() >= 3u * search; }));
        pumpFor(100);
        ASSERT_EQ(setup.ipDevices.size(), 3u * search) << "search " << search;
    }
    std::multiset<std::string> names;
    for (const auto& d : setup.ipDevices)
        names.insert(d.name + "@" + dottedAddress(d.address));
    EXPECT_EQ(names.count("Stage L@127.0.0.2"), 2u);
    EXPECT_EQ(names.count("Fill@127.0.0.3"), 2u);
    EXPECT_EQ(names.count("Fill 2@127.0.0.3"), 2u);
}

TEST_F(Communicator, DiscoveryListsEveryAnsweringAmplifierWithItsAddress)
{
    startCom();
    sim::Amplifier vorn(1, "Stage L"), zephyl(5, "Fill");
    FakePeer a("127.0.0.2"), b("127.0.0.3"), odd("127.0.0.4");
    ASSERT_TRUE(a.isBound() && b.isBound() && odd.isBound());
    a.setResponder(amplifierResponder(vorn, ampLock));
    b.setResponder(amplifierResponder(zephyl, ampLock));
    // An "/info" answer with two arguments is not an amplifier's.
    odd.setResponder(
        [](const PeerPacket&)
        {
            return std::vector<Bytes> {oscBytes("/info",
                                                [](auto& p)
                                                {
                                                    p << "odd"
                                                      << "x";
                                                })};
        });

    com->discover("127.0.0.2");
    com->discover("127.0.0.3");
    com->discover("127.0.0.4");
    ASSERT_TRUE(pumpUntil([&] { return setup.ipDevices.size() >= 2; }));
    pumpFor(100);

    ASSERT_EQ(setup.ipDevices.size(), 2u);
    std::set<std::tuple<int, std::string, std::string>> found;
    for (const auto& d : setup.ipDevices)
        found.emplace(d.model, d.name, dottedAddress(d.address));
    EXPECT_EQ(found, (std::set<std::tuple<int, std::string, std::string>> {
                         {1, "Stage L", "127.0.0.2"}, {5, "Fill", "127.0.0.3"}}));
    EXPECT_EQ(odd.received("/info").size(), 1u);
}

TEST_F(Communicator, GoingOnlineSendsTheSequenceOneMessageAtATime)
{
    // A reply wait no loaded machine misses: only the sends the amplifier
    // leaves unanswered on purpose are repeated.
    startCom({1000, 4});
    sim::Amplifier amp(0, "Main");
    FakePeer peer("127.0.0.2");
    // The amplifier ignores the first send of three messages and answers the
    // repeat; with more than one message in flight the pairs would mix.
    const std::set<std::string> ignoredOnce {"/gain", "/channel/1/deq/2/time", "/meter"};
    std::set<std::string> seen;
    auto answerLikeAmp = amplifierResponder(amp, ampLock);
    peer.setResponder(
        [&](const PeerPacket& p)
        {
            if (ignoredOnce.count(p.address()) != 0 && seen.insert(p.address()).second)
                return std::vector<Bytes> {};
            return answerLikeAmp(p);
        });

    connectTo("127.0.0.2");
    ASSERT_TRUE(pumpUntilPeer(
        peer, [](const auto& r) { return countOf(r, "/meter") >= 2; }, 30000));
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }, 5000));

    std::vector<Bytes> expected {oscBytes("/online"), oscBytes("/gain")};
    forEachBlock(*root,
                 [&](Cnode& block) { expected.push_back(oscBytes(block.getPath().c_str())); });
    for (int n = 1; n <= 20; ++n)
        expected.push_back(oscBytes("/preset/name", [&](auto& p)
                                    { p << osc::int32(n) << osc::int32(0) << "DUMMY"; }));
    expected.push_back(oscBytes("/meter", [](auto& p) { p << 10.0f; }));
    ASSERT_EQ(expected.size(), 1u + 61u);
    // Each ignored message comes twice, one right after the other.
    std::vector<Bytes> withRepeats;
    for (const auto& e : expected)
    {
        withRepeats.push_back(e);
        if (ignoredOnce.count(std::string(e.data())) != 0)
            withRepeats.push_back(e);
    }

    std::vector<Bytes> received;
    for (const auto& p : peer.received())
        received.push_back(p.bytes);
    EXPECT_EQ(received, withRepeats);
    EXPECT_EQ(com->pendingCount(), 0);

    // The editor's tree now holds the amplifier's values.
    std::lock_guard<std::mutex> l(ampLock);
    forEachBlock(amp.tree(),
                 [&](Cnode& block)
                 {
                     EXPECT_EQ(findNode(block.getPath().substr(1), *root)->text(), block.text())
                         << block.getPath();
                 });
}

// An amplifier that answers only what the test tells it to. The reply wait
// is long, so nothing is sent twice while the test takes its time.
class ManualAmp : public Communicator
{
protected:
    FakePeer peer {"127.0.0.2"};

    void online()
    {
        startCom({20000, 4});
        connectTo("127.0.0.2");
        ASSERT_TRUE(pumpUntilPeer(peer, [](const auto& r) { return countOf(r, "/gain") == 1; }));
    }

    // Waits until the peer has received `count` messages of `address`.
    bool received(const std::string& address, int count = 1)
    {
        return pumpUntilPeer(peer, [&](const auto& r) { return countOf(r, address) >= count; });
    }

    void answer(const Bytes& bytes) { peer.sendToEditor(bytes); }

    static Bytes gainMessage(float a, float b, int muteA = 0, int muteB = 0)
    {
        return oscBytes("/gain",
                        [&](auto& p) { p << a << b << osc::int32(muteA) << osc::int32(muteB); });
    }

    // Answers every block query with the block's current values.
    void answerAllBlocks()
    {
        forEachBlock(*root,
                     [&](Cnode& block)
                     {
                         ASSERT_TRUE(received(block.getPath()));
                         const auto m = static_cast<Cblock&>(block).buildMessage(block.getPath());
                         answer(Bytes(m->data(), m->data() + m->size()));
                     });
    }

    // Goes online and answers the whole sync, up to an empty queue.
    void synced()
    {
        online();
        answer(gainMessage(0.0f, 0.0f));
        answerAllBlocks();
        for (int slot = 1; slot <= 20; ++slot)
        {
            ASSERT_TRUE(received("/preset/name", slot));
            answer(oscBytes("/preset/name",
                            [&](auto& p) { p << osc::int32(slot) << osc::int32(0) << ""; }));
        }
        ASSERT_TRUE(received("/meter"));
        answer(oscBytes("/meter", [](auto& p) { p << 0.1f << 0.1f << 0.1f << 0.1f; }));
        ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
        peer.clear();
        panel.gains.clear();
    }

    std::vector<Bytes> receivedBytes(const std::string& address)
    {
        std::vector<Bytes> out;
        for (const auto& p : peer.received(address))
            out.push_back(p.bytes);
        return out;
    }
};

TEST_F(ManualAmp, AChangeBeforeItsBlockHasSyncedIsNotSent)
{
    online();
    ASSERT_EQ(com->pendingCount(), 61);
    // "/gain" is asked and awaits its answer; the delay block's query waits
    // its turn. Changes now would carry values the amplifier never had.
    com->queueGain(-10.0f, -20.0f, 0, 1);
    auto& delay = *root->channels[0]->delay;
    delay.del().setValue(12.5f);
    delay.send(delay.getPath());
    EXPECT_EQ(com->pendingCount(), 61);

    answer(gainMessage(-5.0f, -6.0f, 1, 0));
    ASSERT_TRUE(received("/ampmode"));
    ASSERT_EQ(panel.gains.size(), 1u);
    EXPECT_EQ(panel.gains[0], std::make_tuple(-5.0f, -6.0f, true, false));
    answerAllBlocks();
    ASSERT_TRUE(received("/preset/name"));
    EXPECT_EQ(receivedBytes("/gain"), std::vector<Bytes> {oscBytes("/gain")});
    EXPECT_EQ(receivedBytes("/channel/1/delay"), std::vector<Bytes> {oscBytes("/channel/1/delay")});
}

TEST_F(ManualAmp, AChangeWhileItsMessageAwaitsItsReplyIsSentAfterThatReply)
{
    synced();
    com->queueGain(-32.0f, -32.0f, 0, 0);
    ASSERT_TRUE(received("/gain"));
    // The fader moves on while the amplifier is busy: the message in flight
    // stays as it is, the latest value waits behind it.
    com->queueGain(-20.0f, -32.0f, 0, 0);
    com->queueGain(-8.0f, -32.0f, 0, 0);
    com->queueGain(-32.0f, -32.0f, 1, 0);
    EXPECT_EQ(com->pendingCount(), 2);

    answer(gainMessage(-32.0f, -32.0f));
    ASSERT_TRUE(received("/gain", 2));
    EXPECT_EQ(com->pendingCount(), 1);
    answer(gainMessage(-32.0f, -32.0f, 1, 0));
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
    pumpFor(50);

    EXPECT_EQ(receivedBytes("/gain"), (std::vector<Bytes> {gainMessage(-32.0f, -32.0f),
                                                           gainMessage(-32.0f, -32.0f, 1, 0)}));
    ASSERT_EQ(panel.gains.size(), 2u);
    EXPECT_EQ(panel.gains.back(), std::make_tuple(-32.0f, -32.0f, true, false));
}

TEST_F(ManualAmp, EveryPresetCommandGoesOut)
{
    synced();
    // One message in flight, and two saves and two recalls queued behind it.
    com->queueGain(-1.0f, -1.0f, 0, 0);
    com->queueIntIntString("/preset/save", 2, 0, "Early");
    com->queueIntIntString("/preset/save", 3, 1, "Late");
    com->queueIntIntString("/preset/load", 2, 0, "Early");
    com->queueIntIntString("/preset/load", 3, 0, "Late");
    EXPECT_EQ(com->pendingCount(), 5);
    ASSERT_TRUE(received("/gain"));
    answer(gainMessage(-1.0f, -1.0f));
    for (int n = 1; n <= 2; ++n)
    {
        ASSERT_TRUE(received("/preset/save", n));
        answer(peer.received("/preset/save").back().bytes);
    }
    for (int n = 1; n <= 2; ++n)
    {
        ASSERT_TRUE(received("/preset/load", n));
        answer(peer.received("/preset/load").back().bytes);
    }
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
    auto save = [](int slot, int mode, const char* name)
    {
        return oscBytes("/preset/save",
                        [&](auto& p) { p << osc::int32(slot) << osc::int32(mode) << name; });
    };
    EXPECT_EQ(receivedBytes("/preset/save"),
              (std::vector<Bytes> {save(2, 0, "Early"), save(3, 1, "Late")}));
    EXPECT_EQ(receivedBytes("/preset/load").size(), 2u);
}

TEST_F(ManualAmp, ALockAnswerReleasesOneMessageOnly)
{
    synced();
    com->queueInt(0x64636261, "/lock");
    com->queueInt(0x64636261, "/unlock");
    ASSERT_TRUE(received("/lock"));
    answer(oscBytes("/lock", [](auto& p) { p << osc::int32(0x64636261); }));
    // The "/unlock" is sent next and waits for an answer of its own.
    ASSERT_TRUE(received("/unlock"));
    pumpFor(50);
    EXPECT_EQ(com->pendingCount(), 1);
    answer(oscBytes("/lock", [](auto& p) { p << osc::int32(0); }));
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
    EXPECT_EQ(setup.lockStates, (std::vector<std::int32_t> {0x64636261, 0}));
}

TEST_F(ManualAmp, TheQueueIsFedFromTwoThreads)
{
    synced();
    // The Utility page's sweep queues "/siggen" from its own thread while the
    // user moves a fader: still at most one message in flight and one
    // waiting per address.
    std::thread sweep(
        [&]
        {
            for (int i = 0; i < 2000; ++i)
                com->queueIntIntString("/siggen", 1, i, "");
        });
    for (int i = 0; i < 2000; ++i)
        com->queueGain(-static_cast<float>(i % 60), 0.0f, 0, 0);
    sweep.join();
    EXPECT_LE(com->pendingCount(), 3);
    EXPECT_GE(com->pendingCount(), 2);
}

TEST_F(ManualAmp, PageOwnedBlocksTakeTheirAnswers)
{
    Ciospeaker speaker;
    Ciosiggen siggen;
    synced();
    com->setSpeakerBlock(&speaker);
    com->setSiggenBlock(&siggen);
    com->queueQuery("/speaker");
    com->queueQuery("/siggen");
    ASSERT_TRUE(received("/speaker"));
    answer(oscBytes("/speaker", [](auto& p) { p << osc::int32(8); }));
    ASSERT_TRUE(received("/siggen"));
    answer(oscBytes("/siggen", [](auto& p) { p << osc::int32(2) << -12.0f << 1000.0f; }));
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
    EXPECT_EQ(speaker.value().getStep(), 8);
    EXPECT_EQ(siggen.input().getStep(), 2);
    EXPECT_FLOAT_EQ(siggen.gain().getValue(), -12.0f);
    EXPECT_NEAR(siggen.freq().getValue(), 1000.0f, 0.01f);
}

TEST_F(ManualAmp, PresetNameQueriesStayQueuedAndAreReleasedInAnyOrder)
{
    online();
    answer(
        oscBytes("/gain", [](auto& p) { p << -5.0f << -6.0f << osc::int32(0) << osc::int32(0); }));
    answerAllBlocks();
    ASSERT_TRUE(received("/preset/name"));
    EXPECT_EQ(com->pendingCount(), 21);
    for (int slot = 20; slot >= 1; --slot)
    {
        ASSERT_TRUE(received("/preset/name", 21 - slot));
        answer(oscBytes("/preset/name",
                        [&](auto& p) {
                            p << osc::int32(slot) << osc::int32(slot % 5)
                              << ("Slot" + std::to_string(slot)).c_str();
                        }));
    }
    ASSERT_TRUE(received("/meter"));
    EXPECT_EQ(com->pendingCount(), 1);
    ASSERT_EQ(setup.presetSlots.size(), 20u);
    EXPECT_EQ(setup.presetSlots.front(), std::make_tuple(std::string("Slot20"), 0, 20));
    EXPECT_EQ(setup.presetSlots.back(), std::make_tuple(std::string("Slot1"), 1, 1));
}

TEST_F(ManualAmp, AcknowledgementRules)
{
    online();
    answer(
        oscBytes("/gain", [](auto& p) { p << -5.0f << -6.0f << osc::int32(0) << osc::int32(0); }));
    ASSERT_TRUE(received("/ampmode"));

    // A "/gain" answer with three arguments is ignored entirely.
    answer(oscBytes("/gain", [](auto& p) { p << -1.0f << -1.0f << osc::int32(0); }));
    // Never acknowledging, whatever is pending.
    answer(oscBytes("/peaklimit", [](auto& p)
                    { p << osc::int32(1) << osc::int32(0) << osc::int32(2) << osc::int32(0); }));
    answer(oscBytes("/power", [](auto& p) { p << "ON"; }));
    // An address without a block acknowledges nothing.
    answer(oscBytes("/ampmodeX/none", [](auto& p) { p << "DUAL"; }));
    // A meter answer with no meter request pending updates the meters only.
    answer(oscBytes("/meter", [](auto& p) { p << 0.5f << 0.25f << 1.0f << 0.0f; }));
    ASSERT_TRUE(pumpUntil([&] { return setup.meters.size() == 1; }));
    pumpFor(50);
    EXPECT_EQ(com->pendingCount(), 60);
    EXPECT_TRUE(com->isOnline());
    EXPECT_EQ(panel.gains.size(), 1u);
    ASSERT_EQ(setup.leds.size(), 1u);
    EXPECT_EQ(setup.leds[0], (std::array<bool, 4> {true, false, true, false}));
    EXPECT_EQ(setup.meters[0], (std::array<float, 4> {0.5f, 0.25f, 1.0f, 0.0f}));

    answer(oscBytes("/ampmode", [](auto& p) { p << "BRIDGE"; }));
    ASSERT_TRUE(received("/channel/1/peq/1"));
    EXPECT_EQ(root->ampmode->mode().choiceText(), "BRIDGE");
    EXPECT_EQ(com->pendingCount(), 59);
}

TEST_F(ManualAmp, LockAnswersReleaseAPendingUnlock)
{
    synced();
    // The sync's meter request has had one answer.
    ASSERT_EQ(setup.meters.size(), 1u);

    com->queueInt(0x64636261, "/unlock");
    ASSERT_TRUE(received("/unlock"));
    answer(oscBytes("/lock", [](auto& p) { p << osc::int32(0); }));
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
    ASSERT_EQ(setup.lockStates, std::vector<std::int32_t> {0});

    // The 51st meter answer after a request renews it; the first 50 do not.
    // One answer has already come since the request of the sync.
    for (int i = 0; i < 49; ++i)
        answer(oscBytes("/meter", [](auto& p) { p << 0.1f << 0.1f << 0.1f << 0.1f; }));
    ASSERT_TRUE(pumpUntil([&] { return setup.meters.size() == 50; }));
    pumpFor(50);
    EXPECT_EQ(peer.received("/meter").size(), 0u);
    answer(oscBytes("/meter", [](auto& p) { p << 0.1f << 0.1f << 0.1f << 0.1f; }));
    ASSERT_TRUE(received("/meter", 1));
    EXPECT_EQ(peer.received("/meter").back().bytes,
              oscBytes("/meter", [](auto& p) { p << 10.0f; }));
}

TEST_F(ManualAmp, OtherHostsAreNotHeardWhileOnline)
{
    online();
    FakePeer intruder("127.0.0.9");
    const std::string delayBefore = root->channels[0]->delay->text();
    intruder.sendToEditor(
        oscBytes("/gain", [](auto& p) { p << -1.0f << -1.0f << osc::int32(1) << osc::int32(1); }));
    intruder.sendToEditor(
        oscBytes("/channel/1/delay", [](auto& p) { p << 99.0f << osc::int32(180); }));
    intruder.sendToEditor(oscBytes("/power", [](auto& p) { p << "OFF"; }));
    // "/info" is heard from anyone.
    intruder.sendToEditor(oscBytes("/info",
                                   [](auto& p)
                                   {
                                       p << "Other"
                                         << "v" << osc::int32(4);
                                   }));
    ASSERT_TRUE(pumpUntil([&] { return setup.ipDevices.size() == 1; }));
    pumpFor(50);
    EXPECT_TRUE(com->isOnline());
    EXPECT_TRUE(panel.gains.empty());
    EXPECT_EQ(root->channels[0]->delay->text(), delayBefore);
    EXPECT_EQ(com->pendingCount(), 61);
    EXPECT_TRUE(dialogs.warnings.empty());
    EXPECT_EQ(dottedAddress(setup.ipDevices[0].address), "127.0.0.9");
}

TEST_F(ManualAmp, HostilePacketsAreDroppedWithoutHarm)
{
    online();
    using namespace std::string_view_literals;
    auto raw = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
    answer(raw("#bundle\0\0\0\0\0\0\0\0\1\0\0\0\x10#bundle\0\0\0\0\0\0\0\0\1"sv));
    answer(raw("/gain\0\0\0,b\0\0\x7f\xff\xff\xf0"
               "abcd"sv));
    answer(raw("/gain\0\0\0,ffii\0\0\0\0\0\0\0"sv));
    answer(raw("/gain\0\0\0,s\0\0abcd"sv));
    answer(raw("/gain"sv));
    answer(raw(""sv));
    pumpFor(100);
    EXPECT_TRUE(panel.gains.empty());
    EXPECT_EQ(com->pendingCount(), 61);
    // Still listening.
    answer(
        oscBytes("/gain", [](auto& p) { p << -5.0f << -6.0f << osc::int32(0) << osc::int32(0); }));
    ASSERT_TRUE(pumpUntil([&] { return panel.gains.size() == 1; }));
}

TEST_F(ManualAmp, PowerOffTakesTheEditorOffline)
{
    online();
    answer(oscBytes("/power", [](auto& p) { p << "OFF"; }));
    ASSERT_TRUE(pumpUntil([&] { return ! com->isOnline(); }));
    EXPECT_EQ(dialogs.warnings, std::vector<std::string> {
                                    "Network connection error!|Device will be disconnected|Ok"});
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_EQ(com->pendingCount(), 0);
    EXPECT_TRUE(received("/offline"));
    EXPECT_GE(panel.meterResets, 1);
    EXPECT_GE(panel.ledResets, 1);
}

TEST_F(Communicator, ASilentAmplifierGetsFourSendsHalfASecondApartThenTheEditorGoesOffline)
{
    startCom(osc::OscComTiming {}); // the real timing: 500 ms, four sends
    FakePeer peer("127.0.0.2");
    connectTo("127.0.0.2");
    ASSERT_TRUE(pumpUntil([&] { return ! dialogs.warnings.empty(); }, 4000));
    pumpFor(700);

    const auto gains = peer.received("/gain");
    ASSERT_EQ(gains.size(), 4u);
    for (std::size_t i = 1; i < gains.size(); ++i)
    {
        const auto gap =
            std::chrono::duration_cast<std::chrono::milliseconds>(gains[i].time - gains[i - 1].time)
                .count();
        // Arrival times are the kernel's; the upper bound leaves room for a
        // loaded machine, and still catches a doubled wait.
        EXPECT_GE(gap, 490) << i;
        EXPECT_LE(gap, 800) << i;
    }
    EXPECT_EQ(dialogs.warnings, std::vector<std::string> {
                                    "Network connection error!|Device will be disconnected|Ok"});
    EXPECT_FALSE(com->isOnline());
    EXPECT_EQ(com->getTransport(), 0);
    EXPECT_EQ(peer.received("/offline").size(), 1u);
    EXPECT_EQ(peer.received().size(), 1u + 4u + 1u); // online, four sends, offline
    const auto& calls = setup.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "forgetSelectedDevice"), calls.end());

    // A late answer is ignored.
    peer.sendToEditor(
        oscBytes("/gain", [](auto& p) { p << -5.0f << -6.0f << osc::int32(0) << osc::int32(0); }));
    pumpFor(100);
    EXPECT_TRUE(panel.gains.empty());
}

TEST_F(Communicator, NothingIsQueuedWhileOffline)
{
    startCom();
    root->channels[0]->delay->send(root->channels[0]->delay->getPath());
    com->queueGain(0, 0, 0, 0);
    com->queueQuery("/gain");
    EXPECT_EQ(com->pendingCount(), 0);
}

} // namespace

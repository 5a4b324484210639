#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "CommFixture.h"
#include "UdpAmpSim.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

// The editor's communicator beside virtual amplifiers on loopback addresses.
class AmpSim : public CommFixture
{
protected:
    // Goes online with a simulator and waits until the sync is done.
    void syncWith(const std::string& address)
    {
        connectTo(address);
        ASSERT_TRUE(pumpUntil(
            [&] { return com->pendingCount() == 0 && setup.presetSlots.size() == 20; }, 8000));
    }
};

TEST_F(AmpSim, DiscoverySyncAndEcho)
{
    startCom();
    sim::Amplifier vorn(1, "Stage L"), zephyl(4, "Fill");
    sim::UdpAmpSim::Options a, b;
    a.bindAddress = "127.0.0.2";
    a.announceTo = "127.0.0.1";
    b.bindAddress = "127.0.0.3";
    b.announceTo = "127.0.0.1";
    sim::UdpAmpSim simA(vorn, a), simB(zephyl, b);
    ASSERT_TRUE(simA.isBound() && simB.isBound());

    // Both announce themselves; the editor lists both.
    ASSERT_TRUE(pumpUntil(
        [&]
        {
            std::set<int> models;
            for (auto& d : setup.ipDevices)
                models.insert(d.model);
            return models.size() == 2;
        }));

    syncWith("127.0.0.2");
    forEachBlock(vorn.tree(),
                 [&](Cnode& block)
                 {
                     EXPECT_EQ(findNode(block.getPath().substr(1), *root)->text(), block.text())
                         << block.getPath();
                 });
    EXPECT_EQ(simA.log("/online").size(), 1u);
    EXPECT_EQ(simB.log("/online").size(), 0u);
    ASSERT_EQ(panel.gains.size(), 1u);
    EXPECT_EQ(std::get<0>(panel.gains[0]), -12.0f);

    // A change made in the tree is stored by the amplifier (clamped to its
    // step) and echoed.
    Cpeq& band = *root->channels[0]->peq->bands[3];
    band.gain().setValue(4.5f);
    band.send(band.getPath());
    ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
    pumpFor(50);
    EXPECT_EQ(simA.log("/channel/1/peq/4").back().arguments.substr(0, 5), ",sfff");
    EXPECT_EQ(vorn.tree().channels[0]->peq->bands[3]->gain().getValue(), 4.5f);

    // The meters stream after the request.
    ASSERT_TRUE(pumpUntil([&] { return setup.meters.size() > 5; }));
}

TEST_F(AmpSim, PresetsLockAndNameAnswerLikeAnAmplifier)
{
    startCom();
    sim::Amplifier amp(0, "Main");
    sim::UdpAmpSim::Options o;
    o.bindAddress = "127.0.0.2";
    sim::UdpAmpSim s(amp, o);
    syncWith("127.0.0.2");
    EXPECT_EQ(std::get<0>(setup.presetSlots[0]), "INIT_DATA");
    EXPECT_EQ(std::get<0>(setup.presetSlots[1]), "Club");

    const float delayBefore = root->channels[0]->delay->del().getValue();
    com->queueIntIntString("/preset/load", 3, 0, "Speech");
    ASSERT_TRUE(pumpUntil(
        [&] { return ! setup.calls.empty() && setup.calls.back() == "recalled Speech"; }));
    // Loading a slot changes the amplifier's blocks; the editor asks again.
    com->queueNodeQuery(*root->channels[0]->delay);
    ASSERT_TRUE(
        pumpUntil([&] { return root->channels[0]->delay->del().getValue() != delayBefore; }));
    EXPECT_EQ(root->channels[0]->delay->del().getValue(), 2.0f);

    com->queueIntIntString("/preset/save", 1, 0, "Mine");
    ASSERT_TRUE(pumpUntil([&] { return setup.calls.back() == "stored INIT_DATA 0 1"; }));
    com->queueIntIntString("/preset/save", 7, 2, "Mine");
    ASSERT_TRUE(pumpUntil([&] { return setup.calls.back() == "stored Mine 2 7"; }))
        << setup.calls.back();
    EXPECT_EQ(amp.preset(1).name, "INIT_DATA"); // read-only

    com->queueInt(0x34333231, "/lock");
    ASSERT_TRUE(pumpUntil([&] { return ! setup.lockStates.empty(); }));
    EXPECT_EQ(setup.lockStates.back(), 0x34333231);
    com->queueInt(0x34333231, "/unlock");
    ASSERT_TRUE(pumpUntil([&] { return setup.lockStates.size() == 2; }));
    EXPECT_EQ(setup.lockStates.back(), 0);

    com->queueAmpName("Renamed");
    ASSERT_TRUE(pumpUntil([&] { return ! setup.ampNames.empty(); }));
    EXPECT_EQ(setup.ampNames.back(), "Renamed");
}

struct FaultCase
{
    const char* name;
    std::function<void(sim::Faults&)> set;
    bool staysOnline;
    int sendsOfGain; // how often the editor sends "/gain" in all
};

class AmpSimFaults : public AmpSim, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(AmpSimFaults, WhatTheEditorDoesAboutIt)
{
    const auto& c = GetParam();
    startCom({100, 4});
    sim::Amplifier amp(2, "Faulty");
    sim::UdpAmpSim::Options o;
    o.bindAddress = "127.0.0.2";
    sim::UdpAmpSim s(amp, o);
    syncWith("127.0.0.2");

    sim::Faults f;
    c.set(f);
    s.setFaults(f);
    s.clearLog();
    com->queueGain(-3.0f, -4.0f, 0, 0);
    if (c.staysOnline)
    {
        ASSERT_TRUE(pumpUntil([&] { return com->pendingCount() == 0; }));
        pumpFor(200);
        EXPECT_TRUE(com->isOnline());
        EXPECT_TRUE(dialogs.warnings.empty());
        EXPECT_EQ(amp.gain(0), -3.0f);
    }
    else
    {
        ASSERT_TRUE(pumpUntil([&] { return ! com->isOnline(); }));
        EXPECT_EQ(
            dialogs.warnings,
            std::vector<std::string> {"Network connection error!|Device will be disconnected|Ok"});
    }
    EXPECT_EQ(static_cast<int>(s.log("/gain").size()), c.sendsOfGain);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AmpSimFaults,
    ::testing::Values(
        FaultCase {"dropFirstTwo", [](sim::Faults& f) { f.dropFirst["/gain"] = 2; }, true, 3},
        FaultCase {"ignore", [](sim::Faults& f) { f.ignore.insert("/gain"); }, false, 4},
        FaultCase {"late", [](sim::Faults& f) { f.answerDelayMs = 150; }, true, 2},
        FaultCase {"silent", [](sim::Faults& f) { f.silent = true; }, false, 4},
        FaultCase {"wrongCount", [](sim::Faults& f) { f.wrongCount.insert("/gain"); }, false, 4}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(AmpSim, PowerOffAndMalformedPackets)
{
    startCom();
    sim::Amplifier amp(3, "Power");
    sim::UdpAmpSim::Options o;
    o.bindAddress = "127.0.0.2";
    sim::UdpAmpSim s(amp, o);
    syncWith("127.0.0.2");

    s.sendMalformed();
    pumpFor(100);
    EXPECT_TRUE(com->isOnline());
    EXPECT_TRUE(dialogs.warnings.empty());

    s.sendPowerOff();
    ASSERT_TRUE(pumpUntil([&] { return ! com->isOnline(); }));
    EXPECT_EQ(dialogs.warnings, std::vector<std::string> {
                                    "Network connection error!|Device will be disconnected|Ok"});
    ASSERT_TRUE(pumpUntil([&] { return s.log("/offline").size() == 1; }));
}

// Two amplifiers on two hosts of a private network (two_amplifiers.sh).
TEST(TwoHosts, BroadcastDiscoveryFindsBothAndOneSyncs)
{
    const char* addrs = std::getenv("VELMORA_HOST_ADDRS");
    if (addrs == nullptr)
        GTEST_SKIP() << "runs under tests/support/with-hosts.sh";
    std::istringstream in(addrs);
    std::string vornAddress, zephylAddress;
    in >> vornAddress >> zephylAddress;

    auto root = makeTree();
    FakeSetupPage setup;
    FakePanel panel;
    FakeDialogs dialogs;
    // Construction broadcasts "/info" to 255.255.255.255.
    osc::OscCom com({*root, setup, panel, dialogs});
    setup.com = &com;
    setOutbox(&com);
    ASSERT_TRUE(pumpUntil([&] { return setup.ipDevices.size() == 2; }, 3000));
    std::set<std::tuple<int, std::string, std::string>> found;
    for (auto& d : setup.ipDevices)
        found.emplace(d.model, d.name, dottedAddress(d.address));
    EXPECT_EQ(found, (std::set<std::tuple<int, std::string, std::string>> {
                         {1, "Stage L", vornAddress}, {5, "Fill", zephylAddress}}));

    com.connectUdp(vornAddress);
    setup.selectDevice(1);
    setup.connectDevice();
    ASSERT_TRUE(
        pumpUntil([&] { return com.pendingCount() == 0 && setup.presetSlots.size() == 20; }, 8000));
    sim::Amplifier twin(1, "Stage L"); // the same start values as the simulator
    forEachBlock(twin.tree(),
                 [&](Cnode& block)
                 {
                     EXPECT_EQ(findNode(block.getPath().substr(1), *root)->text(), block.text())
                         << block.getPath();
                 });

    Cdelay& delay = *root->channels[1]->delay;
    delay.del().setValue(7.5f);
    delay.send(delay.getPath());
    ASSERT_TRUE(pumpUntil([&] { return com.pendingCount() == 0; }));
    setOutbox(nullptr);

    const std::string logs = std::getenv("VELMORA_SIM_LOGS");
    std::ifstream vornLog(logs + "/vorn.log");
    std::string line, last;
    int onlines = 0;
    while (std::getline(vornLog, line))
    {
        if (line.find(" /channel/2/delay ,fi") != std::string::npos)
            last = line;
        onlines += line.find(" /online ") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(onlines, 1);
    EXPECT_NE(last.find(" 7.5 180"), std::string::npos) << last;
    std::ifstream zephylLog(logs + "/zephyl.log");
    std::string all((std::istreambuf_iterator<char>(zephylLog)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find(" /info ,"), std::string::npos);
    EXPECT_EQ(all.find(" /online"), std::string::npos);
}

// The editor with two network cards, one amplifier behind each
// (two_amplifiers.sh under with-hosts.sh --bridges 2).
TEST(TwoCards, EverySearchFindsTheAmplifierBehindEachCardOnce)
{
    const char* addrs = std::getenv("VELMORA_HOST_ADDRS");
    if (addrs == nullptr)
        GTEST_SKIP() << "runs under tests/support/with-hosts.sh --bridges 2";
    std::istringstream in(addrs);
    std::string first, second;
    in >> first >> second;
    ASSERT_NE(first.substr(0, 6), second.substr(0, 6)) << "the hosts share one subnet";

    auto root = makeTree();
    FakeSetupPage setup;
    FakePanel panel;
    FakeDialogs dialogs;
    osc::OscCom com({*root, setup, panel, dialogs});
    setup.com = &com;
    const auto found = [&]
    {
        std::multiset<std::string> rows;
        for (auto& d : setup.ipDevices)
            rows.insert(d.name + "@" + dottedAddress(d.address));
        return rows;
    };
    const auto infoRequests = [](const std::string& file)
    {
        std::ifstream log(file);
        std::string line;
        int n = 0;
        while (std::getline(log, line))
            n += line.find(" /info ,") != std::string::npos ? 1 : 0;
        return n;
    };
    const std::string logs = std::getenv("VELMORA_SIM_LOGS");

    // The start-up discovery, then one Search.
    for (std::size_t search = 1; search <= 2; ++search)
    {
        if (search == 2)
            com.discover("255.255.255.255");
        ASSERT_TRUE(pumpUntil([&] { return setup.ipDevices.size() >= 2 * search; }, 3000));
        pumpFor(700); // the limited broadcast's second answer has come by now
        std::multiset<std::string> expected;
        for (std::size_t n = 0; n < search; ++n)
            expected.insert({"Stage L@" + first, "Fill@" + second});
        EXPECT_EQ(found(), expected) << "search " << search;
        // The first card's amplifier heard both broadcasts, the second's only
        // its own subnet's.
        EXPECT_EQ(infoRequests(logs + "/vorn.log"), 2 * static_cast<int>(search));
        EXPECT_EQ(infoRequests(logs + "/zephyl.log"), static_cast<int>(search));
    }
}

} // namespace

// Only the Vorn series has a signal generator; a Zephyl line amplifier leaves
// "/siggen" unanswered, as it does every address it does not know.
TEST(AmplifierAnswers, TheSignalGeneratorOnlyOnTheVornSeries)
{
    char buffer[64];
    osc::OutboundPacketStream query(buffer, sizeof buffer);
    query << osc::BeginMessage("/siggen") << osc::EndMessage;
    for (int model = 0; model < 7; ++model)
    {
        SCOPED_TRACE(model);
        sim::Amplifier amp(model, "Amp");
        const auto answers = amp.answer(query.Data(), query.Size());
        if (model > 3)
        {
            EXPECT_TRUE(answers.empty());
            continue;
        }
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(sim::formatArguments(answers[0].data(), answers[0].size()), ",iff 0 -20 1000");
    }
}

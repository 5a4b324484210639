// When a sweep ends: with the connection, before another opens, and with
// the amplifier's answers.
#include <chrono>

#include "UtilityFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{
// Losing or leaving the amplifier ends a sweep: otherwise it would go on into
// the next connection, switch the next amplifier's generator on unasked, and
// make a Zephyl line amplifier, which has none, look lost.
struct SweepEnd
{
    const char* name;
    std::function<void(UtilityPage&)> end;
};

void PrintTo(const SweepEnd& e, std::ostream* out)
{
    *out << e.name;
}

class SweepEnds : public UtilityPage, public testing::WithParamInterface<SweepEnd>
{
};

TEST_P(SweepEnds, WithTheConnection)
{
    connect(1);
    sineAt(300, 5);
    click(page().sweep);
    ASSERT_TRUE(pumpUntil([&] { return tones().size() >= 2; }));
    GetParam().end(*this);
    ASSERT_TRUE(pumpUntil([&] { return ! page().isSweepRunning(); }, 500));
    EXPECT_FALSE(page().isSweeping());
    EXPECT_FALSE(page().sweep.getToggleState());
}

const SweepEnd sweepEnds[] = {
    {"Disconnect", [](UtilityPage& test) { test.disconnect(); }},
    {"PowerOff", [](UtilityPage& test) { test.powerOff(); }},
    {"AnotherModel", [](UtilityPage& test) { test.chooseModel(0); }},
};

std::string sweepEndName(const testing::TestParamInfo<SweepEnd>& param)
{
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Utility, SweepEnds, testing::ValuesIn(sweepEnds), sweepEndName);

// A sweep may run while no amplifier is online (the communicator drops its
// steps). Connecting must end it before the connection opens, or a step can
// overtake the generator's query and start the tone on the amplifier unasked.
TEST_F(UtilityPage, ASweepRunningOfflineEndsBeforeConnecting)
{
    connect(1);
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        SCOPED_TRACE(cycle);
        disconnect();
        settle();
        sineAt(300, 5);
        click(page().sweep);
        ASSERT_TRUE(page().isSweepRunning());
        pumpFor(2 * CUtilityPage::sweepPeriodMs);
        sim->clearLog();

        // The row is still chosen: "Connect" connects it again.
        click(setup().connectButton);
        EXPECT_FALSE(page().isSweepRunning());
        ASSERT_TRUE(
            pumpUntil([&] { return com().isOnline() && com().pendingCount() == 0; }, 20000));
        pumpFor(3 * CUtilityPage::sweepPeriodMs);

        // The amplifier hears the generator's query and nothing that sets it.
        const auto siggen = sim->log("/siggen");
        ASSERT_FALSE(siggen.empty());
        for (const auto& e : siggen)
            EXPECT_EQ(e.arguments.rfind(",iff", 0), std::string::npos) << e.arguments;
        EXPECT_EQ(amp->siggen().input().getStep(), 0);
    }
}

// The amplifier answers each step; an answer that arrives after the next
// step went out carries an older frequency, and must not pull the sweep back.
TEST_F(UtilityPage, ALateAnswerDoesNotPullTheSweepBack)
{
    connect(1);
    sineAt(300, 5);
    click(page().sweep);
    ASSERT_TRUE(pumpUntil([&] { return tones().size() >= 3; }));
    char buffer[64];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage("/siggen") << osc::int32(1) << -20.0f << hzOfStep(300)
      << osc::EndMessage;
    sim->sendToEditor(sim::Bytes(p.Data(), p.Data() + p.Size()));
    const auto before = tones().size();
    ASSERT_TRUE(pumpUntil([&] { return tones().size() >= before + 4; }));
    click(page().sweep);
    settle();
    const auto run = tones();
    EXPECT_EQ(positionsIn(run, stepsFrom(300, 6, 60)).size(), run.size());
}

TEST_F(UtilityPage, TheAmplifierTurningTheToneOffEndsTheSweep)
{
    connect(1);
    const int inputs[] = {0, 2};
    for (const int input : inputs)
    {
        SCOPED_TRACE(input);
        sineAt(300, 5);
        click(page().sweep);
        ASSERT_TRUE(pumpUntil([&] { return tones().size() >= 2; }));
        char buffer[64];
        osc::OutboundPacketStream p(buffer, sizeof buffer);
        p << osc::BeginMessage("/siggen") << osc::int32(input) << -20.0f << 1000.0f
          << osc::EndMessage;
        sim->sendToEditor(sim::Bytes(p.Data(), p.Data() + p.Size()));
        ASSERT_TRUE(pumpUntil([&] { return ! page().isSweepRunning(); }, 1000));
        EXPECT_FALSE(page().sweep.getToggleState());
        // Input 0 turns the test tone off and leaves the type shown; noise
        // keeps it on and shows the noise.
        EXPECT_EQ(page().testTone.getToggleState(), input != 0);
        EXPECT_EQ(page().sine.getToggleState(), input == 0);
        EXPECT_EQ(page().pinkNoise.getToggleState(), input == 2);
        settle();
        sim->clearLog();
        pumpFor(3 * CUtilityPage::sweepPeriodMs);
        EXPECT_TRUE(tones().empty());
    }
}

// Connecting another amplifier mid-sweep: a Zephyl line amplifier has no
// generator (an unanswered "/siggen" would end the connection), and another
// Vorn series amplifier must not have its generator started unasked.
class ConnectingMidSweep : public UtilityPage, public testing::WithParamInterface<int>
{
};

TEST_P(ConnectingMidSweep, LeavesTheNextAmplifiersGeneratorAlone)
{
    connect(1);
    sineAt(300, 5);
    click(page().sweep);
    ASSERT_TRUE(pumpUntil([&] { return tones().size() >= 2; }));

    sim::Amplifier zephyl(GetParam(), "Next");
    sim::UdpAmpSim::Options o;
    o.bindAddress = "127.0.0.3";
    sim::UdpAmpSim other(zephyl, o);
    ASSERT_TRUE(other.isBound());
    setup().addFixedIp("127.0.0.3");
    ASSERT_TRUE(pumpUntil([&] { return setup().getNumRows() == 3; }));
    const auto click =
        juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f,
                         0.0f, 0.0f, 0.0f, &setup().table, &setup().table,
                         juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 1, false);
    setup().cellClicked(2, 1, click);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    dialogs.answer(true);
    ASSERT_TRUE(pumpUntil([&] { return com().isOnline() && com().pendingCount() == 0; }, 20000));
    // Four unanswered sends of 500 ms would have ended the connection.
    pumpFor(2500);
    EXPECT_TRUE(com().isOnline());
    EXPECT_TRUE(dialogs.warnings.empty());
    for (const auto& e : other.log("/siggen"))
        EXPECT_EQ(e.arguments, ",") << "a generator setting reached the next amplifier";
    EXPECT_EQ(other.log("/siggen").empty(), GetParam() >= 4);
    EXPECT_EQ(zephyl.siggen().input().getStep(), 0);
    EXPECT_FALSE(page().isSweepRunning());
}

INSTANTIATE_TEST_SUITE_P(Utility, ConnectingMidSweep, testing::Values(4, 1),
                         [](const testing::TestParamInfo<int>& m)
                         { return m.param >= 4 ? std::string("Zephyl") : std::string("Vorn"); });

TEST_F(UtilityPage, ClosingTheEditorMidSweepEndsItAtOnce)
{
    connect(1);
    sineAt(300, 5);
    click(page().sweep);
    ASSERT_TRUE(pumpUntil([&] { return tones().size() >= 2; }));
    const auto start = std::chrono::steady_clock::now();
    panel.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    // The thread's allowance is 4 s; a woken sweep ends in far less.
    EXPECT_LT(took, std::chrono::milliseconds(2000));
}

} // namespace

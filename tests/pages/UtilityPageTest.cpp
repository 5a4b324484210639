#include <chrono>

#include "UtilityFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

TEST(SweepStep, MovesByThirtyOverTheRateAndTurnsAtTheEnds)
{
    const struct
    {
        int step, rate;
        bool down;
        int next;
        bool downAfter;
    } cases[] = {
        {300, 5, false, 306, false},
        {300, 30, false, 301, false},
        {300, 7, false, 304, false},
        {595, 5, false, 599, true},
        {599, 30, false, 599, true},
        {594, 5, false, 599, true},
        {593, 5, false, 599, false},
        {300, 5, true, 294, true},
        {4, 5, true, 0, false},
        {0, 30, true, 0, false},
        {6, 5, true, 0, true},
        // A rate that never passed its parameter's clamp must not divide by 0.
        {300, 0, false, 306, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.step << " rate " << c.rate << " down " << c.down);
        bool down = c.down;
        EXPECT_EQ(CUtilityPage::nextSweepStep(c.step, c.rate, down), c.next);
        EXPECT_EQ(down, c.downAfter);
    }
}

TEST_F(UtilityPage, StartsWithTheSineChosenAndTheBlockShown)
{
    EXPECT_EQ(page().getSignalType(), 1);
    EXPECT_TRUE(page().sine.getToggleState());
    EXPECT_FALSE(page().pinkNoise.getToggleState());
    EXPECT_FALSE(page().whiteNoise.getToggleState());
    EXPECT_FALSE(page().testTone.getToggleState());
    EXPECT_FALSE(page().sweep.getToggleState());
    EXPECT_EQ(page().levelBox.getText(), "-40.0");
    EXPECT_EQ(page().frequencyBox.getText(), "1k00");
    EXPECT_EQ(page().rateBox.getText(), "5");
    EXPECT_EQ(page().levelKnob.getValue(), -40.0);
    EXPECT_EQ(page().frequencyKnob.getValue(), 339.0); // 1 kHz, the whole step below
    EXPECT_EQ(page().rateKnob.getValue(), 5.0);
}

TEST_F(UtilityPage, TheTestToneAsksFirstAndPlaysTheChosenSignal)
{
    connect(1);
    // The Setup page asked the amplifier for its generator.
    EXPECT_EQ(page().levelBox.getText(), "-20.0");

    click(page().testTone);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Signal Generator...");
    EXPECT_EQ(dialogs.questions[0].message,
              "Do you want to activate the Signal Generator? '(Check Level!)");
    EXPECT_EQ(dialogs.questions[0].confirm, "Yes");
    EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
    dialogs.answer(false);
    settle();
    EXPECT_FALSE(page().testTone.getToggleState());
    EXPECT_TRUE(tones().empty());

    // A type chosen while the tone is off is only remembered.
    click(page().whiteNoise);
    settle();
    EXPECT_TRUE(tones().empty());
    EXPECT_EQ(page().getSignalType(), 3);

    switchToneOn();
    ASSERT_EQ(received("/siggen"), std::vector<std::string> {",iff 3 -20 1000"});
    EXPECT_TRUE(page().testTone.getToggleState());

    // While it plays, a type click switches the signal at once.
    click(page().pinkNoise);
    settle();
    EXPECT_EQ(lastReceived("/siggen"), ",iff 2 -20 1000");
    EXPECT_TRUE(page().pinkNoise.getToggleState());
    EXPECT_FALSE(page().whiteNoise.getToggleState());

    click(page().testTone);
    settle();
    EXPECT_EQ(lastReceived("/siggen"), ",iff 0 -20 1000");
    EXPECT_EQ(dialogs.questions.size(), 0u);
}

TEST_F(UtilityPage, TheAmplifiersSignalIsTheOneTheToneComesBackWith)
{
    // The amplifier already plays white noise when the editor connects.
    connect(1, [](sim::Amplifier& a) { a.siggen().input().setStep(3); });
    EXPECT_TRUE(page().testTone.getToggleState());
    EXPECT_TRUE(page().whiteNoise.getToggleState());
    EXPECT_FALSE(page().sine.getToggleState());
    EXPECT_EQ(page().getSignalType(), 3);

    // Off: the reply's input 0 turns "Test Tone" off and leaves the type.
    click(page().testTone);
    settle();
    EXPECT_EQ(lastReceived("/siggen"), ",iff 0 -20 1000");
    EXPECT_FALSE(page().testTone.getToggleState());
    EXPECT_TRUE(page().whiteNoise.getToggleState());
    EXPECT_FALSE(page().sine.getToggleState());

    // On again: white noise, as shown, not the sine of the start.
    switchToneOn();
    EXPECT_EQ(lastReceived("/siggen"), ",iff 3 -20 1000");
    EXPECT_TRUE(page().whiteNoise.getToggleState());
}

TEST_F(UtilityPage, KnobsAndBoxesSendTheGenerator)
{
    connect(1);
    page().levelKnob.setValue(-12.5, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(lastReceived("/siggen"), ",iff 0 -12.5 1000");
    EXPECT_EQ(page().levelBox.getText(), "-12.5");

    page().frequencyKnob.setValue(200, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(tones().back().step(), 200);
    EXPECT_EQ(page().frequencyBox.getText(), "200.0");

    // The rate stays on the page; the message carries what the amplifier plays.
    sim->clearLog();
    page().rateKnob.setValue(12, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(page().rateBox.getText(), "12");
    ASSERT_EQ(tones().size(), 1u);
    EXPECT_EQ(tones().back().step(), 200);

    const struct
    {
        juce::TextEditor* box;
        const char* typed;
        const char* shown;
        juce::Slider* knob;
        double knobValue;
        const char* sent;
    } cases[] = {
        {&page().levelBox, "-7.3", "-7.5", &page().levelKnob, -7.5, ",iff 0 -7.5 200"},
        {&page().levelBox, "-55", "-40.0", &page().levelKnob, -40.0, ",iff 0 -40 200"},
        {&page().frequencyBox, "2k", "2k00", &page().frequencyKnob, 400.0, ",iff 0 -40 2000"},
        {&page().frequencyBox, "30000", "20k00", &page().frequencyKnob, 600.0, ",iff 0 -40 20000"},
        {&page().rateBox, "9", "9", &page().rateKnob, 9.0, ",iff 0 -40 20000"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        sim->clearLog();
        typeAndReturn(*c.box, c.typed);
        settle();
        EXPECT_EQ(c.box->getText(), c.shown);
        EXPECT_EQ(c.knob->getValue(), c.knobValue);
        EXPECT_EQ(received("/siggen"), std::vector<std::string> {c.sent});
    }
}

TEST_F(UtilityPage, LeavingABoxWithoutReturnSendsTheUnchangedValues)
{
    connect(1);
    for (juce::TextEditor* box : {&page().levelBox, &page().frequencyBox, &page().rateBox})
    {
        SCOPED_TRACE(box->getName());
        const juce::String before = box->getText();
        sim->clearLog();
        typeAndLeave(*box, "3");
        settle();
        EXPECT_EQ(box->getText(), before);
        EXPECT_EQ(received("/siggen"), std::vector<std::string> {",iff 0 -20 1000"});
    }
    EXPECT_EQ(page().rateKnob.getValue(), 5.0);
}

TEST_F(UtilityPage, ARateThatIsNoNumberOrZeroSweepsAtTheSlowestRateNotAtNone)
{
    connect(1);
    sineAt(300, 10);
    const struct
    {
        const char* typed;
        const char* shown;
        int steps;
    } cases[] = {{"0", "5", 6}, {"abc", "5", 6}, {"-3", "5", 6}, {"99", "30", 1}, {"15", "15", 2}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        typeAndReturn(page().rateBox, c.typed);
        EXPECT_EQ(page().rateBox.getText(), c.shown);
        EXPECT_EQ(page().rateKnob.getValue(), juce::String(c.shown).getDoubleValue());
        settle();
        page().frequencyKnob.setValue(300, juce::sendNotificationSync);
        settle();
        sim->clearLog();
        const auto run = sweepFor(3);
        ASSERT_GE(run.size(), 3u);
        EXPECT_EQ(positionsIn(run, stepsFrom(300, c.steps, 40)).size(), run.size());
    }
}

TEST_F(UtilityPage, ASweepMovesByTheRatesStepEachPeriod)
{
    connect(1);
    const struct
    {
        int rate, steps;
    } cases[] = {{5, 6}, {30, 1}, {7, 4}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rate);
        sineAt(300, c.rate);
        const auto run = sweepFor(8);
        ASSERT_GE(run.size(), 8u);
        // The first sweep goes up, from the frequency playing.
        const auto at = positionsIn(run, stepsFrom(300, c.steps, 60));
        ASSERT_EQ(at.size(), run.size());
        EXPECT_LE(at.front(), 1u) << "the sweep's first step was " << run.front().step();
        for (const auto& t : run)
        {
            EXPECT_EQ(t.input, 1);
            EXPECT_EQ(t.gain, -20.0f);
        }
        // One step per period: the steps between the first and the last
        // message took that many periods, less one for a late first message
        // (a 35 ms period fails this); and not much more, a late wake-up
        // being allowed 30 % and 100 ms in all (a doubled period fails this).
        const auto periods = static_cast<long long>(at.back() - at.front());
        const long long ms = run.back().ms - run.front().ms;
        EXPECT_GE(ms + 15, (periods - 1) * CUtilityPage::sweepPeriodMs)
            << periods << " steps in " << ms << " ms";
        EXPECT_LE(ms, periods * CUtilityPage::sweepPeriodMs * 13 / 10 + 100)
            << periods << " steps in " << ms << " ms";

        // Stopped, nothing more comes.
        sim->clearLog();
        pumpFor(3 * CUtilityPage::sweepPeriodMs);
        EXPECT_TRUE(tones().empty());
    }
}

TEST_F(UtilityPage, ASweepTurnsAtBothEndsAndKeepsItsDirection)
{
    connect(1);
    sineAt(595, 5);
    auto run = sweepFor(3);
    ASSERT_GE(run.size(), 3u);
    EXPECT_EQ(positionsIn(run, {599, 593, 587, 581, 575, 569, 563}).size(), run.size());
    EXPECT_EQ(run[0].step(), 599) << "not 601, and the top is played";
    EXPECT_NEAR(run[0].hz, hzOfStep(599), 1.0f);

    // The next sweep goes on downwards from where the user puts it.
    sineAt(8, 5);
    run = sweepFor(3);
    ASSERT_GE(run.size(), 3u);
    EXPECT_EQ(positionsIn(run, {2, 0, 6, 12, 18, 24, 30}).size(), run.size());
    EXPECT_EQ(run[1].step(), 0);
    EXPECT_NEAR(run[1].hz, 20.0f, 0.01f);
}

TEST_F(UtilityPage, SweepStartsOnlyWhileTheSinePlays)
{
    connect(1);
    // Off: "Sweep" starts nothing, and a later "Sine" does not either.
    click(page().sweep);
    EXPECT_FALSE(page().isSweepRunning());
    click(page().pinkNoise);
    click(page().sine);
    EXPECT_FALSE(page().sweep.getToggleState());
    EXPECT_FALSE(page().isSweeping());
    settle();
    pumpFor(3 * CUtilityPage::sweepPeriodMs);
    EXPECT_TRUE(tones().empty());

    // Noise: the same.
    click(page().pinkNoise);
    switchToneOn();
    sim->clearLog();
    click(page().sweep);
    EXPECT_FALSE(page().isSweepRunning());
    click(page().sine);
    EXPECT_FALSE(page().sweep.getToggleState());
    settle();
    pumpFor(3 * CUtilityPage::sweepPeriodMs);
    EXPECT_EQ(received("/siggen"), std::vector<std::string> {",iff 1 -20 1000"});
    EXPECT_FALSE(page().isSweepRunning());

    // Any click on the tone or a type ends a running sweep at once.
    for (juce::Button* b :
         std::initializer_list<juce::Button*> {&page().pinkNoise, &page().testTone})
    {
        SCOPED_TRACE(b->getButtonText());
        sineAt(300, 5);
        click(page().sweep);
        ASSERT_TRUE(pumpUntil([&] { return ! tones().empty(); }));
        click(*b);
        EXPECT_FALSE(page().isSweepRunning());
        EXPECT_FALSE(page().sweep.getToggleState());
        settle();
        sim->clearLog();
        pumpFor(3 * CUtilityPage::sweepPeriodMs);
        EXPECT_TRUE(tones().empty());
    }
}

} // namespace

// The Utility page's fixture and helpers for reading the generator's messages.
#pragma once

#include <chrono>
#include <cmath>
#include <sstream>

#include "CUtilityPage.h"
#include "PageFixture.h"

namespace velmora::test
{

// One "/siggen" message as the amplifier received it.
struct Tone
{
    long long ms = 0;
    int input = -1;
    float gain = 0.0f;
    float hz = 0.0f;
    // The frequency's step: 600 logarithmic steps from 20 Hz to 20 kHz.
    int step() const
    {
        return static_cast<int>(std::lround(600.0 * std::log(hz / 20.0) / std::log(1000.0)));
    }
};

inline Tone parseTone(const sim::LogEntry& e)
{
    Tone t;
    t.ms = e.ms;
    std::istringstream in(e.arguments);
    std::string tags;
    in >> tags >> t.input >> t.gain >> t.hz;
    EXPECT_EQ(tags, ",iff") << e.arguments;
    return t;
}

inline float hzOfStep(int step)
{
    return static_cast<float>(20.0 * std::pow(1000.0, step / 600.0));
}

// The steps a sweep goes through, from `from` by `by`: the rule written out
// for the ends the tests reach.
inline std::vector<int> stepsFrom(int from, int by, int count)
{
    std::vector<int> out;
    for (int i = 1; i <= count; ++i)
        out.push_back(from + i * by);
    return out;
}

// Where each message's step sits in `expected`. A message still queued when
// the next step comes is replaced by it, so a busy machine may skip steps;
// it never sends one out of the sequence or twice.
inline std::vector<std::size_t> positionsIn(const std::vector<Tone>& run,
                                            const std::vector<int>& expected)
{
    std::vector<std::size_t> at;
    std::size_t j = 0;
    for (const auto& t : run)
    {
        while (j < expected.size() && expected[j] != t.step())
            ++j;
        if (j == expected.size())
        {
            ADD_FAILURE() << "step " << t.step() << " out of the sweep's sequence";
            break;
        }
        at.push_back(j++);
    }
    return at;
}

class UtilityPage : public PageFixture
{
protected:
    CUtilityPage& page() { return *context.utilityPage; }

    std::vector<Tone> tones() const
    {
        std::vector<Tone> out;
        for (const auto& e : sim->log("/siggen"))
            out.push_back(parseTone(e));
        return out;
    }

    // "Test Tone" on, answering the question.
    void switchToneOn(bool yes = true)
    {
        click(page().testTone);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        dialogs.answer(yes);
        settle();
    }

    // The sine playing at `step` with `rate`, the log cleared.
    void sineAt(int step, int rate)
    {
        if (! page().sine.getToggleState())
            click(page().sine);
        if (! page().testTone.getToggleState())
            switchToneOn();
        page().rateKnob.setValue(rate, juce::sendNotificationSync);
        page().frequencyKnob.setValue(step, juce::sendNotificationSync);
        settle();
        ASSERT_EQ(page().siggen.input().getStep(), 1);
        ASSERT_EQ(page().siggen.freq().getStep(), step);
        sim->clearLog();
    }

    // Runs a sweep until the amplifier has received `count` of its messages,
    // then stops it with a click on "Sweep".
    std::vector<Tone> sweepFor(std::size_t count)
    {
        click(page().sweep);
        EXPECT_TRUE(page().isSweepRunning());
        EXPECT_TRUE(pumpUntil([&] { return sim->log("/siggen").size() >= count; }, 10000));
        const auto start = std::chrono::steady_clock::now();
        click(page().sweep);
        // Within a period (the click itself pumps the loop for 20 ms), not
        // after the thread's 4 s allowance.
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(20 + 2 * CUtilityPage::sweepPeriodMs));
        EXPECT_FALSE(page().isSweepRunning());
        EXPECT_FALSE(page().sweep.getToggleState());
        settle();
        return tones();
    }

public:
    void disconnect() { setup().disconnectDevice(); }
    void powerOff() { sim->sendPowerOff(); }
    void chooseModel(int model) { panel->setDeviceModel(model); }
};

} // namespace velmora::test

#include "CUtilityPage.h"

#include <chrono>

namespace velmora
{

int CUtilityPage::nextSweepStep(int step, int rate, bool& down)
{
    // The rate is clamped by its parameter already; a zero here would divide.
    const int d = 30 / juce::jlimit(5, 30, rate);
    if (down)
    {
        step -= d;
        if (step < 0)
        {
            step = 0;
            down = false;
        }
    }
    else
    {
        step += d;
        if (step >= topStep)
        {
            step = topStep - 1;
            down = true;
        }
    }
    return step;
}

CUtilityPage::CUtilityPage(AppContext& ctx) : Page("Utility", ctx), juce::Thread("scan")
{
    addAndMakeVisible(group);

    testTone.onUserChange = [this](bool on) { setGenerator(0, on); };
    const std::pair<kit::Toggle*, int> types[] = {{&pinkNoise, 2}, {&whiteNoise, 3}, {&sine, 1}};
    for (const auto& [button, kind] : types)
    {
        button->setRadioGroupId(1);
        button->onUserChange = [this, kind = kind](bool on) { setGenerator(kind, on); };
    }
    sweep.onUserChange = [this](bool on) { sweepClicked(on); };
    for (kit::Toggle* b : {&testTone, &pinkNoise, &whiteNoise, &sine, &sweep})
        addAndMakeVisible(*b);

    kit::styleLabel(levelLabel, "Level");
    kit::styleLabel(dbLabel, "dB");
    kit::styleLabel(frequencyLabel, "Frequency", 15.0f, juce::Justification::centred);
    kit::styleLabel(hzLabel, "Hz");
    kit::styleLabel(rateLabel, "Rate");
    kit::styleLabel(secondsLabel, "s");
    for (juce::Label* l :
         {&levelLabel, &dbLabel, &frequencyLabel, &hzLabel, &rateLabel, &secondsLabel})
        addAndMakeVisible(*l);

    levelKnob.setUp(-40.0, 0.0, 0.5);
    levelKnob.onUserChange = [this](double v) { levelKnobMoved(v); };
    frequencyKnob.setUp(0.0, topStep, 1.0);
    frequencyKnob.onUserChange = [this](double v) { frequencyKnobMoved(v); };
    rateKnob.setUp(5.0, 30.0, 1.0);
    rateKnob.onUserChange = [this](double v) { rateKnobMoved(v); };
    for (kit::Knob* k : {&levelKnob, &frequencyKnob, &rateKnob})
        addAndMakeVisible(*k);

    levelBox.setIndents(8, 3);
    levelBox.storedText = [this] { return formatted(&Ciosiggen::gain); };
    levelBox.onCommit = [this](const juce::String& t)
    {
        const bool taken = typed(&Ciosiggen::gain, t);
        std::lock_guard<std::mutex> guard(siggen.lock);
        levelKnob.show(siggen.gain().getValue());
        return taken;
    };
    frequencyBox.setIndents(8, 3);
    frequencyBox.storedText = [this] { return formatted(&Ciosiggen::freq); };
    frequencyBox.onCommit = [this](const juce::String& t)
    {
        const bool taken = typed(&Ciosiggen::freq, t);
        std::lock_guard<std::mutex> guard(siggen.lock);
        frequencyKnob.show(siggen.freq().getStep());
        return taken;
    };
    rateBox.setIndents(16, 3);
    rateBox.storedText = [this] { return formatted(&Ciosiggen::scan); };
    rateBox.onCommit = [this](const juce::String& t)
    {
        const bool taken = typed(&Ciosiggen::scan, t);
        std::lock_guard<std::mutex> guard(siggen.lock);
        rateKnob.show(siggen.scan().getStep());
        return taken;
    };
    for (kit::ValueBox* box : {&levelBox, &frequencyBox, &rateBox})
    {
        box->setSelectsAllOnFocus(true);
        // What the amplifier plays is sent again: the box may have been left
        // after the amplifier was told something else.
        box->onLeave = [this] { edit({}); };
        addAndMakeVisible(*box);
    }

    siggen.addChangeListener(this);
    // Before any type button is clicked the test tone plays the sine, and
    // "Sine" shows it.
    signalType = 1;
    sine.show(true);
    {
        std::lock_guard<std::mutex> guard(siggen.lock);
        siggen.freq().readText("1000");
    }
    rateBox.refresh();
    rateKnob.show(5.0);
    changeListenerCallback(&siggen);
    resized();
}

CUtilityPage::~CUtilityPage()
{
    // Closing the editor mid-sweep ends the sweep at once, not after the
    // thread's allowance.
    endSweep();
    siggen.removeChangeListener(this);
}

void CUtilityPage::resized()
{
    group.setBounds(452, 8, 256, 447);
    testTone.setBounds(520, 56, 92, 24);
    pinkNoise.setBounds(520, 168, 92, 24);
    whiteNoise.setBounds(520, 208, 92, 24);
    sine.setBounds(520, 248, 92, 24);
    sweep.setBounds(532, 408, 66, 24);

    // A row: label, box, unit, knob; the knob's middle on the box's.
    auto row =
        [](juce::Label& label, kit::ValueBox& box, juce::Label& unit, kit::Knob& knob, int knobY)
    {
        const int y = knobY + 10;
        label.setBounds(468, y, 70, 20);
        box.setBounds(540, y, 50, 20);
        unit.setBounds(592, y, 30, 20);
        knob.setBounds(628, knobY, 40, 40);
    };
    row(levelLabel, levelBox, dbLabel, levelKnob, 108);
    row(frequencyLabel, frequencyBox, hzLabel, frequencyKnob, 296);
    row(rateLabel, rateBox, secondsLabel, rateKnob, 372);
}

// --- edits -------------------------------------------------------------------

void CUtilityPage::edit(const std::function<void()>& change)
{
    // The lock is held across the send, so that a sweep step never overtakes
    // the user's change on its way to the queue (the queue keeps the latest
    // "/siggen" only).
    std::lock_guard<std::mutex> guard(siggen.lock);
    context.edits.apply({&siggen}, change);
    // A frequency the user sets is where a running sweep goes on from.
    sweepStep = siggen.freq().getStep();
}

juce::String CUtilityPage::formatted(Cparam& (Ciosiggen::*param)() const)
{
    std::string text;
    std::lock_guard<std::mutex> guard(siggen.lock);
    (siggen.*param)().writeText(text);
    return juce::String(text).trim();
}

bool CUtilityPage::typed(Cparam& (Ciosiggen::*param)() const, const juce::String& text)
{
    // Text without a number leaves the parameter as the parser leaves it
    // (clamped into its range), and the box shows what it holds.
    edit([&] { (siggen.*param)().readText(text.trim().toStdString()); });
    return true;
}

void CUtilityPage::levelKnobMoved(double dB)
{
    edit([&] { siggen.gain().setValue(static_cast<float>(dB)); });
    levelBox.refresh();
}

void CUtilityPage::frequencyKnobMoved(double step)
{
    edit([&] { siggen.freq().setStep(juce::roundToInt(step)); });
    frequencyBox.refresh();
}

void CUtilityPage::rateKnobMoved(double rate)
{
    // The rate stays on the page; the message carries what the amplifier plays.
    edit([&] { siggen.scan().setStep(juce::roundToInt(rate)); });
    rateBox.refresh();
}

// --- test tone and signal type ---------------------------------------------------

void CUtilityPage::setGenerator(int kind, bool on)
{
    // Any of these clicks ends a sweep; ended first, so that no sweep step
    // follows the change.
    endSweep();
    if (kind == 0 && on)
    {
        juce::Component::SafePointer<CUtilityPage> self(this);
        context.dialogs->askQuestion(
            "Signal Generator...", "Do you want to activate the Signal Generator? '(Check Level!)",
            "Yes", "Cancel",
            [self](bool yes)
            {
                if (self == nullptr)
                    return;
                if (yes)
                    self->playSignal(self->signalType);
                else
                    self->testTone.show(false);
            });
    }
    else if (kind == 0)
        playSignal(0);
    else if (on)
    {
        if (testTone.getToggleState())
            playSignal(kind);
        signalType = kind;
    }
}

void CUtilityPage::playSignal(int kind)
{
    edit([&] { siggen.input().setStep(kind); });
}

// --- the sweep -----------------------------------------------------------------

void CUtilityPage::sweepClicked(bool on)
{
    if (! on)
    {
        endSweep();
        return;
    }
    bool sinePlaying = false;
    {
        std::lock_guard<std::mutex> guard(siggen.lock);
        sweeping = true;
        sinePlaying = siggen.input().getStep() == 1;
    }
    if (sinePlaying)
        startSweep();
}

void CUtilityPage::startSweep()
{
    // The previous sweep's thread has been waited for (endSweep), so this
    // starts a new one.
    startThread();
}

void CUtilityPage::endSweep()
{
    {
        std::lock_guard<std::mutex> guard(siggen.lock);
        sweeping = false;
    }
    sweepWake.notify_all();
    // Woken at once, the thread ends within microseconds; the allowance only
    // guards against a thread stuck elsewhere.
    stopThread(4000);
    sweep.show(false);
}

bool CUtilityPage::isSweeping()
{
    std::lock_guard<std::mutex> guard(siggen.lock);
    return sweeping;
}

void CUtilityPage::setDeviceModel(int)
{
    endSweep();
}

void CUtilityPage::run()
{
    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(sweepPeriodMs);
    std::unique_lock<std::mutex> lock(siggen.lock);
    auto next = clock::now();
    // The sweep keeps its own position: the amplifier's answer to an earlier
    // step, arriving after the next one went out, must not pull it back.
    sweepStep = siggen.freq().getStep();
    while (sweeping && ! threadShouldExit())
    {
        sweepStep = nextSweepStep(sweepStep, siggen.scan().getStep(), sweepDown);
        siggen.freq().setStep(sweepStep);
        // Not an edit of the user's: the steps of a sweep are not undone one by
        // one. The controls follow the amplifier's answers.
        siggen.send(siggen.getPath());

        // One step per period; a late wake-up starts a new period rather than
        // catching up with a burst of steps.
        next += period;
        const auto now = clock::now();
        if (next <= now)
            next = now + period;
        sweepWake.wait_until(lock, next, [this] { return ! sweeping || threadShouldExit(); });
    }
}

// --- updates from the amplifier ------------------------------------------------------

void CUtilityPage::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source != &siggen)
        return;
    int input = 0;
    float gain = 0.0f;
    int frequencyStep = 0;
    {
        std::lock_guard<std::mutex> guard(siggen.lock);
        input = siggen.input().getStep();
        gain = siggen.gain().getValue();
        frequencyStep = siggen.freq().getStep();
    }
    // The sweep plays the sine only: when the amplifier reports the tone off
    // or noise, the sweep ends rather than go on sending into it.
    if (input != 1 && isSweeping())
        endSweep();
    testTone.show(input >= 1);
    if (input >= 1)
    {
        pinkNoise.show(input == 2);
        whiteNoise.show(input == 3);
        sine.show(input == 1);
        // The button shown is the signal the test tone plays next time.
        signalType = input;
    }
    levelBox.refresh();
    levelKnob.show(gain);
    frequencyBox.refresh();
    frequencyKnob.show(frequencyStep);
}

} // namespace velmora

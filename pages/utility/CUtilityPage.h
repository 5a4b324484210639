#pragma once

#include <condition_variable>
#include <mutex>

#include "Blocks.h"
#include "Controls.h"
#include "Pages.h"

namespace velmora
{

// The signal-generator block, with the lock that its parameters live under:
// the page's sweep thread writes the frequency while the GUI thread edits the
// block and the communicator stores the amplifier's replies into it.
class GuardedSiggen : public Ciosiggen
{
public:
    // Taken by every reader and writer of the parameters, and held across a
    // send, so that the messages reach the queue in the order of the changes.
    std::mutex lock;

    void receive(osc::ReceivedMessageArgumentStream& args) override
    {
        std::lock_guard<std::mutex> guard(lock);
        Ciosiggen::receive(args);
    }
};

// The Utility tab: the signal generator of the Vorn series. Switches the test
// tone, chooses sine, pink or white noise, sets level and frequency, and
// sweeps the sine back and forth over the whole range on its "scan" thread.
// Owns the signal-generator block ("/siggen").
class CUtilityPage : public Page, public juce::ChangeListener, private juce::Thread
{
public:
    static constexpr int sweepPeriodMs = 50;
    // The frequency's steps: 0 is 20 Hz, 600 is 20 kHz.
    static constexpr int topStep = 600;

    // One period of the sweep: the step that follows `step` at `rate` seconds
    // per pass, turning at 0 and just below the top.
    static int nextSweepStep(int step, int rate, bool& down);

    explicit CUtilityPage(AppContext& context);
    ~CUtilityPage() override;

    void resized() override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    // kind 0 the test tone, 1 sine, 2 pink noise, 3 white noise; `on` is the
    // clicked button's new state.
    void setGenerator(int kind, bool on);
    // The amplifier changed (chosen, connected, gone; 7: none). A running
    // sweep ends: its messages belong to the amplifier it was started on.
    void setDeviceModel(int modelIndex);
    // Ends a running sweep and waits for its thread (well within a period).
    void endSweep();

    GuardedSiggen siggen;

    juce::GroupComponent group {"new group", "Generator (Vorn Series)"};
    kit::Toggle testTone {"Test Tone"};
    kit::Toggle pinkNoise {"Pink Noise"};
    kit::Toggle whiteNoise {"White Noise"};
    kit::Toggle sine {"Sine"};
    kit::Toggle sweep {"Sweep"};
    juce::Label levelLabel, dbLabel, frequencyLabel, hzLabel, rateLabel, secondsLabel;
    kit::ValueBox levelBox {"level"}, frequencyBox {"frequency"}, rateBox {"rate"};
    kit::Knob levelKnob, frequencyKnob, rateKnob;

    // State, for tests.
    int getSignalType() const { return signalType; }
    bool isSweeping();
    bool isSweepRunning() const { return isThreadRunning(); }

private:
    void run() override;
    void sweepClicked(bool on);
    void startSweep();
    void playSignal(int kind);

    // Sets the generator's parameters and sends the block, under its lock.
    void edit(const std::function<void()>& change);
    void levelKnobMoved(double dB);
    void frequencyKnobMoved(double step);
    void rateKnobMoved(double rate);
    bool typed(Cparam& (Ciosiggen::*param)() const, const juce::String& text);
    juce::String formatted(Cparam& (Ciosiggen::*param)() const);
    void showKnobs();

    int signalType = 1;
    // Guarded by siggen.lock, like the parameters.
    bool sweeping = false;
    bool sweepDown = false;
    int sweepStep = 0;
    std::condition_variable sweepWake;
};

} // namespace velmora

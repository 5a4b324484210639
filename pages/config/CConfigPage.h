#pragma once

#include <array>

#include "Blocks.h"
#include "Controls.h"
#include "Pages.h"

namespace velmora
{

// The Configuration tab: the amplifier mode with its signal-flow diagram, and
// per output channel the delay (milliseconds, metres, feet), the polarity, the
// peak limiter (threshold, hold, release) and the speaker load. Owns the
// speaker block ("/speaker").
class CConfigPage : public Page, public juce::ChangeListener
{
public:
    // Peak output volts at 0 dBfs, by model index (7: none).
    static constexpr std::array<float, 8> maxPeakVolts {80, 94, 100, 100, 50, 85, 155, 100};
    // Load item id to ohms, and to line volts (line-output models).
    static constexpr std::array<int, 6> loadOhms {0, 0, 2, 4, 8, 16};
    static constexpr std::array<int, 3> lineVolts {0, 100, 70};
    // Metres and feet that sound travels in one millisecond.
    static constexpr std::array<double, 3> delayUnitFactor {1.0, 0.343, 1.1253623};

    explicit CConfigPage(AppContext& context);
    ~CConfigPage() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    // The chosen or connected amplifier changed (7: none).
    void setDeviceModel(int modelIndex);
    int getDeviceModel() const { return modelIndex; }
    // The whole step of the amp-mode parameter, 0-4.
    int getAmpMode() const;

    // The user's actions, as the controls run them.
    void requestAmpMode(int mode);
    void setChannelLink(bool on);

    Ciospeaker speakerBlock;

    // The controls of one channel (0 A, 1 B), by what they show.
    struct Channel
    {
        juce::GroupComponent group;
        juce::Label delayLabel, msLabel, mLabel, ftLabel, limiterLabel, dbfsLabel, voltsLabel,
            wattsLabel, loadLabel, outputLabel, holdLabel, holdUnit, releaseLabel, releaseUnit;
        kit::Knob delayKnob, thresholdKnob, holdKnob, releaseKnob;
        kit::ValueBox msBox, mBox, ftBox, voltsBox, powerBox;
        kit::Toggle phase {"Phase"};
        kit::Tick zero {juce::CharPointer_UTF8("0\xc2\xb0")};
        kit::Tick inverted {juce::CharPointer_UTF8("180\xc2\xb0")};
        kit::ChoiceList load;
    };
    Channel& channel(int c) { return *channels[static_cast<std::size_t>(c)]; }
    kit::Toggle& modeButton(int mode) { return *modeButtons[static_cast<std::size_t>(mode)]; }
    kit::Toggle linkButton {"Channel Link", "enable/disable"};
    juce::GroupComponent modeGroup {"new group", "Mode"};

    // State, for tests.
    bool isSingleChain() const { return singleChain; }
    bool areChannelsLinked() const { return channelsLinked; }
    bool isBridged() const { return bridged; }
    int getLoadChoice(int c) const { return loadChoice[static_cast<std::size_t>(c)]; }
    int getShownMode() const { return ampMode; }

private:
    bool isLineOutputModel() const { return modelIndex == 2 || modelIndex == 3; }
    bool canBridge() const
    {
        return modelIndex == 0 || modelIndex == 1 || modelIndex == 4 || modelIndex == 5;
    }
    float fullScale() const;
    Cdelay& delay(int c) const { return *delayBlock[static_cast<std::size_t>(c)]; }
    Climiter& limiter(int c) const { return *limiterBlock[static_cast<std::size_t>(c)]; }

    void buildChannel(int c);
    void layOutChannel(int c);
    void fillLoadLists();

    void changeAmpMode(int mode);
    // Returns whether channel B must be asked for again (leaving STEREO or
    // BRIDGE while online); asks at once unless `askLater`.
    bool applyAmpMode(int mode, bool askLater = false);
    void askForChannelB();
    void setModeLayout(int mode);

    // Delay and polarity. The set... functions change the tree and the
    // controls; the handlers of the user's actions send.
    void setDelayTime(int c, float ms);
    void delayKnobMoved(int c, double ms);
    bool delayTyped(int c, int unit, const juce::String& text);
    void setPhase(int c, int degrees);
    void polarityChosen(int c, int degrees);
    void phaseButtonClicked(int c, bool inverted);
    void refreshDelay(int c);

    // Limiter and load.
    void setLimiterThreshold(int c, float peakVolts);
    void thresholdKnobMoved(int c, double dB);
    bool voltsTyped(int c, const juce::String& text);
    void holdOrReleaseMoved(int c, bool hold, double ms);
    void showPower(int c, float peakVolts);
    void refreshLimiter(int c);
    void loadChosen(int c);
    // Takes channel c's load choice; returns the blocks to send.
    std::vector<Cnode*> applyLoad(int c);
    void refreshSpeaker();

    Cioampmode* ampModeBlock = nullptr;
    std::array<Cdelay*, 2> delayBlock {};
    std::array<Climiter*, 2> limiterBlock {};

    bool singleChain = false;
    bool channelsLinked = false;
    bool bridged = false;
    int modelIndex = 0;
    bool modeQuestionOpen = false;
    int ampMode = 0;
    std::array<int, 2> loadChoice {};
    juce::Image background;

    std::array<std::unique_ptr<kit::Toggle>, 5> modeButtons;
    std::array<std::unique_ptr<Channel>, 2> channels;
};

} // namespace velmora

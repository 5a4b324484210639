#pragma once

#include <array>
#include <memory>

#include "Blocks.h"
#include "Controls.h"
#include "CrossoverMaths.h"
#include "EQGraph.h"
#include "Pages.h"

namespace velmora
{

// The Filter/Crossover tab: for each output channel a high-pass, a low-pass
// and a crossover gain, with the combined response of each channel on a
// Crossover graph. The page numbers the four filters as sections: 0 channel
// A's high-pass, 1 A's low-pass, 2 B's high-pass, 3 B's low-pass. Sections 1
// and 2 are link partners: under the crossover link (bi-amp modes, "X-Over"
// on) A is the low band and B the high band, split at one frequency. In
// STEREO and BRIDGE channel B follows channel A.
class CXoverPage : public Page,
                   public juce::ChangeListener,
                   public EqGraphHost,
                   public kit::AmpModeFollower
{
public:
    explicit CXoverPage(AppContext& context);
    ~CXoverPage() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    // The amplifier mode changed (0 DUAL, 1 STEREO, 2 BIAMP1, 3 BIAMP2,
    // 4 BRIDGE); told by the Configuration page.
    void setAmpMode(int mode);
    void followAmpMode(int mode) override { setAmpMode(mode); }

    // The markers: a horizontal drag moves section k's frequency by whole
    // steps; a wheel step walks its type through the choices (never to OFF).
    void nudgeFrequency(int k, int steps) override;
    void nudgeType(int k, int steps);
    void nudgeGain(int, int) override {}
    void nudgeQuality(int, int) override {}
    void crossoverWheel(int k, int step) override { nudgeType(k, step); }

    // The graph's curves: twice the level in dB of channel `curve`.
    float xoverResponse(int curve, float frequency) const
    {
        return response.xoverResponse(curve, frequency);
    }

    // The user's actions, as the controls run them; each is one edit.
    void selectFilter(int k, int familyId, int slopeItemId);
    void setSectionStep(int k, int step);
    void setChannelGain(int c, double dB);
    void xoverButtonClicked(bool on);

    // The controls of one section.
    struct Section
    {
        juce::Label title, freqLabel, hzLabel;
        kit::Knob knob;
        kit::ValueBox box {"freq text editor"};
        kit::ChoiceList family, slope;
    };
    // The controls of one channel.
    struct Channel
    {
        juce::GroupComponent group;
        juce::Label gainLabel, dbLabel, typeLabel, slopeLabel;
        kit::Knob gain;
    };
    Section& section(int k) { return *sections[static_cast<std::size_t>(k)]; }
    Channel& channel(int c) { return *channels[static_cast<std::size_t>(c)]; }
    kit::Toggle xoverButton {"X-Over", "enable/disable"};
    EQGraph graph;

    // State, for tests and the diagram.
    bool isXoverLinked() const { return xoverLinked; }
    bool areChannelsLinked() const { return channelsLinked; }
    int getLastSlope(int k) const { return lastSlope[static_cast<std::size_t>(k)]; }
    const CrossoverResponse& curves() const { return response; }

private:
    using Edit = kit::EditHub::Edit;

    Cxover& block(int k) const { return *sectionNodes[static_cast<std::size_t>(k)]; }
    Cxovergain& gainBlock(int c) const { return *gainNodes[static_cast<std::size_t>(c)]; }
    static bool validSection(int k) { return k >= 0 && k < 4; }

    void buildSection(int k);
    void buildChannel(int c);

    // The steps of an edit: they change the tree and the controls and name
    // in `edit` the blocks to send (or, for channel B's copies under the
    // mode link, the blocks touched without sending).
    void commitSection(int k, Edit& edit);
    void applyFilterChoice(int k, int slope, int family, Edit* edit);
    void chooseFilter(int k, int familyId, int slopeItemId, Edit& edit);
    void linkPartner(int k, Edit& edit);
    void stepSection(int k, int step, Edit& edit);
    void afterNudge(int k, Edit& edit);
    bool frequencyTyped(int k, const juce::String& text);
    void answerDefaultCrossover(bool yes);

    // Shows a block's values (an amplifier reply, a preset, the page's own
    // refresh of a partner); sends nothing.
    void refreshSection(int k, Edit* edit = nullptr);
    void refreshGain(int c);
    void updateXoverActive();
    void showGroupTitles(int mode);

    std::array<Cxover*, 4> sectionNodes {};
    std::array<Cxovergain*, 2> gainNodes {};
    bool xoverLinked = false;
    bool channelsLinked = false;
    std::array<int, 4> lastSlope {1, 1, 1, 1};
    CrossoverResponse response;
    juce::Image frequencyPicture, levelPicture;

    std::array<std::unique_ptr<Section>, 4> sections;
    std::array<std::unique_ptr<Channel>, 2> channels;
};

} // namespace velmora

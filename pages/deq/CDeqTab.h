#pragma once

#include <array>

#include "AppContext.h"
#include "Blocks.h"
#include "Controls.h"

namespace velmora
{

// One channel's two dynamic bands, band 1 in the left half and band 2 in the
// right. Every change the user makes is set into the band's block (and the
// linked copy), the block is sent once, the band recomputed and its graph
// repainted.
class CDeqTab : public juce::Component, public juce::ChangeListener
{
public:
    static constexpr int tabWidth = 720;
    static constexpr int tabHeight = 260;
    // The ratios of the ratio box's ids 1 ... 4.
    static constexpr std::array<float, 4> ratioTable {2.0f, 3.0f, 5.0f, 10.0f};

    CDeqTab(AppContext& context, int channel);
    ~CDeqTab() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    // A "comp", "time" or "filt" block changed (model to controls); nothing is sent.
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    // The graphs' markers, on the tab of the channel on show.
    void nudgeFrequency(int b, int steps);
    void nudgeGain(int b, int amount);
    void nudgeQuality(int b, int steps);

    // STEREO (1) and BRIDGE (4) let this tab drive both channels.
    void linkChannels(int ampMode);
    // Shows both bands from the tree and computes them, as when they broadcast.
    void refreshAll();

    struct Band
    {
        kit::Toggle deq;
        kit::Knob gain, thres, freq, qual, att, rel;
        kit::ValueBox freqBox, qualBox;
        kit::ChoiceList type, ratio;
        juce::Label gainLabel, thresLabel, freqLabel, qualLabel, attLabel, relLabel, typeLabel,
            ratioLabel, gainUnit, thresUnit, hz, attUnit, relUnit;
    };
    Band& band(int b) { return *controls[static_cast<std::size_t>(b)]; }

    int getChannel() const { return channel; }
    bool isLinked() const { return linked; }
    Cdeq& deq(int b) const { return *bands[static_cast<std::size_t>(b)]; }

private:
    void buildBand(int b);
    Cdeq* linkedDeq(int b) const
    {
        return linked ? linkedBands[static_cast<std::size_t>(b)] : nullptr;
    }

    void compMoved(int b, int index, float value);
    void ratioChosen(int b, int id);
    void timeMoved(int b, int index, float value);
    void frequencyMoved(int b, int step);
    void qualityMoved(int b, int position);
    void typeChosen(int b, int id);
    void deqClicked(int b, bool on);
    bool frequencyTyped(int b, const juce::String& text);
    void setDeqType(int b, int t);

    // Sets through `change`, sends `block` once (its linked copy quietly) and
    // recomputes the band.
    void applyDeqBand(int b, Cnode* block, Cnode* copy, const std::function<void()>& change = {});
    void refreshComp(int b);
    void refreshTime(int b);
    void refreshFilt(int b);
    void showQualityControls(int b);
    void computeBand(int b);
    void updateActivity();

    AppContext& context;
    std::array<Cdeq*, 2> linkedBands {};
    std::array<Cdeq*, 2> bands {};
    int channel;
    bool linked = false;
    // The type and ratio lists are narrow. Outlives the controls.
    kit::CompactListLook listLook;
    std::array<std::unique_ptr<Band>, 2> controls;
};

} // namespace velmora

#pragma once

#include <array>
#include <memory>

#include "AppContext.h"
#include "Blocks.h"
#include "Controls.h"
#include "PageLook.h"

namespace velmora
{

// One channel's eight parametric bands, a column of controls each, with
// "Bypass" and "Reset". Every change the user makes is set into the band's
// parameters, the band is sent once, recomputed and the graph repainted.
class CPeqTab : public juce::Component, public juce::ChangeListener
{
public:
    static constexpr int tabWidth = 720;
    static constexpr int tabHeight = 260;

    // The texts "Reset" reads into the bands' frequencies.
    static constexpr std::array<const char*, 8> defaultFrequencies {
        "40", "100", "200", "400", "1000", "2000", "4000", "10000"};

    CPeqTab(AppContext& context, int channel);
    ~CPeqTab() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    // A band block changed (model to controls); nothing is sent.
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    // The graph's markers, on the tab of the channel on show.
    void nudgeFrequency(int b, int steps);
    void nudgeGain(int b, int amount);
    void nudgeQuality(int b, int steps);

    // STEREO (1) and BRIDGE (4) let this tab drive both channels.
    void linkChannels(int ampMode);

    // Shows every column from the tree and computes its band, as when the
    // bands broadcast.
    void refreshAll();

    // The controls of one band, by what they show.
    struct Column
    {
        kit::Toggle filter;
        kit::Knob gain, freq, qual;
        kit::ValueBox freqBox, qualBox;
        kit::ChoiceList type;
        juce::Label dB, hz;
    };
    Column& column(int b) { return *columns[static_cast<std::size_t>(b)]; }
    kit::Toggle bypass {"Bypass", "enable/disable"};
    juce::TextButton reset {"Reset"};
    juce::GroupComponent activeFrame;

    // State, for tests.
    int getChannel() const { return channel; }
    bool isLinked() const { return linked; }
    bool isBypassed() const { return bypassed; }
    Cpeq& band(int b) const { return *bands[static_cast<std::size_t>(b)]; }

private:
    void buildColumn(int b);
    Cpeq* linkedBand(int b) const
    {
        return linked ? linkedBands[static_cast<std::size_t>(b)] : nullptr;
    }

    // The user's actions.
    void gainMoved(int b, double dB);
    void frequencyMoved(int b, int step);
    void qualityMoved(int b, int position);
    void typeChosen(int b, int id);
    void filterClicked(int b, bool on);
    bool frequencyTyped(int b, const juce::String& text);
    void bypassClicked(bool on);
    void resetAsked();
    void resetBands();

    // Sets band b (and its linked copy) through `change`, sends the band once
    // and shows what was applied.
    void applyBand(int b, const std::function<void()>& change = {});
    // Sets the band's type (and the linked copy's); selects it in the type box.
    void setBandType(int b, int t);
    // What every change ends with, after the band was sent: the band's
    // response, the graph, the activity flag and the frame.
    void showApplied(int b);
    void computeBand(int b);
    void refreshColumn(int b);
    void showQualityControls(int b);
    void updateActivity();
    void repaintGraph();
    void setFilterButtonsToggle(bool on);

    AppContext& context;
    std::array<Cpeq*, 8> linkedBands {};
    std::array<Cpeq*, 8> bands {};
    int channel;
    bool linked = false;
    bool bypassed = false;
    std::array<bool, 8> rememberedOn {};

    // The type boxes are 60 wide. Outlives the columns that use it.
    kit::CompactListLook typeLook;
    std::array<std::unique_ptr<Column>, 8> columns;
    juce::Label gainHeader, frequencyHeader, qualityHeader, typeHeader;
};

} // namespace velmora

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "AppContext.h"

namespace velmora
{

// Every page is 720 x 470, the content of one tab of the main panel.
class Page : public juce::Component
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;

    Page(const juce::String& name, AppContext& context);
    ~Page() override;
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colours::black); }

protected:
    AppContext& context;
};

// The channel tabs of the EQ pages for an amplifier mode: one tab in STEREO
// ("Channel A+B") and BRIDGE ("Channel A"), two otherwise; channel A shown.
// Returns true when channel B's tab came back, whose controls then need a
// refresh from the tree.
bool layOutChannelTabs(juce::TabbedComponent& tabs, juce::Component& channelB, int ampMode);

} // namespace velmora

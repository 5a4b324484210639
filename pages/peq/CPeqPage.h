#pragma once

#include <memory>

#include "Blocks.h"
#include "CPeqTab.h"
#include "EQGraph.h"
#include "Pages.h"
#include "Shared.h"

namespace velmora
{

// The Parametric EQ tab: the response of the channel on show with its eight
// markers, and a tab of eight band columns per channel ("Channel A",
// "Channel B"; one tab driving both channels in STEREO and BRIDGE).
class CPeqPage : public Page, public EqGraphHost, public kit::AmpModeFollower
{
public:
    explicit CPeqPage(AppContext& context);
    ~CPeqPage() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    // From the Configuration page: the step of the amp-mode parameter.
    void setChannelLayout(int ampMode);
    void followAmpMode(int mode) override { setChannelLayout(mode); }

    // The markers act on the tab on show.
    void nudgeFrequency(int filterIndex, int steps) override;
    void nudgeGain(int filterIndex, int amount) override;
    void nudgeQuality(int filterIndex, int steps) override;
    void crossoverWheel(int, int) override {}

    CPeqTab& tab(int channel) { return channel == 0 ? *tabA : *tabB; }
    CPeqTab& shownTab();

    EQGraph graph;

    // The tab bar; tells the page when the user picks another tab.
    struct Tabs : juce::TabbedComponent
    {
        Tabs() : juce::TabbedComponent(juce::TabbedButtonBar::TabsAtTop) {}
        std::function<void()> onChange;
        void currentTabChanged(int, const juce::String&) override
        {
            if (onChange)
                onChange();
        }
    };
    Tabs tabs;

private:
    // The channel the graph draws and the markers act on follows the tab.
    void showChannel(int channel);

    std::unique_ptr<CPeqTab> tabA, tabB;
    juce::Image levelScalePicture, frequencyScalePicture;
};

} // namespace velmora

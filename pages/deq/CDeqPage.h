#pragma once

#include <functional>
#include <memory>

#include "Blocks.h"
#include "CDeqTab.h"
#include "EQGraph.h"
#include "Pages.h"
#include "Shared.h"

namespace velmora
{

// The Dynamic EQ tab: one graph per band (six level curves, one marker) and
// a tab of both bands' controls per channel ("Channel A", "Channel B"; one
// tab driving both channels in STEREO and BRIDGE).
class CDeqPage : public Page, public kit::AmpModeFollower
{
public:
    explicit CDeqPage(AppContext& context);
    ~CDeqPage() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    // From the Configuration page: the step of the amp-mode parameter.
    void setChannelLayout(int ampMode);
    void followAmpMode(int mode) override { setChannelLayout(mode); }

    CDeqTab& tab(int channel) { return channel == 0 ? *tabA : *tabB; }
    CDeqTab& shownTab();

    // The markers of both graphs act on the tab on show; the left graph's
    // marker is band 0, the right graph's band 1.
    struct MarkerHost : EqGraphHost
    {
        explicit MarkerHost(CDeqPage& p) : page(p) {}
        void nudgeFrequency(int b, int steps) override { page.shownTab().nudgeFrequency(b, steps); }
        void nudgeGain(int b, int amount) override { page.shownTab().nudgeGain(b, amount); }
        void nudgeQuality(int b, int steps) override { page.shownTab().nudgeQuality(b, steps); }
        void crossoverWheel(int, int) override {}
        CDeqPage& page;
    };
    MarkerHost markerHost {*this};

    EQGraph band1Graph, band2Graph;

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
    juce::GroupComponent band1Frame, band2Frame;

private:
    // The channel the graphs draw and the markers act on follows the tab.
    void showChannel(int channel);

    std::unique_ptr<CDeqTab> tabA, tabB;
    juce::Image frequencyScalePicture, levelScalePicture;
};

} // namespace velmora

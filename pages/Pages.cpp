#include "Pages.h"

#include "Palette.h"
#include "Shared.h"

namespace velmora
{

Page::Page(const juce::String& name, AppContext& ctx) : juce::Component(name), context(ctx)
{
    setLookAndFeel(&context.look);
    setSize(pageWidth, pageHeight);
}

Page::~Page()
{
    setLookAndFeel(nullptr);
}

bool layOutChannelTabs(juce::TabbedComponent& tabs, juce::Component& channelB, int ampMode)
{
    bool cameBack = false;
    if (kit::isSingleChain(ampMode))
    {
        tabs.setTabName(0, ampMode == 1 ? "Channel A+B" : "Channel A");
        if (tabs.getNumTabs() > 1)
            tabs.removeTab(1);
    }
    else if (tabs.getNumTabs() < 2)
    {
        tabs.setTabName(0, "Channel A");
        tabs.addTab("Channel B", palette::tab, &channelB, false);
        cameBack = true;
    }
    tabs.setCurrentTabIndex(0);
    return cameBack;
}

} // namespace velmora

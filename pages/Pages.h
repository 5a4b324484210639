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

} // namespace velmora

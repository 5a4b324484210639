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

// The pages whose editors are still to come: each shows its tab, empty, and
// owns what the rest of the system already relies on.

class CXoverPage : public Page
{
public:
    explicit CXoverPage(AppContext& context) : Page("Filter/Crossover", context) {}
};

class CPeqPage : public Page
{
public:
    explicit CPeqPage(AppContext& context) : Page("Parametric EQ", context) {}
};

class CDeqPage : public Page
{
public:
    explicit CDeqPage(AppContext& context) : Page("Dynamic EQ", context) {}
};

// The signal generator of the Vorn series. Owns the signal-generator block.
class CUtilityPage : public Page
{
public:
    explicit CUtilityPage(AppContext& context) : Page("Utility", context) {}
    Ciosiggen siggen;
};

} // namespace velmora

#include "Pages.h"

namespace velmora
{

Page::Page(const juce::String& name, AppContext& ctx) : juce::Component(name), context(ctx)
{
    setSize(pageWidth, pageHeight);
}

CConfigPage::CConfigPage(AppContext& ctx) : Page("Configuration", ctx) {}

int CConfigPage::getAmpMode() const
{
    return context.root != nullptr ? context.root->ampmode->mode().getStep() : 0;
}

} // namespace velmora

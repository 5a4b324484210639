#include "Pages.h"

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

} // namespace velmora

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "AppContext.h"

namespace velmora
{

// The one top-level window. Its content is the main panel, 912 x 516.
class MainWindow : public juce::DocumentWindow
{
public:
    // Builds the editor in its order: the tree with its paths, the main panel
    // (pages, communicator, meters), then the preset document, whose default
    // preset fills every page.
    explicit MainWindow(AppContext& context);
    ~MainWindow() override;

    // Quits at once: nothing is asked, saved or sent to the amplifier.
    void closeButtonPressed() override;

private:
    AppContext& context;
    // Without one, no component of the editor can show its tooltip.
    juce::TooltipWindow tooltips {this};
};

} // namespace velmora

#include "MainWindow.h"

#include "RemoteControl.h"
#include "SettingsStore.h"
#include "presetDocument.h"

namespace velmora
{

MainWindow::MainWindow(AppContext& ctx)
    : juce::DocumentWindow(" Velmora ", juce::Colour(0xff222222),
                           juce::DocumentWindow::minimiseButton |
                               juce::DocumentWindow::closeButton),
      context(ctx)
{
    // Nothing may look at the tree before its paths exist.
    context.root = makeTree();
    context.settings = std::make_unique<SettingsStore>();
    context.hid = makeHidapiPlatform();

    setContentOwned(new RemoteControl(this, context), true);
    setResizable(false, false);
    centreWithSize(getWidth(), getHeight());
    setVisible(true);

    context.presets = std::make_unique<presetDocument>(*context.root, *context.settings);
}

MainWindow::~MainWindow()
{
    // The panel (with the pages that listen to the tree, and the
    // communicator) goes first, then what it used.
    clearContentComponent();
    context.presets.reset();
    context.hid.reset();
    context.root.reset();
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::quit();
}

} // namespace velmora

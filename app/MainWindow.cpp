#include "MainWindow.h"

#include "Pictures.h"
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
    // The title bar draws the icon itself; the window system's copy is what
    // task switchers and docks show when they do not go by the menu entry.
    if (auto* peer = getPeer())
        peer->setIcon(pictures::windowIcon());

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

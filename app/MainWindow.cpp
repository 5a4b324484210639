#include "MainWindow.h"

namespace velmora
{

MainWindow::MainWindow(AppContext& ctx)
    : juce::DocumentWindow(" Velmora ", juce::Colour(0xff222222),
                           juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton),
      context(ctx)
{
    // The tree exists, with every path built, before anything else is made.
    context.root = makeTree();

    auto content = std::make_unique<juce::Component>("Didazozuzo");
    content->setSize(contentWidth, contentHeight);
    setContentOwned(content.release(), true);
    setResizable(false, false);
    centreWithSize(getWidth(), getHeight());
    setVisible(true);
}

MainWindow::~MainWindow()
{
    context.root.reset();
    clearContentComponent();
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::quit();
}

} // namespace velmora

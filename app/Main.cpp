#include <juce_gui_basics/juce_gui_basics.h>

#include "AlertDialogs.h"
#include "FileChoosers.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "presetDocument.h"

namespace velmora
{

class JUCEStartupApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Velmora"; }
    const juce::String getApplicationVersion() override { return "V1.1"; }
    bool moreThanOneInstanceAllowed() override { return false; }

    void initialise(const juce::String&) override
    {
        context.dialogs = &dialogs;
        context.fileChoosers = &fileChoosers;
        mainWindow = std::make_unique<MainWindow>(context);
    }

    // Also called for a second instance that never ran initialise().
    void shutdown() override { mainWindow.reset(); }

    void anotherInstanceStarted(const juce::String&) override {}

private:
    AlertDialogs dialogs;
    JuceFileChoosers fileChoosers;
    AppContext context;
    std::unique_ptr<MainWindow> mainWindow;
};

} // namespace velmora

START_JUCE_APPLICATION(velmora::JUCEStartupApplication)

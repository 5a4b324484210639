#include "FileChoosers.h"

namespace velmora
{

void JuceFileChoosers::launch(const juce::String& title, const juce::File& start,
                              const juce::String& pattern, int flags,
                              std::function<void(const juce::File&)> chosen)
{
    // Non-native: JUCE's own chooser works on every desktop, and in tests.
    chooser = std::make_unique<juce::FileChooser>(title, start, pattern, false);
    chooser->launchAsync(flags, [chosen = std::move(chosen)](const juce::FileChooser& c)
                         { chosen(c.getResult()); });
}

void JuceFileChoosers::chooseFileToOpen(const juce::String& title, const juce::File& start,
                                        const juce::String& pattern,
                                        std::function<void(const juce::File&)> chosen)
{
    launch(title, start, pattern,
           juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
           std::move(chosen));
}

void JuceFileChoosers::chooseFileToSave(const juce::String& title, const juce::File& start,
                                        const juce::String& pattern,
                                        std::function<void(const juce::File&)> chosen)
{
    launch(title, start, pattern,
           juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles,
           std::move(chosen));
}

} // namespace velmora

#pragma once

#include <functional>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmora
{

// Open and save file choosers, asynchronous; `chosen` gets juce::File() when
// the user cancels.
class FileChoosers
{
public:
    virtual ~FileChoosers() = default;
    virtual void chooseFileToOpen(const juce::String& title, const juce::File& start,
                                  const juce::String& pattern,
                                  std::function<void(const juce::File&)> chosen) = 0;
    // Asks nothing about existing files: the caller knows which file it will
    // really write and asks about that one.
    virtual void chooseFileToSave(const juce::String& title, const juce::File& start,
                                  const juce::String& pattern,
                                  std::function<void(const juce::File&)> chosen) = 0;
};

// JUCE's file choosers.
class JuceFileChoosers : public FileChoosers
{
public:
    void chooseFileToOpen(const juce::String& title, const juce::File& start,
                          const juce::String& pattern,
                          std::function<void(const juce::File&)> chosen) override;
    void chooseFileToSave(const juce::String& title, const juce::File& start,
                          const juce::String& pattern,
                          std::function<void(const juce::File&)> chosen) override;

private:
    void launch(const juce::String& title, const juce::File& start, const juce::String& pattern,
                int flags, std::function<void(const juce::File&)> chosen);
    std::unique_ptr<juce::FileChooser> chooser;
};

} // namespace velmora

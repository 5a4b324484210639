#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <juce_gui_extra/juce_gui_extra.h>

#include "Blocks.h"
#include "SettingsStore.h"

namespace velmora
{

// The preset document: reads and writes ".vlp" files, one line per block of
// the settings tree between "BEGIN_OSC_DATA" and "END_OSC_DATA", a title line
// first. Reading only changes the tree (the blocks broadcast); nothing is
// sent to the amplifier from here.
class presetDocument : public juce::FileBasedDocument
{
public:
    static constexpr int titleLength = 10;

    // Applies the built-in default preset to the tree.
    presetDocument(Croot& root, SettingsStore& settings);

    juce::String getDocumentTitle() override { return presetTitle; }
    juce::Result loadDocument(const juce::File& file) override;
    juce::Result saveDocument(const juce::File& file) override;
    juce::File getLastDocumentOpened() override;
    void setLastDocumentOpened(const juce::File& file) override;

    // Reads a whole preset text into the tree; the title becomes its first line.
    void applyPresetText(std::string_view text);
    // Reads one block line ("/address tags values") into the tree. Lines that
    // resolve to no block are ignored.
    void applyPresetLine(std::string_view line);
    // The file text: title, markers, the 39 block lines; no final line feed.
    std::string buildPresetText();

    void setPresetTitle(const juce::String& title) { presetTitle = title; }

    // The file a save to `chosen` really writes: its ".vlp" counterpart.
    static juce::File fileToWrite(const juce::File& chosen)
    {
        return chosen.withFileExtension(".vlp");
    }

private:
    Croot& root;
    SettingsStore& settings;
    std::vector<std::string> presetLines;
    juce::String presetTitle;
};

} // namespace velmora

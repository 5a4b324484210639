#pragma once

#include <memory>

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_extra/juce_gui_extra.h>

namespace velmora
{

// The per-user settings file ("Vorn Series", suffix "settings") and the list
// of preset files used recently, most recent first, at most 10.
class SettingsStore
{
public:
    static constexpr int maxRecentFiles = 10;

    // Where the settings live: on Linux $XDG_CONFIG_HOME/Vorn Series/ (by
    // default ~/.config/Vorn Series/Vorn Series.settings).
    static juce::PropertiesFile::Options defaultOptions();

    explicit SettingsStore(const juce::PropertiesFile::Options& options = defaultOptions());

    juce::RecentlyOpenedFilesList& recentFiles() { return recent; }
    juce::File mostRecentFile() const;

    // Puts `file` first in the list and writes the list to the settings file
    // at once, so that it survives the next start.
    void addRecentFile(const juce::File& file);

    juce::File settingsFile() const { return properties->getFile(); }

private:
    std::unique_ptr<juce::PropertiesFile> properties;
    juce::RecentlyOpenedFilesList recent;
};

} // namespace velmora

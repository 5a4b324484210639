#include "SettingsStore.h"

#include <cstdlib>

namespace velmora
{

juce::PropertiesFile::Options SettingsStore::defaultOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Vorn Series";
    options.filenameSuffix = "settings";
    options.osxLibrarySubFolder = "Application Support";
#if JUCE_LINUX || JUCE_BSD
    // Desktop users expect settings under the XDG config folder, not in a
    // hidden folder of the home directory.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const juce::File base =
        xdg != nullptr && juce::File::isAbsolutePath(xdg)
            ? juce::File(xdg)
            : juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile(".config");
    options.folderName = base.getChildFile("Vorn Series").getFullPathName();
#endif
    return options;
}

SettingsStore::SettingsStore(const juce::PropertiesFile::Options& options)
    : properties(std::make_unique<juce::PropertiesFile>(options))
{
    recent.setMaxNumberOfItems(maxRecentFiles);
    recent.restoreFromString(properties->getValue("recentFiles"));
    recent.removeNonExistentFiles();
}

juce::File SettingsStore::mostRecentFile() const
{
    return recent.getNumFiles() > 0 ? recent.getFile(0) : juce::File();
}

void SettingsStore::addRecentFile(const juce::File& file)
{
    recent.addFile(file);
    properties->setValue("recentFiles", recent.toString());
    properties->saveIfNeeded();
}

} // namespace velmora

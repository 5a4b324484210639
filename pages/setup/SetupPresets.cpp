// The Setup page's name, lock and preset work: renaming and locking the
// amplifier, its twenty preset slots, and preset files on the computer.
#include "CSetupPage.h"
#include "EightBit.h"

#include "CConfigPage.h"
#include "FileChoosers.h"
#include "Messages.h"
#include "OscCom.h"
#include "presetDocument.h"

namespace velmora
{

namespace
{

constexpr int renameWaitMs = 100;

// A mode number from the wire may be anything.
const char* modeName(int index)
{
    return index >= 0 && index < 6 ? CSetupPage::ampModeNames[static_cast<std::size_t>(index)]
                                   : "-MODE-";
}

} // namespace

// --- name and lock ---------------------------------------------------------

void CSetupPage::renameAmp()
{
    if (notConnected || com() == nullptr)
        return;
    const juce::String newName = nameBox.getText();
    com()->queueAmpName(eightBit(newName));
    // Give the amplifier a moment to take the name before asking again,
    // without holding up the window.
    juce::Component::SafePointer<CSetupPage> self(this);
    juce::Timer::callAfterDelay(renameWaitMs,
                                [self, newName]
                                {
                                    if (self == nullptr || self->com() == nullptr)
                                        return;
                                    if (self->usbAttached() && self->selectedRow == 0)
                                        self->updateUsbDevice(self->modelIndex, eightBit(newName));
                                    else
                                        self->com()->discover(self->deviceAddress.toStdString());
                                });
}

void CSetupPage::showAmpName(const std::string& name)
{
    if (! notConnected)
        nameBox.setText(fromEightBit(name), false);
}

void CSetupPage::sendLock(bool lock)
{
    const juce::String code = lockBox.getText();
    if (notConnected || com() == nullptr || code.length() != 4)
        return;
    std::uint32_t packed = 0;
    for (int i = 0; i < 4; ++i)
    {
        const auto c = static_cast<std::uint32_t>(code[i]);
        packed |= (c < 256 ? c : static_cast<std::uint32_t>('?')) << (8 * i);
    }
    com()->queueInt(static_cast<int>(packed), lock ? msg::lock : msg::unlock);
}

void CSetupPage::showLockState(std::int32_t code)
{
    if (code != 0)
    {
        juce::String text;
        const auto bits = static_cast<std::uint32_t>(code);
        for (int i = 0; i < 4; ++i)
        {
            const auto c = static_cast<char>((bits >> (8 * i)) & 0xff);
            if (c == 0)
                break;
            text += juce::String::charToString(
                static_cast<juce::juce_wchar>(static_cast<unsigned char>(c)));
        }
        lockBox.setText(text, false);
        lockButton.setToggleState(true, juce::dontSendNotification);
    }
    else
    {
        lockBox.clear();
        unlockButton.setToggleState(true, juce::dontSendNotification);
    }
}

// --- presets in the amplifier ---------------------------------------------

void CSetupPage::selectPresetSlot(int n)
{
    if (n < 1 || n > 20)
        return;
    slots[static_cast<std::size_t>(n - 1)]->toggle.setToggleState(true, juce::dontSendNotification);
    selectedPreset = n;
}

void CSetupPage::deselectPresetSlot()
{
    if (selectedPreset >= 1 && selectedPreset <= 20)
        slots[static_cast<std::size_t>(selectedPreset - 1)]->toggle.setToggleState(
            false, juce::dontSendNotification);
    selectedPreset = 0;
}

void CSetupPage::recallPreset()
{
    if (notConnected || selectedPreset == 0 || com() == nullptr)
        return;
    com()->queueIntIntString(msg::presetLoad, selectedPreset, 0,
                             eightBit(presetSlotName(selectedPreset)));
}

void CSetupPage::storePreset()
{
    if (notConnected || com() == nullptr)
        return;
    if (selectedPreset < 2 || selectedPreset > 20)
    {
        context.dialogs->showWarning("Save Preset to Amp...", "INIT_DATA is read-only!", "Ok");
        return;
    }
    const int mode = context.configPage != nullptr ? context.configPage->getAmpMode() : 0;
    com()->queueIntIntString(msg::presetSave, selectedPreset, mode,
                             eightBit(presetNameBox.getText()));
}

void CSetupPage::showPresetSlot(const std::string& name, int mode, int n)
{
    if (n < 1 || n > 20)
        return;
    auto& slot = *slots[static_cast<std::size_t>(n - 1)];
    slot.name.setText(fromEightBit(name), false);
    slot.mode.setText(modeName(mode), juce::dontSendNotification);
}

void CSetupPage::showRecalledPresetName(const std::string& name)
{
    presetNameBox.setText(fromEightBit(name), false);
    fileNameBox.clear();
}

void CSetupPage::showStoredPreset(const std::string& name, int mode, int n)
{
    showPresetSlot(name, mode, n);
    presetNameBox.setText(fromEightBit(name), false);
}

juce::String CSetupPage::presetSlotName(int n) const
{
    return n >= 1 && n <= 20 ? slots[static_cast<std::size_t>(n - 1)]->name.getText()
                             : juce::String();
}

juce::String CSetupPage::presetSlotMode(int n) const
{
    return n >= 1 && n <= 20 ? slots[static_cast<std::size_t>(n - 1)]->mode.getText()
                             : juce::String();
}

// --- preset files -------------------------------------------------------------

void CSetupPage::loadPresetFile()
{
    if (context.fileChoosers == nullptr || context.presets == nullptr)
        return;
    juce::Component::SafePointer<CSetupPage> self(this);
    context.fileChoosers->chooseFileToOpen(
        "Please select the preset you want to load...", context.presets->getLastDocumentOpened(),
        "*.vlp",
        [self](const juce::File& file)
        {
            if (self == nullptr || file == juce::File())
                return;
            auto& ctx = self->context;
            if (! file.existsAsFile())
            {
                ctx.dialogs->showWarning("Failed to open file...", "This wasn't a valid file...",
                                         "OK");
                return;
            }
            const auto result = ctx.presets->loadFrom(file, false);
            if (result.failed())
            {
                // Nothing was read: the page stays as it was and nothing is sent.
                ctx.dialogs->showWarning("Failed to open file...",
                                         result.getErrorMessage().toStdString(), "OK");
                return;
            }
            self->fileNameBox.setText(file.getFileName(), false);
            self->presetNameBox.setText(ctx.presets->getDocumentTitle(), false);
            self->deselectPresetSlot();
            if (! self->notConnected && ctx.com != nullptr)
                forEachBlock(*ctx.root, [&ctx](Cnode& block) { ctx.com->sendNodeValues(block); });
        });
}

void CSetupPage::savePresetFile()
{
    if (context.fileChoosers == nullptr || context.presets == nullptr)
        return;
    juce::File folder = context.presets->getLastDocumentOpened();
    if (folder == juce::File())
        folder = juce::File::getSpecialLocation(juce::File::userHomeDirectory);
    if (! folder.isDirectory())
        folder = folder.getParentDirectory();
    const juce::String name =
        fileNameBox.getText().isNotEmpty() ? fileNameBox.getText() : presetNameBox.getText();
    const juce::File proposed = folder.getChildFile(name);

    juce::Component::SafePointer<CSetupPage> self(this);
    context.fileChoosers->chooseFileToSave(
        "Save as preset file...", proposed, "*.vlp",
        [self](const juce::File& file)
        {
            if (self == nullptr || file == juce::File())
                return;
            auto& ctx = self->context;
            if (file.isDirectory() || ! file.getParentDirectory().isDirectory())
            {
                ctx.dialogs->showWarning("Failed to save file...", "This wasn't a valid file...",
                                         "OK");
                return;
            }
            // The chooser can only judge the typed name; what is written is
            // its ".vlp" counterpart, so that is the file asked about.
            const juce::File target = presetDocument::fileToWrite(file);
            if (target.existsAsFile())
            {
                ctx.dialogs->askQuestion(
                    "File already exists",
                    "There's already a file called: " + target.getFullPathName().toStdString() +
                        "\n\nAre you sure you want to overwrite it?",
                    "Overwrite", "Cancel",
                    [self, file](bool overwrite)
                    {
                        if (self != nullptr && overwrite)
                            self->savePresetFileTo(file);
                    });
                return;
            }
            self->savePresetFileTo(file);
        });
}

void CSetupPage::savePresetFileTo(const juce::File& file)
{
    const juce::String previousTitle = context.presets->getDocumentTitle();
    context.presets->setPresetTitle(presetNameBox.getText());
    juce::Component::SafePointer<CSetupPage> self(this);
    context.presets->saveAsAsync(file, false, false, false,
                                 [self, previousTitle, saved = presetDocument::fileToWrite(file)](
                                     juce::FileBasedDocument::SaveResult r)
                                 {
                                     if (self == nullptr)
                                         return;
                                     auto& c = self->context;
                                     if (r != juce::FileBasedDocument::savedOk)
                                     {
                                         // The names stay as they were.
                                         c.presets->setPresetTitle(previousTitle);
                                         c.dialogs->showWarning("Failed to save file...",
                                                                "Couldn't write to the file.",
                                                                "OK");
                                         return;
                                     }
                                     // The next load starts where the user saved.
                                     c.presets->setLastDocumentOpened(saved);
                                     self->fileNameBox.setText(saved.getFileName(), false);
                                     self->deselectPresetSlot();
                                 });
}

// --- meters and LEDs ----------------------------------------------------------

void CSetupPage::setMeterLevels(float a, float b, float c, float d)
{
    mainPanel.showMeterLevels(a, b, c, d);
}

void CSetupPage::setLimitLeds(bool a, bool b, bool c, bool d)
{
    mainPanel.setLeds(a, b, c, d);
}

} // namespace velmora

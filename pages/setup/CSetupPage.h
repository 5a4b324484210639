#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "Pages.h"

namespace velmora
{

// The Setup tab: finds amplifiers, chooses one and connects to it, names,
// locks and unlocks it, recalls and stores the twenty presets inside it, and
// loads and saves preset files on the computer.
class CSetupPage : public Page,
                   public SetupPageLink,
                   public juce::TextEditor::Listener,
                   public juce::TableListBoxModel,
                   public juce::Button::Listener
{
public:
    // Model names by the index an amplifier reports; 7: none.
    static const std::array<const char*, 8> ampModelNames;
    // Mode texts of a preset slot; 5: no preset or not connected.
    static const std::array<const char*, 6> ampModeNames;

    CSetupPage(AppContext& context, MainPanelView& mainPanel);
    ~CSetupPage() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    // --- called by the communicator ---
    void updateUsbDevice(int modelIndex, const std::string& ampName) override;
    void updateIpDevice(int modelIndex, const std::string& ampName,
                        std::uint32_t ipAddress) override;
    void selectDevice(int row) override;
    void connectDevice() override;
    void disconnectDevice() override;
    void forgetSelectedDevice() override;
    void showAmpName(const std::string& name) override;
    void showPresetSlot(const std::string& name, int modeIndex, int slotNumber) override;
    void showRecalledPresetName(const std::string& name) override;
    void showStoredPreset(const std::string& name, int modeIndex, int slotNumber) override;
    void showLockState(std::int32_t code) override;
    void setMeterLevels(float a, float b, float c, float d) override;
    void setLimitLeds(bool a, bool b, bool c, bool d) override;

    // --- the user's actions ---
    void searchDevices();
    void addFixedIp(const juce::String& address);
    void renameAmp();
    void selectPresetSlot(int n);
    void deselectPresetSlot();
    void recallPreset();
    void storePreset();
    void sendLock(bool lock);
    void loadPresetFile();
    void savePresetFile();

    // --- table model ---
    int getNumRows() override { return numDeviceRows; }
    void paintRowBackground(juce::Graphics&, int row, int width, int height,
                            bool selected) override;
    void paintCell(juce::Graphics&, int row, int columnId, int width, int height,
                   bool selected) override;
    juce::Component* refreshComponentForCell(int, int, bool, juce::Component*) override
    {
        return nullptr;
    }
    void cellClicked(int row, int columnId, const juce::MouseEvent&) override;
    void sortOrderChanged(int, bool) override;
    int getColumnAutoSizeWidth(int columnId) override;

    void textEditorReturnKeyPressed(juce::TextEditor&) override;
    void textEditorFocusLost(juce::TextEditor&) override;
    void buttonClicked(juce::Button*) override;

    // State, for the main panel and for tests.
    bool isConnected() const { return ! notConnected; }
    int getSelectedRow() const { return selectedRow; }
    int getSelectedPreset() const { return selectedPreset; }
    int getModelIndex() const { return modelIndex; }
    const juce::XmlElement& getDeviceList() const { return deviceList; }
    juce::String rowAttribute(int row, const juce::String& name) const;
    juce::String presetSlotName(int n) const;
    juce::String presetSlotMode(int n) const;

    // The controls, by what they show (tests drive them like a user).
    juce::TextButton searchButton {"Search"}, addIpButton {"Add fixed IP"},
        connectButton {"Connect"}, renameButton {"Rename Amp "}, unlockButton {"Unlock"},
        lockButton {"Lock"}, loadButton {"Load"}, saveButton {"Save"}, recallButton {"Recall"},
        storeButton {"Store"};
    juce::TextEditor addressBox, nameBox, lockBox, fileNameBox, presetNameBox;
    juce::TableListBox table;

private:
    struct Slot
    {
        juce::ToggleButton toggle;
        juce::TextEditor name;
        juce::Label mode;
    };

    bool usbAttached() const;
    osc::OscCom* com() const { return context.com; }
    juce::XmlElement* row(int index) const;
    void rowsChanged();
    void styleButton(juce::TextButton& b);
    void styleLabel(juce::Label& l, const juce::String& text);
    void styleEditor(juce::TextEditor& e, int maxLength, bool selectAllOnFocus);
    // The answer "Connect" to the question for a clicked row.
    void connectChosenRow(int clickedRow);
    // Saves the tree to the ".vlp" counterpart of `file`, asked or not.
    void savePresetFileTo(const juce::File& file);

    MainPanelView& mainPanel;
    juce::XmlElement deviceList {"DEVICELIST"};
    int numDeviceRows = 1;
    bool notConnected = true;
    int selectedRow = -1;
    int modelIndex = 7;
    juce::String ampName;
    juce::String deviceAddress;
    int selectedPreset = 0;
    juce::Font cellFont;

    juce::GroupComponent connectionGroup {"new group", "Amp Connection"},
        pcPresetsGroup {"new group", "PC Presets"}, ampPresetsGroup {"new group", "Amp Presets"};
    juce::Label addressLabel, selectLabel, lockLabel, fileNameLabel, presetNameLabel;
    std::array<std::unique_ptr<Slot>, 20> slots;
};

} // namespace velmora

#include "CSetupPage.h"

#include "CConfigPage.h"
#include "CUtilityPage.h"
#include "DatagramPlatform.h"
#include "EightBit.h"
#include "Messages.h"
#include "OscCom.h"
#include "Palette.h"

namespace velmora
{

const std::array<const char*, 8> CSetupPage::ampModelNames {
    "VN-840", "VN-880", "VN-840Z", "VN-880Z", "ZL-200-DX", "ZL-500-DX", "ZL-900-DX", "-"};
const std::array<const char*, 6> CSetupPage::ampModeNames {"DUAL",   "STEREO", "BIAMP1",
                                                           "BIAMP2", "BRIDGE", "-MODE-"};

namespace
{

constexpr int searchWaitMs = 500;

// A model index or mode number from the wire may be anything.
const char* modelName(int index)
{
    return index >= 0 && index < 8 ? CSetupPage::ampModelNames[static_cast<std::size_t>(index)]
                                   : "-";
}

// A network row's tag: the dotted address, made a valid XML name.
juce::String rowTag(const juce::String& dotted)
{
    return "_" + dotted;
}

} // namespace

CSetupPage::CSetupPage(AppContext& ctx, MainPanelView& panel) : Page("Setup", ctx), mainPanel(panel)
{
    for (auto* group : {&connectionGroup, &pcPresetsGroup, &ampPresetsGroup})
    {
        group->setColour(juce::GroupComponent::outlineColourId, palette::outline);
        group->setColour(juce::GroupComponent::textColourId, palette::text);
        addAndMakeVisible(*group);
    }
    for (auto* b : {&searchButton, &addIpButton, &connectButton, &renameButton, &unlockButton,
                    &lockButton, &loadButton, &saveButton, &recallButton, &storeButton})
        styleButton(*b);
    connectButton.setColour(juce::TextButton::textColourOnId, palette::text);
    unlockButton.setColour(juce::TextButton::textColourOnId, palette::text);
    lockButton.setColour(juce::TextButton::textColourOnId, palette::text);
    lockButton.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xffff0000));
    unlockButton.setRadioGroupId(5);
    lockButton.setRadioGroupId(5);

    styleEditor(addressBox, 15, true);
    addressBox.setTooltip("\"xxx.xxx.xxx.xxx\"");
    styleEditor(nameBox, 10, true);
    styleEditor(lockBox, 4, true);
    lockBox.setText("****", false);
    lockBox.setTextToShowWhenEmpty("****", juce::Colours::black);
    lockBox.setIndents(6, 4);
    styleEditor(fileNameBox, 0, false);
    styleEditor(presetNameBox, 10, false);

    styleLabel(addressLabel, "IP-Address");
    styleLabel(selectLabel, "Select Amp");
    styleLabel(lockLabel, "Lock code");
    styleLabel(fileNameLabel, "File Name");
    styleLabel(presetNameLabel, "Preset Name");

    table.setModel(this);
    table.setColour(juce::ListBox::backgroundColourId, palette::wash);
    table.setColour(juce::ListBox::outlineColourId, palette::panel);
    table.setColour(juce::ListBox::textColourId, juce::Colours::white);
    table.setOutlineThickness(2);
    table.setMultipleSelectionEnabled(false);
    const int flags = juce::TableHeaderComponent::visible | juce::TableHeaderComponent::resizable |
                      juce::TableHeaderComponent::draggable;
    auto& header = table.getHeader();
    header.addColumn("ID", 1, 25, 10, 50, flags);
    header.addColumn("Amp Model", 2, 80, 50, 120, flags);
    header.addColumn("IP/USB", 3, 90, 50, 120, flags);
    header.addColumn("Amp Name", 4, 90, 50, 120, flags);
    header.setSortColumnId(0, true);
    addAndMakeVisible(table);

    for (int n = 1; n <= 20; ++n)
    {
        auto slot = std::make_unique<Slot>();
        slot->toggle.setButtonText(juce::String(n));
        slot->toggle.setRadioGroupId(3);
        slot->toggle.setColour(juce::ToggleButton::textColourId, palette::text);
        slot->toggle.onClick = [this, n] { selectPresetSlot(n); };
        slot->name.setReadOnly(true);
        slot->name.setCaretVisible(false);
        slot->name.setScrollbarsShown(false);
        slot->name.setPopupMenuEnabled(false);
        slot->name.setColour(juce::TextEditor::textColourId, juce::Colour(0xfff0ffff));
        slot->name.setColour(juce::TextEditor::backgroundColourId, palette::wash);
        slot->mode.setFont(juce::Font(14.0f));
        slot->mode.setMinimumHorizontalScale(0.5f);
        slot->mode.setColour(juce::Label::textColourId, palette::text);
        slot->mode.setText("-MODE-", juce::dontSendNotification);
        addAndMakeVisible(slot->toggle);
        addAndMakeVisible(slot->name);
        addAndMakeVisible(slot->mode);
        slots[static_cast<std::size_t>(n - 1)] = std::move(slot);
    }

    auto usb = std::make_unique<juce::XmlElement>("USBdevice");
    usb->setAttribute("ID", 0);
    usb->setAttribute("AMPMODEL", "-");
    usb->setAttribute("IPorUSB", "USB device");
    usb->setAttribute("AMPNAME", "-");
    deviceList.addChildElement(usb.release());
    rowsChanged();
}

CSetupPage::~CSetupPage()
{
    table.setModel(nullptr);
}

void CSetupPage::styleButton(juce::TextButton& b)
{
    b.setColour(juce::TextButton::buttonColourId, palette::panel);
    b.setColour(juce::TextButton::buttonOnColourId, palette::panel);
    b.setColour(juce::TextButton::textColourOffId, palette::amber);
    b.setColour(juce::TextButton::textColourOnId, palette::amber);
    b.addListener(this);
    addAndMakeVisible(b);
}

void CSetupPage::styleLabel(juce::Label& l, const juce::String& text)
{
    l.setText(text, juce::dontSendNotification);
    l.setFont(juce::Font(15.0f));
    l.setJustificationType(juce::Justification::centredLeft);
    l.setColour(juce::Label::textColourId, palette::text);
    l.setEditable(false, false, false);
    addAndMakeVisible(l);
}

void CSetupPage::styleEditor(juce::TextEditor& e, int maxLength, bool selectAllOnFocus)
{
    e.setMultiLine(false);
    if (maxLength > 0)
        e.setInputRestrictions(maxLength);
    e.setColour(juce::TextEditor::textColourId, juce::Colours::white);
    e.setColour(juce::TextEditor::backgroundColourId, palette::wash);
    e.setCaretVisible(true);
    e.setPopupMenuEnabled(false);
    e.setSelectAllWhenFocused(selectAllOnFocus);
    e.addListener(this);
    addAndMakeVisible(e);
}

void CSetupPage::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.setColour(juce::Colour(0x50000000));
    for (const auto& slot : slots)
        g.fillRect(slot->mode.getX(), slot->mode.getY(), 48, 20);
}

void CSetupPage::resized()
{
    connectionGroup.setBounds(4, 8, 312, 458);
    pcPresetsGroup.setBounds(316, 8, 400, 90);
    ampPresetsGroup.setBounds(316, 102, 400, 364);

    searchButton.setBounds(15, 28, 90, 24);
    addIpButton.setBounds(110, 28, 90, 24);
    addressBox.setBounds(205, 28, 100, 24);
    addressLabel.setBounds(205, 52, 100, 20);
    table.setBounds(15, 75, 290, 280);
    selectLabel.setBounds(15, 362, 80, 24);
    connectButton.setBounds(110, 362, 90, 24);
    nameBox.setBounds(15, 396, 120, 24);
    renameButton.setBounds(140, 396, 100, 24);
    lockLabel.setBounds(15, 430, 72, 24);
    lockBox.setBounds(90, 430, 60, 24);
    unlockButton.setBounds(160, 430, 70, 24);
    lockButton.setBounds(235, 430, 70, 24);

    loadButton.setBounds(330, 28, 80, 24);
    saveButton.setBounds(330, 62, 80, 24);
    fileNameBox.setBounds(425, 36, 160, 24);
    fileNameLabel.setBounds(425, 60, 160, 20);

    recallButton.setBounds(330, 122, 80, 24);
    storeButton.setBounds(330, 156, 80, 24);
    presetNameBox.setBounds(425, 130, 120, 24);
    presetNameLabel.setBounds(425, 154, 120, 20);
    for (int n = 1; n <= 20; ++n)
    {
        auto& slot = *slots[static_cast<std::size_t>(n - 1)];
        const int x = n <= 10 ? 318 : 516;
        const int y = 102 + 100 + ((n - 1) % 10) * 24;
        slot.toggle.setBounds(x, y, 42, 20);
        slot.name.setBounds(x + 42, y, 100, 20);
        slot.mode.setBounds(x + 143, y, 52, 20);
    }
}

// --- device list ------------------------------------------------------------

juce::XmlElement* CSetupPage::row(int index) const
{
    return deviceList.getChildElement(index);
}

juce::String CSetupPage::rowAttribute(int index, const juce::String& name) const
{
    const auto* r = row(index);
    return r != nullptr ? r->getStringAttribute(name) : juce::String();
}

void CSetupPage::rowsChanged()
{
    numDeviceRows = deviceList.getNumChildElements();
    table.updateContent();
    table.repaint();
}

bool CSetupPage::usbAttached() const
{
    return com() != nullptr && com()->isUsbAttached();
}

void CSetupPage::searchDevices()
{
    if (com() != nullptr)
        com()->discover("255.255.255.255");
    // Answers fill the list as they come; the button rests meanwhile instead
    // of freezing the window.
    searchButton.setEnabled(false);
    juce::Component::SafePointer<CSetupPage> self(this);
    juce::Timer::callAfterDelay(searchWaitMs,
                                [self]
                                {
                                    if (self != nullptr)
                                        self->searchButton.setEnabled(true);
                                });
}

void CSetupPage::addFixedIp(const juce::String& address)
{
    if (com() != nullptr)
        com()->discover(address.toStdString());
}

void CSetupPage::updateIpDevice(int model, const std::string& name, std::uint32_t address)
{
    const juce::String dotted(dottedAddress(address));
    juce::XmlElement* found = deviceList.getChildByName(rowTag(dotted));
    auto fresh = std::make_unique<juce::XmlElement>(rowTag(dotted));
    if (found != nullptr)
        fresh->setAttribute("ID", found->hasAttribute("ID") ? found->getIntAttribute("ID")
                                                            : numDeviceRows);
    else
        fresh->setAttribute("ID", numDeviceRows);
    fresh->setAttribute("AMPMODEL", modelName(model));
    fresh->setAttribute("IPorUSB", dotted);
    fresh->setAttribute("AMPNAME", fromEightBit(name));
    if (found != nullptr)
        deviceList.replaceChildElement(found, fresh.release());
    else
        deviceList.addChildElement(fresh.release());
    rowsChanged();
}

void CSetupPage::updateUsbDevice(int model, const std::string& name)
{
    auto fresh = std::make_unique<juce::XmlElement>("USBdevice");
    fresh->setAttribute("ID", 0);
    fresh->setAttribute("AMPMODEL", modelName(model));
    fresh->setAttribute("IPorUSB", "USB device");
    fresh->setAttribute("AMPNAME", fromEightBit(name));
    if (auto* usb = deviceList.getChildByName("USBdevice"))
        deviceList.replaceChildElement(usb, fresh.release());
    rowsChanged();
}

void CSetupPage::cellClicked(int clickedRow, int, const juce::MouseEvent& event)
{
    if (! event.mouseWasClicked())
        return;
    if (clickedRow != selectedRow && (clickedRow != 0 || usbAttached()))
    {
        disconnectDevice();
        juce::Component::SafePointer<CSetupPage> self(this);
        context.dialogs->askQuestion("Select active Device",
                                     "Connect to device and lose current settings?", "Connect",
                                     "Cancel",
                                     [self, clickedRow](bool accepted)
                                     {
                                         if (self != nullptr && accepted)
                                             self->connectChosenRow(clickedRow);
                                     });
    }
    // The table's selection always shows the chosen device.
    if (selectedRow >= 0)
        table.selectRow(selectedRow);
    else
        table.deselectAllRows();
}

void CSetupPage::connectChosenRow(int clickedRow)
{
    // Another question (a USB amplifier plugged in) may have been accepted
    // while this one was open: leave that connection first, so that this
    // device is the one that goes online and is told so.
    if (! notConnected)
    {
        if (selectedRow == clickedRow)
            return;
        disconnectDevice();
    }
    selectDevice(clickedRow);
    connectDevice();
}

void CSetupPage::selectDevice(int index)
{
    if (row(index) == nullptr)
        return;
    selectedRow = index;
    table.selectRow(index);
    const juce::String model = rowAttribute(index, "AMPMODEL");
    deviceAddress = rowAttribute(index, "IPorUSB");
    ampName = rowAttribute(index, "AMPNAME");
    if (com() != nullptr)
    {
        if (index != 0)
            com()->connectUdp(deviceAddress.toStdString());
        else if (usbAttached())
            com()->useUsb();
    }
    modelIndex = 7;
    for (int i = 0; i < 7; ++i)
        if (model == ampModelNames[static_cast<std::size_t>(i)])
        {
            modelIndex = i;
            break;
        }
    if (modelIndex < 7)
        mainPanel.setDeviceModel(modelIndex);
}

void CSetupPage::connectDevice()
{
    if (! notConnected || selectedRow < 0 || com() == nullptr)
        return;
    connectButton.setToggleState(true, juce::dontSendNotification);
    // A sweep started while offline must end before the connection opens:
    // its next step would otherwise reach the amplifier ahead of the
    // generator's query and start the tone unasked.
    if (context.utilityPage != nullptr)
        context.utilityPage->endSweep();
    com()->goOnline();
    if (msg::isVornSeries(modelIndex))
        com()->queueQuery(msg::siggen);
    notConnected = false;
    nameBox.setText(ampName, false);
    table.repaint();
    mainPanel.setDeviceModel(modelIndex);
}

void CSetupPage::disconnectDevice()
{
    if (! notConnected)
    {
        if (com() != nullptr)
            com()->goOffline();
        connectButton.setToggleState(false, juce::dontSendNotification);
        notConnected = true;
        table.repaint();
        mainPanel.setDeviceModel(7);
    }
    for (int n = 1; n <= 20; ++n)
        showPresetSlot("", 5, n);
}

void CSetupPage::forgetSelectedDevice()
{
    if (selectedRow == 0)
    {
        updateUsbDevice(7, "-");
        table.deselectAllRows();
    }
    else if (selectedRow > 0)
    {
        deviceList.removeChildElement(row(selectedRow), true);
        table.deselectAllRows();
        rowsChanged();
    }
    selectedRow = -1;
    mainPanel.setDeviceModel(7);
}

// --- table drawing ------------------------------------------------------------

void CSetupPage::paintRowBackground(juce::Graphics& g, int, int, int, bool selected)
{
    if (selected)
        g.fillAll(notConnected ? palette::text : palette::amber);
}

void CSetupPage::paintCell(juce::Graphics& g, int rowNumber, int columnId, int width, int height,
                           bool selected)
{
    const auto* r = row(rowNumber);
    if (r == nullptr)
        return;
    g.setColour(selected ? juce::Colours::black : juce::Colours::white);
    g.setFont(cellFont);
    const int index = columnId - 1;
    if (index >= 0 && index < r->getNumAttributes())
        g.drawText(r->getAttributeValue(index), 2, 2, width - 4, height - 4,
                   juce::Justification::centredLeft, true);
    g.setColour(juce::Colours::white.withAlpha(0.2f));
    g.fillRect(width - 1, 0, 1, height);
}

void CSetupPage::sortOrderChanged(int, bool)
{
    table.updateContent();
}

int CSetupPage::getColumnAutoSizeWidth(int columnId)
{
    int widest = 32;
    for (int i = 0; i < numDeviceRows; ++i)
        if (const auto* r = row(i);
            r != nullptr && columnId - 1 < r->getNumAttributes() && columnId >= 1)
            widest =
                juce::jmax(widest, cellFont.getStringWidth(r->getAttributeValue(columnId - 1)));
    return widest + 8;
}

// --- listeners ----------------------------------------------------------------

void CSetupPage::textEditorReturnKeyPressed(juce::TextEditor& e)
{
    if (&e == &nameBox)
        renameAmp();
    else if (&e == &addressBox)
        addFixedIp(addressBox.getText());
    e.selectAll();
}

void CSetupPage::textEditorFocusLost(juce::TextEditor& e)
{
    e.setCaretPosition(0);
    e.setHighlightedRegion({});
}

void CSetupPage::buttonClicked(juce::Button* b)
{
    if (b == &searchButton)
        searchDevices();
    else if (b == &addIpButton)
        addFixedIp(addressBox.getText());
    else if (b == &connectButton)
    {
        if (notConnected)
            connectDevice();
        else
            disconnectDevice();
    }
    else if (b == &renameButton)
        renameAmp();
    else if (b == &unlockButton)
        sendLock(false);
    else if (b == &lockButton)
        sendLock(true);
    else if (b == &loadButton)
        loadPresetFile();
    else if (b == &saveButton)
        savePresetFile();
    else if (b == &recallButton)
        recallPreset();
    else if (b == &storeButton)
        storePreset();
}

} // namespace velmora

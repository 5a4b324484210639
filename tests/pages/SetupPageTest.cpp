#include <osc/OscOutboundPacketStream.h>

#include "EditorFixture.h"
#include "FakePeer.h"
#include "SimulatedHid.h"
#include "UdpAmpSim.h"
#include "UsbAmpSim.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

class SetupPage : public EditorFixture
{
protected:
    std::uint32_t ip(const char* dotted) { return ipv4(dotted); }

    // A virtual amplifier beside the editor, found by its announcement.
    std::unique_ptr<sim::Amplifier> amp;
    std::unique_ptr<sim::UdpAmpSim> sim;

    void startAmplifier(int model, const std::string& name, const char* address = "127.0.0.2")
    {
        amp = std::make_unique<sim::Amplifier>(model, name);
        sim::UdpAmpSim::Options o;
        o.bindAddress = address;
        sim = std::make_unique<sim::UdpAmpSim>(*amp, o);
        ASSERT_TRUE(sim->isBound());
        setup().addFixedIp(address);
        ASSERT_TRUE(pumpUntil([&] { return setup().getNumRows() == 2; }));
    }

    void TearDown() override
    {
        sim.reset();
        EditorFixture::TearDown();
    }

    // Clicks a row and answers the question box.
    void clickRow(int row, bool confirm)
    {
        const auto click = juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {},
                                            {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &setup().table,
                                            &setup().table, juce::Time::getCurrentTime(), {},
                                            juce::Time::getCurrentTime(), 1, false);
        setup().cellClicked(row, 1, click);
        if (! dialogs.questions.empty())
            dialogs.answer(confirm);
    }

    // Clicks a button as the user does (the click arrives through the
    // message loop).
    void click(juce::Button& b)
    {
        b.triggerClick();
        pumpFor(30);
    }

    void connectToRow(int row)
    {
        clickRow(row, true);
        ASSERT_TRUE(pumpUntil(
            [&] { return com().pendingCount() == 0 && setup().presetSlotName(2) == "Club"; },
            8000));
    }
};

TEST_F(SetupPage, StartsWithTheUsbRowOnly)
{
    EXPECT_EQ(setup().getNumRows(), 1);
    EXPECT_EQ(setup().rowAttribute(0, "ID"), "0");
    EXPECT_EQ(setup().rowAttribute(0, "AMPMODEL"), "-");
    EXPECT_EQ(setup().rowAttribute(0, "IPorUSB"), "USB device");
    EXPECT_EQ(setup().rowAttribute(0, "AMPNAME"), "-");
    const auto* usb = setup().getDeviceList().getChildElement(0);
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->getTagName(), "USBdevice");
    EXPECT_EQ(usb->getAttributeName(0), "ID");
    EXPECT_EQ(usb->getAttributeName(3), "AMPNAME");
    EXPECT_EQ(setup().getSelectedRow(), -1);
    EXPECT_FALSE(setup().isConnected());
    for (int n = 1; n <= 20; ++n)
    {
        EXPECT_EQ(setup().presetSlotName(n), "");
        EXPECT_EQ(setup().presetSlotMode(n), "-MODE-");
    }
    EXPECT_EQ(setup().lockBox.getText(), "****");
}

TEST_F(SetupPage, InfoRepliesFillAndReplaceRows)
{
    setup().updateIpDevice(1, "Left", ip("10.0.0.5"));
    setup().updateIpDevice(4, "Right", ip("10.0.0.6"));
    ASSERT_EQ(setup().getNumRows(), 3);
    EXPECT_EQ(setup().rowAttribute(1, "ID"), "1");
    EXPECT_EQ(setup().rowAttribute(2, "ID"), "2");
    EXPECT_EQ(setup().rowAttribute(2, "AMPMODEL"), "ZL-200-DX");

    // The same address again: replaced in place, keeping its ID.
    setup().updateIpDevice(2, "Left 2", ip("10.0.0.5"));
    ASSERT_EQ(setup().getNumRows(), 3);
    EXPECT_EQ(setup().rowAttribute(1, "ID"), "1");
    EXPECT_EQ(setup().rowAttribute(1, "AMPNAME"), "Left 2");
    EXPECT_EQ(setup().rowAttribute(1, "AMPMODEL"), "VN-840Z");
    EXPECT_EQ(setup().rowAttribute(1, "IPorUSB"), "10.0.0.5");

    // A model index from outside the table.
    setup().updateIpDevice(99, "Odd", ip("10.0.0.7"));
    setup().updateIpDevice(-3, "Odder", ip("10.0.0.8"));
    EXPECT_EQ(setup().rowAttribute(3, "AMPMODEL"), "-");
    EXPECT_EQ(setup().rowAttribute(4, "AMPMODEL"), "-");

    // A lost device's row goes; the other IDs stay, so a new one can repeat one.
    setup().selectDevice(1);
    setup().forgetSelectedDevice();
    ASSERT_EQ(setup().getNumRows(), 4);
    EXPECT_EQ(setup().rowAttribute(1, "IPorUSB"), "10.0.0.6");
    EXPECT_EQ(setup().rowAttribute(1, "ID"), "2");
    setup().updateIpDevice(0, "New", ip("10.0.0.9"));
    EXPECT_EQ(setup().rowAttribute(4, "ID"), "4");
    EXPECT_EQ(setup().rowAttribute(3, "ID"), "4");
    EXPECT_EQ(setup().getSelectedRow(), -1);
    EXPECT_EQ(panel->getTitle(), "[not connected!]");

    setup().updateUsbDevice(5, "On USB");
    EXPECT_EQ(setup().rowAttribute(0, "AMPMODEL"), "ZL-500-DX");
    EXPECT_EQ(setup().rowAttribute(0, "AMPNAME"), "On USB");
}

TEST_F(SetupPage, ALostDeviceLeavesNoRowHighlighted)
{
    setup().updateUsbDevice(0, "On USB");
    setup().updateIpDevice(1, "Left", ip("10.0.0.5"));
    for (const int row : {0, 1})
    {
        setup().selectDevice(row);
        ASSERT_EQ(setup().table.getSelectedRow(), row);
        setup().forgetSelectedDevice();
        EXPECT_EQ(setup().getSelectedRow(), -1);
        EXPECT_EQ(setup().table.getSelectedRow(), -1) << "row " << row << " still highlighted";
    }
}

TEST_F(SetupPage, PresetSlotsIgnoreOddNumbers)
{
    setup().showPresetSlot("Club", 1, 3);
    setup().showPresetSlot("Far", 2, 21);
    setup().showPresetSlot("Zero", 2, 0);
    setup().showPresetSlot("Mode", 9, 4);
    EXPECT_EQ(setup().presetSlotName(3), "Club");
    EXPECT_EQ(setup().presetSlotMode(3), "STEREO");
    EXPECT_EQ(setup().presetSlotName(4), "Mode");
    EXPECT_EQ(setup().presetSlotMode(4), "-MODE-");
    for (int n : {1, 2, 5, 20})
        EXPECT_EQ(setup().presetSlotName(n), "");
}

TEST_F(SetupPage, ConnectingToAVornSeriesAmplifier)
{
    startAmplifier(1, "Stage L");
    clickRow(0, true); // the USB row with nothing attached: only the selection
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(setup().getSelectedRow(), -1);

    const auto click =
        juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f,
                         0.0f, 0.0f, 0.0f, &setup().table, &setup().table,
                         juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 1, false);
    setup().cellClicked(1, 1, click);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Select active Device");
    EXPECT_EQ(dialogs.questions[0].message, "Connect to device and lose current settings?");
    EXPECT_EQ(dialogs.questions[0].confirm, "Connect");
    EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
    dialogs.answer(true);
    ASSERT_TRUE(pumpUntil(
        [&] { return com().pendingCount() == 0 && setup().presetSlotName(2) == "Club"; }, 8000));
    EXPECT_TRUE(setup().isConnected());
    EXPECT_TRUE(setup().connectButton.getToggleState());
    EXPECT_EQ(panel->getTitle(), "[Device: VN-880]");
    EXPECT_EQ(panel->getTabs().getNumTabs(), 6);
    EXPECT_EQ(setup().nameBox.getText(), "Stage L");
    EXPECT_EQ(setup().presetSlotName(1), "INIT_DATA");
    EXPECT_EQ(setup().presetSlotMode(2), "DUAL");
    ASSERT_TRUE(pumpUntil([&] { return sim->log("/siggen").size() == 1; }));
    EXPECT_EQ(sim->log("/siggen")[0].arguments, ",");
    // The amplifier's values reach the tree and the panel.
    ASSERT_TRUE(pumpUntil([&] { return panel->gainAText.getText() == "-12.0"; }));
    EXPECT_EQ(context.root->ampmode->mode().choiceText(), "STEREO");
    ASSERT_TRUE(pumpUntil([&] { return panel->meter(0).level > -60; }));

    // A gain move reaches the amplifier as "/gain" ,ffii.
    panel->gainB.setValue(-20.0, juce::sendNotificationAsync);
    ASSERT_TRUE(pumpUntil([&] { return amp->gain(1) == -20.0f; }));
    EXPECT_EQ(sim->log("/gain").back().arguments, ",ffii -12 -20 0 0");

    setup().disconnectDevice();
    EXPECT_FALSE(setup().isConnected());
    EXPECT_EQ(panel->getTitle(), "[not connected!]");
    EXPECT_EQ(setup().presetSlotName(1), "");
    EXPECT_EQ(setup().getSelectedRow(), 1); // still chosen, offline
    ASSERT_TRUE(pumpUntil([&] { return sim->log("/offline").size() == 1; }));
}

TEST_F(SetupPage, CancellingKeepsThePreviousDeviceChosenButOffline)
{
    startAmplifier(5, "Fill");
    connectToRow(1);
    setup().updateIpDevice(0, "Other", ip("127.0.0.3"));
    clickRow(2, false);
    EXPECT_FALSE(setup().isConnected());
    EXPECT_EQ(setup().getSelectedRow(), 1);
    EXPECT_EQ(setup().presetSlotName(2), "");
    // Clicking the chosen row again asks nothing.
    clickRow(1, true);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_FALSE(setup().isConnected());
}

TEST_F(SetupPage, NamesGoOutAsEightBitCharacters)
{
    startAmplifier(0, "Main");
    connectToRow(1);
    // Ten characters of four UTF-8 bytes each: as UTF-8 they overflow the
    // message and nothing would be sent at all.
    juce::String wide;
    for (int i = 0; i < 10; ++i)
        wide += juce::String::charToString(static_cast<juce::juce_wchar>(0x1F50A));
    setup().nameBox.setText(wide, false);
    click(setup().renameButton);
    ASSERT_TRUE(pumpUntil([&] { return sim->log("/ampname").size() == 1; }));
    EXPECT_EQ(sim->log("/ampname")[0].arguments, ",s \"??????????\"");

    // "Store" too: a preset name of ten such characters still goes out.
    setup().presetNameBox.setText(wide, false);
    setup().selectPresetSlot(5);
    click(setup().storeButton);
    ASSERT_TRUE(pumpUntil([&] { return sim->log("/preset/save").size() == 1; }));
    EXPECT_EQ(sim->log("/preset/save")[0].arguments,
              ",iis 5 1 \"??????????\""); // STEREO, the amplifier's mode
}

// The amplifier keeps a name as the 8-bit characters it was sent and sends
// them back so: "B\xFChne" must read "Bühne" in the table, the name box and
// the slots, and go out again as the same bytes.
TEST_F(SetupPage, EightBitNamesComeBackAsTheyWent)
{
    const juce::String buehne = juce::CharPointer_UTF8("B\xc3\xbchne");
    const juce::String cafe = juce::CharPointer_UTF8("Caf\xc3\xa9");
    startAmplifier(0, "B\xFChne");
    connectToRow(1);
    EXPECT_EQ(setup().nameBox.getText(), buehne);

    setup().showPresetSlot("Caf\xE9", 1, 3);
    EXPECT_EQ(setup().presetSlotName(3), cafe);
    sim->clearLog();
    click(setup().renameButton);
    ASSERT_TRUE(pumpUntil([&] { return sim->log("/ampname").size() == 1; }));
    EXPECT_EQ(sim->log("/ampname")[0].arguments, ",s \"B\xFChne\"");
}

TEST_F(SetupPage, RecallStoreRenameLockAndUnlock)
{
    startAmplifier(0, "Main");
    connectToRow(1);

    setup().storePreset(); // no slot selected
    EXPECT_EQ(dialogs.warnings,
              std::vector<std::string> {"Save Preset to Amp...|INIT_DATA is read-only!|Ok"});
    setup().selectPresetSlot(1);
    setup().storePreset();
    EXPECT_EQ(dialogs.warnings.size(), 2u);

    setup().selectPresetSlot(3);
    EXPECT_EQ(setup().getSelectedPreset(), 3);
    click(setup().recallButton);
    ASSERT_TRUE(pumpUntil([&] { return sim->log("/preset/load").size() == 1; }));
    EXPECT_EQ(sim->log("/preset/load")[0].arguments, ",iis 3 0 \"Speech\"");
    ASSERT_TRUE(pumpUntil([&] { return setup().presetNameBox.getText() == "Speech"; }));

    context.root->ampmode->mode().setStep(3);
    setup().presetNameBox.setText("Night", false);
    setup().selectPresetSlot(4);
    click(setup().storeButton);
    ASSERT_TRUE(pumpUntil([&] { return setup().presetSlotName(4) == "Night"; }));
    EXPECT_EQ(sim->log("/preset/save")[0].arguments, ",iis 4 3 \"Night\"");
    EXPECT_EQ(setup().presetSlotMode(4), "BIAMP2");

    setup().nameBox.setText("Renamed", false);
    click(setup().renameButton);
    ASSERT_TRUE(pumpUntil([&] { return setup().rowAttribute(1, "AMPNAME") == "Renamed"; }));
    EXPECT_EQ(sim->log("/ampname")[0].arguments, ",s \"Renamed\"");

    // The lock box still holds its four asterisks: they are the code.
    click(setup().lockButton);
    ASSERT_TRUE(pumpUntil([&] { return setup().lockButton.getToggleState(); }));
    EXPECT_EQ(sim->log("/lock")[0].arguments, ",i 707406378"); // 0x2a2a2a2a
    EXPECT_EQ(setup().lockBox.getText(), "****");

    setup().lockBox.setText("ab", false);
    click(setup().unlockButton); // too short: nothing
    pumpFor(100);
    EXPECT_TRUE(sim->log("/unlock").empty());
    setup().lockBox.setText("****", false);
    click(setup().unlockButton);
    ASSERT_TRUE(pumpUntil([&] { return setup().unlockButton.getToggleState(); }));
    EXPECT_EQ(setup().lockBox.getText(), "");
    EXPECT_EQ(amp->lockCode(), 0);
}

TEST_F(SetupPage, LockStateShowsTheCodesCharacters)
{
    setup().showLockState(0x00636261);
    EXPECT_EQ(setup().lockBox.getText(), "abc");
    EXPECT_TRUE(setup().lockButton.getToggleState());
    EXPECT_FALSE(setup().unlockButton.getToggleState());
    setup().showLockState(0);
    EXPECT_EQ(setup().lockBox.getText(), "");
    EXPECT_TRUE(setup().unlockButton.getToggleState());
}

TEST_F(SetupPage, OfflineActionsDoNothing)
{
    setup().selectPresetSlot(2);
    setup().recallPreset();
    setup().storePreset();
    setup().renameAmp();
    setup().sendLock(true);
    EXPECT_TRUE(dialogs.warnings.empty());
    EXPECT_EQ(com().pendingCount(), 0);
}

TEST_F(SetupPage, PresetFilesSaveAndLoadThroughTheChoosers)
{
    const auto file = dir().getChildFile("show.vlp");
    setup().presetNameBox.setText("Show", false);
    click(setup().saveButton);
    ASSERT_EQ(choosers.requests.size(), 1u);
    EXPECT_TRUE(choosers.requests[0].save);
    EXPECT_EQ(choosers.requests[0].title, "Save as preset file...");
    EXPECT_EQ(choosers.requests[0].pattern, "*.vlp");
    EXPECT_EQ(choosers.requests[0].start.getFileName(), "Show");
    choosers.choose(file);
    ASSERT_TRUE(pumpUntil([&] { return file.existsAsFile(); }));
    EXPECT_TRUE(file.loadFileAsString().startsWith("Show\nBEGIN_OSC_DATA\n"));
    EXPECT_EQ(setup().fileNameBox.getText(), "show.vlp");

    // Loading while offline changes the tree and the names, and sends nothing.
    context.root->channels[0]->delay->del().setValue(99.0f);
    setup().presetNameBox.setText("", false);
    setup().selectPresetSlot(5);
    click(setup().loadButton);
    ASSERT_EQ(choosers.requests.size(), 1u);
    EXPECT_EQ(choosers.requests[0].title, "Please select the preset you want to load...");
    EXPECT_EQ(choosers.requests[0].start, file); // the most recent file
    choosers.choose(file);
    EXPECT_EQ(context.root->channels[0]->delay->del().getValue(), 0.0f);
    EXPECT_EQ(setup().presetNameBox.getText(), "Show");
    EXPECT_EQ(setup().getSelectedPreset(), 0);
    EXPECT_EQ(com().pendingCount(), 0);

    // Cancelling does nothing.
    click(setup().loadButton);
    choosers.choose(juce::File());
    EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(SetupPage, SaveProposesTheFileNameInTheLastFolderOrHome)
{
    const auto home = juce::File::getSpecialLocation(juce::File::userHomeDirectory);
    struct Case
    {
        const char* fileName;
        const char* presetName;
        bool recent;
        const char* proposed; // the name in the proposed folder
    };
    const Case cases[] = {
        {"", "Show", false, "Show"},               // no recent file: the home folder
        {"front.vlp", "Show", false, "front.vlp"}, // the file name box comes first
        {"", "Show", true, "Show"},                // the folder of the recent file
        {"front.vlp", "", true, "front.vlp"},
    };
    const auto recent = dir().getChildFile("shows").getChildFile("last.vlp");
    ASSERT_TRUE(recent.getParentDirectory().createDirectory());
    ASSERT_TRUE(recent.replaceWithText("x"));
    for (const auto& c : cases)
    {
        if (c.recent)
            context.presets->setLastDocumentOpened(recent);
        setup().fileNameBox.setText(c.fileName, false);
        setup().presetNameBox.setText(c.presetName, false);
        click(setup().saveButton);
        ASSERT_EQ(choosers.requests.size(), 1u);
        const auto folder = c.recent ? recent.getParentDirectory() : home;
        EXPECT_EQ(choosers.requests[0].start, folder.getChildFile(c.proposed))
            << c.fileName << "|" << c.presetName << "|" << c.recent;
        choosers.choose(juce::File());
    }
    EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(SetupPage, SavingOverAnExistingPresetFileAsksFirst)
{
    const auto existing = dir().getChildFile("Show.vlp");
    ASSERT_TRUE(existing.replaceWithText("the old show"));
    setup().presetNameBox.setText("Show", false);

    // The user types "Show" (the chooser sees no such file, but "Show.vlp"
    // is what would be written) or "Show.txt": asked about "Show.vlp" each
    // time; "Cancel" writes nothing.
    for (const char* typed : {"Show", "Show.txt"})
    {
        click(setup().saveButton);
        choosers.choose(dir().getChildFile(typed));
        pumpFor(50);
        ASSERT_EQ(dialogs.questions.size(), 1u) << typed;
        EXPECT_EQ(dialogs.questions[0].title, "File already exists");
        EXPECT_EQ(dialogs.questions[0].message,
                  "There's already a file called: " + existing.getFullPathName().toStdString() +
                      "\n\nAre you sure you want to overwrite it?");
        EXPECT_EQ(dialogs.questions[0].confirm, "Overwrite");
        EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
        dialogs.answer(false);
        pumpFor(50);
        EXPECT_EQ(existing.loadFileAsString(), "the old show") << typed;
        EXPECT_FALSE(dir().getChildFile(typed).exists()) << typed;
        EXPECT_EQ(setup().fileNameBox.getText(), "") << typed;
    }

    // The name of the file itself: asked the same way, once.
    click(setup().saveButton);
    choosers.choose(existing);
    pumpFor(50);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    dialogs.answer(true);
    ASSERT_TRUE(pumpUntil([&] { return existing.loadFileAsString().startsWith("Show\n"); }));
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(setup().fileNameBox.getText(), "Show.vlp");

    // A new name asks nothing.
    click(setup().saveButton);
    choosers.choose(dir().getChildFile("Fresh"));
    const auto fresh = dir().getChildFile("Fresh.vlp");
    ASSERT_TRUE(pumpUntil([&] { return fresh.existsAsFile(); }));
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(SetupPage, AFailedLoadOrSaveLeavesThePageAsItWas)
{
    startAmplifier(0, "Main");
    connectToRow(1);
    setup().presetNameBox.setText("Before", false);
    setup().fileNameBox.setText("before.vlp", false);
    setup().selectPresetSlot(6);
    sim->clearLog();

    // A path that is no file.
    click(setup().loadButton);
    choosers.choose(dir().getChildFile("missing.vlp"));
    EXPECT_EQ(dialogs.warnings.back(), "Failed to open file...|This wasn't a valid file...|OK");
    // A .txt whose .vlp counterpart is missing: the document refuses it.
    const auto txt = dir().getChildFile("only.txt");
    txt.replaceWithText("x\nBEGIN_OSC_DATA\n/channel/1/delay fi 5 0\nEND_OSC_DATA");
    click(setup().loadButton);
    choosers.choose(txt);
    EXPECT_EQ(dialogs.warnings.back(), "Failed to open file...|Not a valid Preset (.vlp) file|OK");

    // A folder that cannot take the file.
    const auto blocked = dir().getChildFile("blocked.vlp");
    blocked.createDirectory();
    blocked.getChildFile("keep").replaceWithText("x");
    click(setup().saveButton);
    choosers.choose(blocked.getChildFile("keep").getChildFile("deeper.vlp"));
    EXPECT_EQ(dialogs.warnings.back(), "Failed to save file...|This wasn't a valid file...|OK");

    EXPECT_EQ(setup().presetNameBox.getText(), "Before");
    EXPECT_EQ(setup().fileNameBox.getText(), "before.vlp");
    EXPECT_EQ(setup().getSelectedPreset(), 6);
    EXPECT_EQ(context.root->channels[0]->delay->del().getValue(),
              amp->tree().channels[0]->delay->del().getValue());
    pumpFor(200);
    EXPECT_TRUE(sim->log("/channel/1/delay").empty());
}

TEST_F(SetupPage, LoadingWhileConnectedSendsEveryBlock)
{
    startAmplifier(1, "Main");
    connectToRow(1);
    const auto file = dir().getChildFile("push.vlp");
    context.presets->setPresetTitle("Push");
    context.root->channels[1]->limiter->thres().setValue(42.0f);
    ASSERT_TRUE(context.presets->saveDocument(file).wasOk());
    sim->clearLog();

    click(setup().loadButton);
    choosers.choose(file);
    ASSERT_TRUE(
        pumpUntil([&] { return com().pendingCount() == 0 && sim->log().size() >= 39; }, 5000));
    int blocks = 0;
    forEachBlock(*context.root,
                 [&](Cnode& block) { blocks += sim->log(block.getPath()).size() == 1 ? 1 : 0; });
    EXPECT_EQ(blocks, 39);
    EXPECT_EQ(amp->tree().channels[1]->limiter->thres().getValue(), 42.0f);
}

} // namespace

namespace
{

// An editor with a USB bus beside the network: a USB amplifier plugged in
// asks its own question while the page's question may still be open.
class TwoQuestions : public SetupPage,
                     public ::testing::WithParamInterface<std::tuple<bool, bool, bool>>
{
protected:
    sim::SimulatedHidBus* bus = nullptr;

    void SetUp() override
    {
        auto owned = std::make_unique<sim::SimulatedHidBus>();
        bus = owned.get();
        context.hid = std::move(owned);
        SetupPage::SetUp();
    }
};

// (USB question answered first, answer to the network question, answer to
// the USB question)
TEST_P(TwoQuestions, OnlineOnlyWithTheLastAcceptedAmplifier)
{
    const auto [usbFirst, acceptNetwork, acceptUsb] = GetParam();
    startAmplifier(5, "Far");
    const auto click =
        juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f,
                         0.0f, 0.0f, 0.0f, &setup().table, &setup().table,
                         juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 1, false);
    setup().cellClicked(1, 1, click);
    ASSERT_EQ(dialogs.questions.size(), 1u);

    sim::Amplifier local(2, "Near");
    sim::UsbAmpSim device(local, *bus);
    ASSERT_TRUE(pumpUntil([&] { return dialogs.questions.size() == 2; }, 10000));
    ASSERT_EQ(dialogs.questions[1].title, "Vorn series connected");

    if (usbFirst)
    {
        dialogs.answer(acceptUsb, 1);
        pumpFor(100);
        dialogs.answer(acceptNetwork, 0);
    }
    else
    {
        dialogs.answer(acceptNetwork, 0);
        pumpFor(100);
        dialogs.answer(acceptUsb, 0);
    }
    ASSERT_TRUE(pumpUntil([&] { return com().pendingCount() == 0; }, 20000));
    pumpFor(200);

    // The last accepted question wins.
    const bool networkWins = acceptNetwork && (usbFirst || ! acceptUsb);
    const bool usbWins = acceptUsb && ! networkWins;
    EXPECT_EQ(com().isOnline(), networkWins || usbWins);
    EXPECT_EQ(setup().isConnected(), networkWins || usbWins);
    if (networkWins)
    {
        EXPECT_EQ(com().getTransport(), 2);
        EXPECT_EQ(setup().getSelectedRow(), 1);
        EXPECT_EQ(panel->getTitle(), "[Device: ZL-500-DX]");
        EXPECT_EQ(sim->log("/online").size(), 1u);
        EXPECT_EQ(sim->log("/offline").size(), 0u);
    }
    if (usbWins)
    {
        EXPECT_EQ(com().getTransport(), 1);
        EXPECT_EQ(setup().getSelectedRow(), 0);
        EXPECT_EQ(panel->getTitle(), "[Device: VN-840Z]");
        EXPECT_EQ(device.log("/online").size(), 1u);
        // A network amplifier that was online first was told it is left.
        EXPECT_EQ(sim->log("/offline").size(), sim->log("/online").size());
    }
    if (! networkWins)
    {
        EXPECT_LE(sim->log("/online").size(), sim->log("/offline").size());
    }
    if (! usbWins)
    {
        EXPECT_NE(com().getTransport(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(AnswerOrders, TwoQuestions,
                         ::testing::Values(std::make_tuple(false, true, true),
                                           std::make_tuple(true, true, true),
                                           std::make_tuple(true, false, true),
                                           std::make_tuple(false, true, false),
                                           std::make_tuple(true, true, false)));

} // namespace

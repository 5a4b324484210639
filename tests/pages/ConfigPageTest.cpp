#include "CConfigPage.h"
#include "FlowPictures.h"
#include "PageFixture.h"

#include <osc/OscOutboundPacketStream.h>

using namespace velmora;
using namespace velmora::test;

namespace
{

class ConfigPage : public PageFixture
{
protected:
    CConfigPage& page() { return *context.configPage; }
    CConfigPage::Channel& channel(int c) { return page().channel(c); }
    Croot& tree() { return *context.root; }

    // A connected amplifier of `model` in `mode`, its load unknown to the
    // editor (the amplifier's 50 selects no item).
    void connectInMode(int model, const char* mode)
    {
        connect(model, [&](sim::Amplifier& a) { a.tree().ampmode->mode().readText(mode); });
    }

    // Clicks a mode button and answers the question.
    void chooseMode(int mode, bool yes = true)
    {
        click(page().modeButton(mode));
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(dialogs.questions[0].title, "Changing Amp-mode...");
        EXPECT_EQ(dialogs.questions[0].message, "Do you want to change the Amp-mode?");
        EXPECT_EQ(dialogs.questions[0].confirm, "Yes");
        EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
        dialogs.answer(yes);
        settle();
    }

    void chooseLoad(int c, int id)
    {
        channel(c).load.setSelectedId(id, juce::sendNotificationSync);
        settle();
    }
};

TEST_F(ConfigPage, ModesAskFirstAndLayTheChannelsOut)
{
    connectInMode(1, "DUAL");
    EXPECT_TRUE(page().modeButton(0).getToggleState());

    // The mode already set asks nothing and sends nothing.
    click(page().modeButton(0));
    EXPECT_TRUE(dialogs.questions.empty());

    // "Cancel" leaves the previous mode, and its button, on.
    chooseMode(4, false);
    EXPECT_TRUE(page().modeButton(0).getToggleState());
    EXPECT_FALSE(page().modeButton(4).getToggleState());
    EXPECT_TRUE(received("/ampmode").empty());
    EXPECT_EQ(page().getAmpMode(), 0);

    const struct
    {
        int mode;
        const char* text;
        bool single, bridged;
        const char* title;
    } cases[] = {{1, "\"STEREO\"", true, false, "Channel A+B"},
                 {2, "\"BIAMP1\"", false, false, "Channel A"},
                 {4, "\"BRIDGE\"", true, true, "Channel A"},
                 {0, "\"DUAL\"", false, false, "Channel A"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        sim->clearLog();
        chooseMode(c.mode);
        ASSERT_EQ(received("/ampmode"), std::vector<std::string> {std::string(",s ") + c.text});
        EXPECT_TRUE(page().modeButton(c.mode).getToggleState());
        EXPECT_EQ(page().isSingleChain(), c.single);
        EXPECT_EQ(page().isBridged(), c.bridged);
        EXPECT_EQ(channel(0).group.getText(), c.title);
        EXPECT_EQ(channel(1).group.isVisible(), ! c.single);
        EXPECT_EQ(channel(1).delayKnob.isVisible(), ! c.single);
        EXPECT_EQ(page().linkButton.isVisible(), ! c.single);
    }
}

TEST_F(ConfigPage, LeavingASingleChainModeAsksTheAmplifierForChannelB)
{
    connectInMode(1, "DUAL");
    chooseMode(1);
    // In STEREO the pages copy channel A into channel B's tree unsent; the
    // amplifier keeps channel B's own delay of 2.50 ms.
    EXPECT_EQ(tree().channels[1]->delay->del().getValue(), 1.25f);
    EXPECT_TRUE(received("/channel/2/delay").empty());

    sim->clearLog();
    chooseMode(0);
    std::vector<std::string> queried;
    bool modeSent = false;
    for (const auto& e : sim->log())
    {
        if (e.address == "/ampmode")
            modeSent = true;
        if (e.address.rfind("/channel/2/", 0) == 0)
        {
            EXPECT_EQ(e.arguments, ",") << e.address;
            // Asked once the amplifier is in the new mode, so it answers
            // with channel B's own values.
            EXPECT_TRUE(modeSent) << e.address;
            queried.push_back(e.address);
        }
    }
    EXPECT_TRUE(modeSent);
    EXPECT_EQ(queried.size(), 19u);
    EXPECT_EQ(channel(1).msBox.getText(), "2.50");
}

TEST_F(ConfigPage, ThresholdInVoltsAndPowerForTheModelAndLoad)
{
    connectInMode(0, "DUAL"); // VN-840: 80 V at full scale
    channel(0).thresholdKnob.setValue(-6.0, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(channel(0).voltsBox.getText(), "40.1");
    EXPECT_EQ(channel(0).powerBox.getText(), " - ");
    // 80 V at -6 dBfs is 40.095 V; the nearest step of the parameter 40.09.
    EXPECT_EQ(lastReceived("/channel/1/limiter"), ",fff 40.09 200 20");

    chooseLoad(0, 4); // "8 Ohm"
    EXPECT_EQ(channel(0).load.getText(), "8 Ohm");
    EXPECT_EQ(channel(0).powerBox.getText(), "100.5");
    EXPECT_EQ(lastReceived("/speaker"), ",i 8");
    // The load change sends the stored threshold again, not the knob's.
    EXPECT_EQ(lastReceived("/channel/1/limiter"), ",fff 40.09 200 20");

    // In BRIDGE the volts double and the power is four times as much, from
    // the threshold the amplifier holds (40.09 V).
    chooseMode(4);
    EXPECT_EQ(channel(0).voltsBox.getText(), "80.2");
    EXPECT_EQ(channel(0).powerBox.getText(), "401.8");

    // "2 Ohm" is not offered in BRIDGE: back to " -".
    sim->clearLog();
    chooseLoad(0, 2);
    EXPECT_EQ(page().getLoadChoice(0), 1);
    EXPECT_EQ(channel(0).load.getText(), " -");
    EXPECT_EQ(received("/speaker"), std::vector<std::string> {",i 0"});
}

TEST_F(ConfigPage, ALoadChangeResendsTheStoredThresholdExactly)
{
    connectInMode(0, "DUAL");
    // 50 V and 1 V are stored as typed; the knob's 0.1 dB steps and its
    // -36 dBfs floor would make them 49.90 V and 1.27 V.
    for (const char* volts : {"50", "1.0"})
    {
        SCOPED_TRACE(volts);
        typeAndReturn(channel(0).voltsBox, volts);
        settle();
        sim->clearLog();
        chooseLoad(0, 3);
        chooseLoad(0, 5);
        // Each load change sends the limiter once more, with the stored value.
        const std::string stored =
            std::string(",fff ") + (volts[0] == '5' ? "50" : "1") + " 200 20";
        EXPECT_EQ(received("/channel/1/limiter"), (std::vector<std::string> {stored, stored}));
    }
}

TEST_F(ConfigPage, ANewModelRereadsTheThresholds)
{
    connectInMode(0, "DUAL");
    typeAndReturn(channel(0).voltsBox, "40.1");
    typeAndReturn(channel(1).voltsBox, "30.0");
    settle();
    page().setDeviceModel(4); // ZL-200-DX: 50 V at full scale
    EXPECT_NEAR(channel(0).thresholdKnob.getValue(), 20.0 * std::log10(40.1 / 50.0), 0.051);
    EXPECT_EQ(channel(0).voltsBox.getText(), "40.1");
    EXPECT_NEAR(channel(1).thresholdKnob.getValue(), 20.0 * std::log10(30.0 / 50.0), 0.051);
    EXPECT_EQ(channel(1).voltsBox.getText(), "30.0");
    // Nothing picks the old load lists' items.
    EXPECT_EQ(page().getLoadChoice(0), 0);
    EXPECT_EQ(channel(0).load.getSelectedId(), 0);
}

TEST_F(ConfigPage, TypedDelaysInEveryUnit)
{
    connectInMode(1, "DUAL");
    typeAndReturn(channel(0).mBox, "3.43");
    settle();
    EXPECT_EQ(channel(0).msBox.getText(), "10.00");
    EXPECT_EQ(channel(0).ftBox.getText(), "11.254");
    EXPECT_EQ(received("/channel/1/delay"), std::vector<std::string> {",fi 10 0"});

    // The parameter's 0.01 ms decides, not the knob's 0.02: sent once.
    sim->clearLog();
    typeAndReturn(channel(0).msBox, "10.01");
    settle();
    EXPECT_EQ(received("/channel/1/delay"), std::vector<std::string> {",fi 10.01 0"});
    EXPECT_NEAR(channel(0).delayKnob.getValue(), 10.01, 0.011);

    // Blanks around a number are skipped; text without one changes nothing.
    sim->clearLog();
    typeAndReturn(channel(0).ftBox, "  5.6  ");
    settle();
    EXPECT_EQ(channel(0).msBox.getText(), "4.98");
    for (const char* text : {"abc", "", " - ", "."})
    {
        SCOPED_TRACE(text);
        typeAndReturn(channel(0).msBox, text);
        EXPECT_EQ(channel(0).msBox.getText(), "4.98");
    }
    // Leaving a box restores what is stored and sends nothing.
    typeAndLeave(channel(0).msBox, "250");
    EXPECT_EQ(channel(0).msBox.getText(), "4.98");
    settle();
    EXPECT_EQ(received("/channel/1/delay").size(), 1u);
}

TEST_F(ConfigPage, PolaritySendsOnceForTheButtonThatTurnedOn)
{
    connectInMode(1, "DUAL");
    click(channel(0).inverted);
    settle();
    EXPECT_EQ(received("/channel/1/delay"), std::vector<std::string> {",fi 1.25 180"});
    EXPECT_TRUE(channel(0).phase.getToggleState());
    EXPECT_FALSE(channel(0).zero.getToggleState());

    sim->clearLog();
    click(channel(0).phase); // off: back to 0
    settle();
    EXPECT_EQ(received("/channel/1/delay"), std::vector<std::string> {",fi 1.25 0"});
    EXPECT_TRUE(channel(0).zero.getToggleState());
}

TEST_F(ConfigPage, LinkedChannelsMoveTogetherAndSendEachBlockOnce)
{
    connectInMode(1, "DUAL");
    click(page().linkButton);
    settle();
    // Linking copies channel A to channel B and sends B.
    EXPECT_EQ(received("/channel/2/delay"), std::vector<std::string> {",fi 1.25 0"});
    EXPECT_EQ(received("/channel/2/limiter"), std::vector<std::string> {",fff 80 200 20"});

    sim->clearLog();
    channel(0).delayKnob.setValue(20.0, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(received("/channel/1/delay"), std::vector<std::string> {",fi 20 0"});
    EXPECT_EQ(received("/channel/2/delay"), std::vector<std::string> {",fi 20 0"});
    EXPECT_EQ(channel(1).delayKnob.getValue(), 20.0);

    sim->clearLog();
    click(channel(1).inverted);
    settle();
    EXPECT_EQ(received("/channel/2/delay"), std::vector<std::string> {",fi 20 180"});
    EXPECT_EQ(received("/channel/1/delay"), std::vector<std::string> {",fi 20 180"});
    EXPECT_TRUE(channel(0).phase.getToggleState());
}

TEST_F(ConfigPage, InStereoTypedVoltsCarryOverToChannelBUnsent)
{
    connectInMode(1, "STEREO"); // VN-880: 94 V
    typeAndReturn(channel(0).voltsBox, "47");
    settle();
    EXPECT_EQ(tree().channels[1]->limiter->thres().getValue(), 47.0f);
    EXPECT_EQ(received("/channel/1/limiter").size(), 1u);
    EXPECT_TRUE(received("/channel/2/limiter").empty());
}

TEST_F(ConfigPage, SpeakerLoads)
{
    connectInMode(1, "DUAL");
    // The amplifier's load is not known yet (no item): no "/speaker" goes out,
    // not even with a mode change.
    chooseMode(2);
    EXPECT_TRUE(received("/speaker").empty());

    // Channel B's load sends channel A's value on a Vorn series model.
    chooseLoad(0, 3); // 4 Ohm
    sim->clearLog();
    chooseLoad(1, 5);
    EXPECT_EQ(received("/speaker"), std::vector<std::string> {",i 4"});

    // The amplifier's answer shows in both lists; a value without an item
    // selects nothing. The power shown never exceeds full scale (channel B
    // holds 120 V, the VN-880 94 V).
    for (const auto& [value, item] : std::vector<std::pair<int, int>> {{5, 0}, {8, 4}, {16, 5}})
    {
        SCOPED_TRACE(value);
        char buffer[64];
        osc::OutboundPacketStream p(buffer, sizeof buffer);
        p << osc::BeginMessage("/speaker") << osc::int32(value) << osc::EndMessage;
        sim->sendToEditor(sim::Bytes(p.Data(), p.Data() + p.Size()));
        ASSERT_TRUE(pumpUntil([&] { return page().speakerBlock.value().getStep() == value; }));
        pumpFor(20);
        EXPECT_EQ(page().getLoadChoice(0), item);
        EXPECT_EQ(page().getLoadChoice(1), item);
        EXPECT_EQ(channel(0).load.getSelectedId(), item);
        EXPECT_EQ(channel(1).load.getSelectedId(), item);
    }
    EXPECT_EQ(channel(1).powerBox.getText(), "276.1"); // 94 V into 16 Ohm, not 120 V
}

TEST_F(ConfigPage, ModelsWithoutBridgeAndWithLineOutputs)
{
    for (const bool yes : {true, false})
    {
        SCOPED_TRACE(yes);
        // A VN-840Z (line outputs, no bridge) found in BRIDGE: the editor asks
        // to go to Dual Mono and hides "Bridge" whatever the answer.
        // Asked as soon as the amplifier reports BRIDGE while connecting, and
        // only once, however often the model is told again.
        connect(2, [](sim::Amplifier& a) { a.tree().ampmode->mode().readText("BRIDGE"); });
        ASSERT_EQ(dialogs.questions.size(), 1u);
        page().setDeviceModel(2);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(dialogs.questions[0].title, "Changing Amp-mode...");
        sim->clearLog();
        dialogs.answer(yes);
        settle();
        EXPECT_TRUE(dialogs.questions.empty());
        EXPECT_EQ(received("/ampmode").size(), yes ? 1u : 0u);
        EXPECT_FALSE(page().modeButton(4).isVisible());
        EXPECT_EQ(page().getAmpMode(), yes ? 0 : 4);
        EXPECT_EQ(channel(0).load.getNumItems(), 2);
        EXPECT_EQ(channel(0).outputLabel.isVisible(), true);
        EXPECT_EQ(channel(0).loadLabel.isVisible(), false);
        if (! yes)
        {
            // Still in BRIDGE: "70 V" is sent as 70, not as the ohm lists'
            // fallback.
            sim->clearLog();
            chooseLoad(0, 2);
            EXPECT_EQ(received("/speaker"), std::vector<std::string> {",i 70"});
            EXPECT_EQ(channel(1).load.getSelectedId(), 2);
        }
        setup().disconnectDevice();
        sim.reset();
        setup().forgetSelectedDevice();
    }
}

// A VN-840 in BRIDGE with "16 Ohm" becomes a VN-840Z (line outputs, no
// bridge). Even when the question is answered at once, as a modal box would
// be, the lists and loads are the new model's first: "Yes" must not send
// "/speaker" picked by the old list's "16 Ohm" over the amplifier's load.
TEST_F(ConfigPage, TheBridgeQuestionComesAfterTheNewModelsLists)
{
    connect(0, [](sim::Amplifier& a) { a.tree().ampmode->mode().readText("BRIDGE"); });
    chooseLoad(0, 5);
    ASSERT_EQ(channel(0).load.getText(), "16 Ohm");
    sim->clearLog();
    dialogs.answerAtOnce = true;
    page().setDeviceModel(2);
    settle();
    dialogs.answerAtOnce.reset();
    EXPECT_EQ(page().getAmpMode(), 0);
    EXPECT_EQ(received("/ampmode"), std::vector<std::string> {",s \"DUAL\""});
    EXPECT_TRUE(received("/speaker").empty());
    EXPECT_EQ(channel(0).load.getNumItems(), 2);
}

// Pixels of the signal-flow diagram, kept as pictures in the build.
TEST_F(ConfigPage, TheDiagramLightsTheBlocksInUse)
{
    const auto artifacts = juce::File(VELMORA_BINARY_DIR).getChildFile("artifacts/config");
    artifacts.createDirectory();
    auto& flags = context.activity;
    auto litAt = [&](const juce::Image& shot, int x, int y)
    {
        const auto c = shot.getPixelAt(x + 4, y + 24); // the block's face
        return c.getRed() > 200 && c.getGreen() > 150 && c.getBlue() < 120;
    };
    const char* names[5] = {"dual", "stereo", "biamp1", "biamp2", "bridge"};
    for (int mode = 0; mode < 5; ++mode)
    {
        SCOPED_TRACE(names[mode]);
        tree().ampmode->mode().setStep(mode);
        tree().ampmode->sendChangeMessage();
        pumpFor(20);
        flags.xoverActive = {true, false};
        flags.peqActive = {false, true};
        flags.deqActive = {true, true};
        flags.delayActive = {false, false};
        flags.limiterActive = {true, false};
        const auto shot = page().createComponentSnapshot(page().getLocalBounds(), true, 1.0f);
        juce::PNGImageFormat png;
        auto out = artifacts.getChildFile(juce::String("diagram-") + names[mode] + ".png");
        out.deleteFile();
        juce::FileOutputStream stream(out);
        png.writeImageToStream(shot, stream);

        const bool twoRows = mode == 0 || mode == 2 || mode == 3;
        const int y0 = mode == 1 ? 63 : 38;
        EXPECT_TRUE(litAt(shot, mode == 1 ? 227 : 199, y0)); // filter or crossover of A
        EXPECT_FALSE(litAt(shot, 279, y0));                  // PEQ A off
        EXPECT_TRUE(litAt(shot, 331, y0));                   // DEQ A
        EXPECT_FALSE(litAt(shot, 383, y0));                  // delay A off
        EXPECT_TRUE(litAt(shot, 435, y0));                   // limiter A
        if (twoRows)
        {
            EXPECT_TRUE(litAt(shot, 279, y0 + 51)); // PEQ B
            EXPECT_FALSE(litAt(shot, 435, y0 + 51));
        }
        else
        {
            EXPECT_FALSE(litAt(shot, 331, y0 + 51)); // no second row
        }
        if (mode == 0)
        {
            EXPECT_FALSE(litAt(shot, 199, y0 + 51)); // filter B off
        }
    }
}

// In both bi-amp modes each chain drives its own output (the row's wire runs
// straight from the chain to the output); only BIAMP2 crosses the cables from
// the outputs to the speakers, so that output A drives the high-frequency
// driver.
TEST(FlowDiagram, EachChainDrivesItsOwnOutputAndBiamp2CrossesTheSpeakerCables)
{
    auto wired = [](const juce::Image& picture, int x, int y)
    {
        for (int dy = -1; dy <= 1; ++dy)
            if (picture.getPixelAt(x, y + dy).getBrightness() > 0.4f)
                return true;
        return false;
    };
    for (const int mode : {2, 3})
    {
        SCOPED_TRACE(mode);
        const auto picture = pictures::flowBackground(mode);
        EXPECT_TRUE(wired(picture, 380, 24));          // chain A to output A
        EXPECT_TRUE(wired(picture, 380, 75));          // chain B to output B
        EXPECT_EQ(wired(picture, 438, 49), mode == 3); // the cables cross
    }
}

} // namespace

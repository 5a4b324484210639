#include "CConfigPage.h"
#include "CXoverPage.h"
#include "PageFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

using Strings = std::vector<std::string>;

const char* const paths[4] = {"/channel/1/xover/hp", "/channel/1/xover/lp", "/channel/2/xover/hp",
                              "/channel/2/xover/lp"};

class XoverPage : public PageFixture
{
protected:
    CXoverPage& page() { return *context.xoverPage; }
    CXoverPage::Section& section(int k) { return page().section(k); }
    CXoverPage::Channel& channel(int c) { return page().channel(c); }
    Croot& tree() { return *context.root; }
    Cxover& filter(int k)
    {
        const Cxoversection& x = *tree().channels[static_cast<std::size_t>(k / 2)]->xover;
        return k % 2 == 0 ? *x.hp : *x.lp;
    }
    Cxovergain& gain(int c) { return *tree().channels[static_cast<std::size_t>(c)]->xover->gain; }
    std::string typeOf(int k) { return filter(k).type().choiceText(); }
    int stepOf(int k) { return filter(k).freq().getStep(); }

    // A virtual amplifier in `mode`, with some of its blocks set first.
    void connectInMode(const char* mode, const Strings& lines = {})
    {
        connect(1,
                [&](sim::Amplifier& a)
                {
                    a.tree().ampmode->mode().readText(mode);
                    for (const auto& line : lines)
                        a.setBlock(line);
                });
    }

    // The user changes the mode on the Configuration page.
    void chooseMode(int mode)
    {
        context.configPage->requestAmpMode(mode);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        dialogs.answer(true);
        settle();
    }

    void chooseFamily(int k, int id)
    {
        section(k).family.setSelectedId(id, juce::sendNotificationSync);
        settle();
    }
    void chooseSlope(int k, int id)
    {
        section(k).slope.setSelectedId(id, juce::sendNotificationSync);
        settle();
    }
    void turnKnob(juce::Slider& knob, double value)
    {
        knob.setValue(value, juce::sendNotificationSync);
        settle();
    }

    static juce::StringArray items(const juce::ComboBox& list)
    {
        juce::StringArray out;
        for (int i = 0; i < list.getNumItems(); ++i)
            out.add(list.getItemText(i));
        return out;
    }

    // The type each message of section k carried.
    Strings sentTypes(int k)
    {
        Strings out;
        for (const auto& args : received(paths[k]))
        {
            const auto open = args.find('"');
            out.push_back(args.substr(open + 1, args.find('"', open + 1) - open - 1));
        }
        return out;
    }
    // Messages to any crossover address.
    std::size_t sentCount()
    {
        std::size_t n = 0;
        for (const auto& e : sim->log())
            n += e.address.find("/xover/") != std::string::npos;
        return n;
    }
};

TEST_F(XoverPage, FamilyAndSlopeListsMakeTheType)
{
    connectInMode("DUAL"); // channel A's high-pass: BUT12 at 40 Hz
    EXPECT_EQ(section(0).family.getText(), "Butterworth");
    EXPECT_EQ(section(0).slope.getText(), "12 dB");
    const struct
    {
        bool family; // the family list, else the slope list
        int id;
        const char* type;
        juce::StringArray slopes;
        const char* shown;
    } cases[] = {
        {true, 3, "BES12", {"12 dB", "24 dB"}, "12 dB"},
        {false, 2, "BES24", {"12 dB", "24 dB"}, "24 dB"},
        {true, 2, "BUT6", {"6 dB", "12 dB", "18 dB", "24 dB", "48 dB"}, "6 dB"},
        {false, 5, "BUT48", {"6 dB", "12 dB", "18 dB", "24 dB", "48 dB"}, "48 dB"},
        {true, 4, "LR12", {"12 dB", "24 dB", "48 dB"}, "12 dB"},
        {false, 3, "LR48", {"12 dB", "24 dB", "48 dB"}, "48 dB"},
        {true, 1, "OFF", {}, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.type);
        sim->clearLog();
        if (c.family)
            chooseFamily(0, c.id);
        else
            chooseSlope(0, c.id);
        EXPECT_EQ(typeOf(0), c.type);
        EXPECT_EQ(items(section(0).slope), c.slopes);
        EXPECT_EQ(section(0).slope.getText(), c.shown);
        EXPECT_EQ(sentTypes(0), Strings {c.type});
        EXPECT_EQ(sentCount(), 1u);
        EXPECT_EQ(context.responses.selectedHandle, 0);
    }
    EXPECT_EQ(filter(0).type().getStep(), 0);
    EXPECT_EQ(section(0).family.getText(), "OFF");

    // Channel A still has its low-pass and gain: in use; both off and no
    // gain: not.
    EXPECT_TRUE(context.activity.xoverActive[0]);
    chooseFamily(1, 1);
    EXPECT_TRUE(context.activity.xoverActive[0]); // the gain of -1.5 dB
    turnKnob(channel(0).gain, 0.0);
    EXPECT_EQ(received("/channel/1/xover/gain"), Strings {",f 0"});
    EXPECT_FALSE(context.activity.xoverActive[0]);
    EXPECT_TRUE(context.activity.xoverActive[1]);
}

TEST_F(XoverPage, TheWheelWalksTheTypesAndNeverSwitchesOff)
{
    connectInMode("DUAL", {"/channel/1/xover/lp OFF 1k00"});
    filter_drag& marker = *page().graph.getHandle(1);
    const Strings up = {"BUT6",  "BUT12", "BES12", "LR12", "BUT18", "BUT24",
                        "BES24", "LR24",  "BUT48", "LR48", "LR48"};
    for (const auto& type : up)
    {
        marker.wheel(1.0f);
        settle();
        EXPECT_EQ(typeOf(1), type);
    }
    EXPECT_EQ(sentTypes(1), up);
    // The lists show the type the wheel chose.
    EXPECT_EQ(section(1).family.getText(), "Linkwitz-Riley");
    EXPECT_EQ(section(1).slope.getText(), "48 dB");
    EXPECT_EQ(context.responses.selectedHandle, 1);

    for (int i = 0; i < 10; ++i)
        marker.wheel(-1.0f);
    settle();
    EXPECT_EQ(typeOf(1), "BUT6");
    EXPECT_EQ(section(1).slope.getText(), "6 dB");
    // Nothing else moved, and the frequency stayed.
    EXPECT_EQ(stepOf(1), 339); // 1 kHz
    for (int k : {0, 2, 3})
        EXPECT_TRUE(received(paths[k]).empty()) << k;
}

TEST_F(XoverPage, DraggingAMarkerMovesItsFrequency)
{
    connectInMode("DUAL", {"/channel/2/xover/lp BUT24 1k00"});
    filter_drag& marker = *page().graph.getHandle(3);
    const int centre = marker.getWidth() / 2;
    marker.dragTo(centre + 7, 0);
    settle();
    EXPECT_EQ(stepOf(3), 346); // 1 kHz and seven steps
    EXPECT_EQ(section(3).knob.getValue(), 346.0);
    EXPECT_EQ(section(3).box.getText(), juce::String(filter(3).freq().text()));
    EXPECT_EQ(sentTypes(3), Strings {"BUT24"});
    // The marker follows the frequency.
    EXPECT_EQ(page().graph.handleFrequency[3], filter(3).freq().getValue());
    EXPECT_EQ(context.responses.selectedHandle, 3);

    // Steps beyond the range stop at 20 kHz.
    marker.dragTo(centre + 500, 0);
    settle();
    EXPECT_EQ(stepOf(3), 600);
    EXPECT_EQ(section(3).box.getText(), "20k00");
}

TEST_F(XoverPage, TypedFrequenciesTakeEffectOnReturnOnly)
{
    connectInMode("DUAL");
    const struct
    {
        const char* typed;
        const char* shown;
        int knob;
    } cases[] = {{"2k5", "2k50", 419},
                 {"2500", "2k50", 419},
                 {"632.4", "632.3", 299},
                 {"25k", "20k00", 600},
                 {" 100 ", "100.0", 139}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        sim->clearLog();
        typeAndReturn(section(1).box, c.typed);
        settle();
        EXPECT_EQ(section(1).box.getText(), c.shown);
        EXPECT_EQ(section(1).knob.getValue(), c.knob);
        EXPECT_EQ(received(paths[1]).size(), 1u);
        EXPECT_EQ(sentCount(), 1u);
    }

    // Text without a number leaves the filter where it is: it would have
    // been 20 Hz.
    sim->clearLog();
    for (const char* text : {"abc", "", "-"})
    {
        typeAndReturn(section(1).box, text);
        EXPECT_EQ(section(1).box.getText(), "100.0");
    }
    EXPECT_EQ(stepOf(1), 139);

    // Leaving the box restores the text and does nothing else.
    typeAndLeave(section(1).box, "5k");
    EXPECT_EQ(section(1).box.getText(), "100.0");
    settle();
    EXPECT_EQ(stepOf(1), 139);
    EXPECT_EQ(sentCount(), 0u);
}

TEST_F(XoverPage, InStereoChannelAMovesChannelBUnsent)
{
    connectInMode("DUAL");
    chooseMode(1);
    EXPECT_TRUE(page().areChannelsLinked());
    EXPECT_EQ(channel(0).group.getText(), "Channel A+B");
    EXPECT_FALSE(page().xoverButton.isEnabled());
    EXPECT_EQ(page().graph.curveCount, 1u);
    EXPECT_EQ(page().graph.handleCount, 2u);
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             &section(2).knob, &section(3).box, &section(2).family, &section(3).slope,
             &channel(1).gain, &channel(1).group, &section(2).title})
        EXPECT_FALSE(c->isEnabled()) << c->getName();
    EXPECT_TRUE(section(0).knob.isEnabled());
    // The mode copied channel A's filters into channel B's tree, unsent.
    EXPECT_EQ(typeOf(2), "BUT12");
    EXPECT_EQ(typeOf(3), "LR24");
    EXPECT_EQ(stepOf(3), stepOf(1));
    EXPECT_EQ(sentCount(), 0u);

    turnKnob(section(0).knob, 250);
    EXPECT_EQ(stepOf(2), 250);
    EXPECT_EQ(received(paths[0]).size(), 1u);
    EXPECT_EQ(sentCount(), 1u);

    // A typed frequency changes channel A only.
    sim->clearLog();
    typeAndReturn(section(0).box, "2k00");
    settle();
    EXPECT_EQ(stepOf(0), 400);
    EXPECT_EQ(stepOf(2), 250);
    EXPECT_EQ(sentCount(), 1u);

    // A type chosen for channel A goes to B as well, unsent.
    sim->clearLog();
    chooseFamily(1, 3);
    EXPECT_EQ(typeOf(3), "BES12");
    EXPECT_EQ(sentCount(), 1u);
    EXPECT_EQ(sentTypes(1), Strings {"BES12"});

    sim->clearLog();
    turnKnob(channel(0).gain, 3.0);
    EXPECT_EQ(gain(1).gain().getValue(), 3.0f);
    EXPECT_EQ(received("/channel/1/xover/gain"), Strings {",f 3"});
    EXPECT_TRUE(received("/channel/2/xover/gain").empty());

    // BRIDGE links the same way, with the plain titles.
    chooseMode(4);
    EXPECT_TRUE(page().areChannelsLinked());
    EXPECT_FALSE(section(2).knob.isEnabled());
    EXPECT_EQ(channel(0).group.getText(), "Channel A");
}

TEST_F(XoverPage, AnAmplifierChangeOfChannelACopiesItsTypeOnly)
{
    connectInMode("STEREO");
    const int before = stepOf(2);
    // As an amplifier's reply or a preset would: values, then the broadcast.
    filter(0).readText("LR24 2k00");
    filter(0).sendChangeMessage();
    settle();
    EXPECT_EQ(section(0).family.getText(), "Linkwitz-Riley");
    EXPECT_EQ(stepOf(0), 400);
    EXPECT_EQ(typeOf(2), "LR24");
    EXPECT_EQ(stepOf(2), before);
    EXPECT_EQ(sentCount(), 0u);
}

TEST_F(XoverPage, LeavingStereoShowsChannelBsOwnGainAgain)
{
    // No amplifier: the tree is all there is.
    chooseMode(1);
    ASSERT_TRUE(page().areChannelsLinked());
    channel(0).gain.setValue(3.0, juce::sendNotificationSync);
    ASSERT_EQ(gain(1).gain().getValue(), 3.0f);

    chooseMode(0);
    EXPECT_FALSE(page().areChannelsLinked());
    EXPECT_EQ(channel(1).gain.getValue(), 3.0);
    EXPECT_TRUE(channel(1).gain.isEnabled());
    // Channel B's filters are off: its curve is its gain, twice in dB.
    EXPECT_FLOAT_EQ(page().xoverResponse(1, 1000.0f), 6.0f);
    EXPECT_EQ(page().graph.curveCount, 2u);
    EXPECT_EQ(page().graph.handleCount, 4u);
}

TEST_F(XoverPage, TheDefaultCrossoverSendsEachFilterOnceAndFinished)
{
    connectInMode("BIAMP1", {"/channel/1/xover/lp OFF 200.0", "/channel/1/xover/hp BUT12 2k00",
                             "/channel/2/xover/lp BUT48 200.0"});
    ASSERT_TRUE(page().xoverButton.isEnabled());
    ASSERT_EQ(stepOf(0), 400);
    click(page().xoverButton);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Link Crossover frequencies...");
    EXPECT_EQ(dialogs.questions[0].message, "Do you want to set a default Crossover?");
    EXPECT_EQ(dialogs.questions[0].confirm, "Yes");
    EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
    EXPECT_EQ(channel(0).group.getText(), "Channel A - LOW");
    EXPECT_EQ(channel(1).group.getText(), "Channel B - HIGH");
    dialogs.answer(true);
    settle();

    EXPECT_EQ(typeOf(1), "BUT12");
    EXPECT_EQ(stepOf(1), 300);
    EXPECT_NEAR(filter(1).freq().getValue(), 632.46f, 0.01f);
    EXPECT_EQ(section(1).box.getText(), "632.4");
    EXPECT_EQ(section(1).knob.getValue(), 300.0);
    EXPECT_EQ(typeOf(2), "BUT12");
    EXPECT_EQ(stepOf(2), 300);
    EXPECT_EQ(section(2).box.getText(), "632.4");
    EXPECT_EQ(stepOf(0), 10);
    EXPECT_NEAR(filter(0).freq().getValue(), 22.44f, 0.01f);
    EXPECT_EQ(section(0).knob.getValue(), 10.0);
    EXPECT_EQ(stepOf(3), 590);
    EXPECT_EQ(section(3).box.getText(), "17k82");
    // The tweeter's high-pass goes out once, already BUT12: never "OFF".
    EXPECT_EQ(received(paths[2]), Strings {",sf \"BUT12\" 632.456"});
    EXPECT_EQ(received(paths[1]), Strings {",sf \"BUT12\" 632.456"});
    EXPECT_EQ(received(paths[0]).size(), 1u);
    EXPECT_EQ(received(paths[3]).size(), 1u);
    EXPECT_EQ(sentCount(), 4u);

    // Linked: channel A's low-pass knob moves channel B's high-pass.
    sim->clearLog();
    turnKnob(section(1).knob, 320);
    EXPECT_EQ(stepOf(2), 320);
    EXPECT_EQ(section(2).knob.getValue(), 320.0);
    EXPECT_EQ(received(paths[1]).size(), 1u);
    EXPECT_EQ(received(paths[2]).size(), 1u);
    // Channel A's high-pass is nobody's partner.
    sim->clearLog();
    turnKnob(section(0).knob, 20);
    EXPECT_EQ(received(paths[0]).size(), 1u);
    EXPECT_EQ(sentCount(), 1u);
    // And leaving a box without Return overwrites no partner.
    sim->clearLog();
    typeAndLeave(section(1).box, "100");
    settle();
    EXPECT_EQ(stepOf(2), 320);
    EXPECT_EQ(sentCount(), 0u);
}

TEST_F(XoverPage, CancelLinksChannelBsHighPassOnly)
{
    connectInMode("BIAMP2", {"/channel/1/xover/lp LR24 800.0", "/channel/2/xover/hp OFF 2k00"});
    const int highPassA = stepOf(0), lowPassB = stepOf(3);
    click(page().xoverButton);
    dialogs.answer(false);
    settle();
    EXPECT_TRUE(page().isXoverLinked());
    EXPECT_EQ(typeOf(2), "LR24");
    EXPECT_EQ(stepOf(2), stepOf(1));
    EXPECT_EQ(section(2).family.getText(), "Linkwitz-Riley");
    EXPECT_EQ(section(2).box.getText(), "800.0");
    EXPECT_EQ(received(paths[2]).size(), 1u);
    EXPECT_EQ(sentCount(), 1u);
    EXPECT_EQ(stepOf(0), highPassA);
    EXPECT_EQ(stepOf(3), lowPassB);
    EXPECT_EQ(channel(1).group.getText(), "Channel B - HIGH");

    // Switched off: the titles go back and the filters stay.
    sim->clearLog();
    click(page().xoverButton);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_FALSE(page().isXoverLinked());
    EXPECT_EQ(channel(0).group.getText(), "Channel A");
    EXPECT_EQ(channel(1).group.getText(), "Channel B");
    EXPECT_EQ(sentCount(), 0u);
}

TEST_F(XoverPage, TheLinkLastsOnlyInTheBiAmpModes)
{
    connectInMode("DUAL");
    EXPECT_FALSE(page().xoverButton.isEnabled());
    chooseMode(2);
    ASSERT_TRUE(page().xoverButton.isEnabled());
    click(page().xoverButton);
    dialogs.answer(false);
    settle();
    ASSERT_TRUE(page().isXoverLinked());

    chooseMode(0);
    EXPECT_FALSE(page().isXoverLinked());
    EXPECT_FALSE(page().xoverButton.isEnabled());
    EXPECT_TRUE(page().xoverButton.getToggleState());
    EXPECT_EQ(channel(0).group.getText(), "Channel A");
    EXPECT_EQ(channel(1).group.getText(), "Channel B");
    sim->clearLog();
    turnKnob(section(1).knob, 350);
    EXPECT_EQ(sentCount(), 1u);
    EXPECT_NE(stepOf(2), 350);

    // Back in BIAMP1 the link is there again, without a question.
    chooseMode(2);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(page().isXoverLinked());
    EXPECT_EQ(channel(0).group.getText(), "Channel A - LOW");
    EXPECT_EQ(channel(1).group.getText(), "Channel B - HIGH");
}

TEST_F(XoverPage, ControlsWhereTheLayoutPutsThem)
{
    EXPECT_EQ(page().getName(), "Xover");
    EXPECT_EQ(page().getBounds(),
              juce::Rectangle<int>(0, 0, 720, 470).withPosition(page().getPosition()));
    EXPECT_EQ(page().graph.getBounds(), juce::Rectangle<int>(50, 10, 660, 150));
    EXPECT_EQ(page().xoverButton.getBounds(), juce::Rectangle<int>(316, 180, 88, 24));
    EXPECT_EQ(page().xoverButton.getTooltip(), "enable/disable");
    EXPECT_EQ(channel(1).group.getBounds(), juce::Rectangle<int>(360, 206, 356, 260));
    EXPECT_EQ(channel(1).gain.getBounds(), juce::Rectangle<int>(516, 248, 48, 60));
    const juce::StringArray titles {"High Pass 1", "Low Pass 2", "High Pass 3", "Low Pass 4"};
    const int knobX[] = {72, 260, 428, 620};
    const int slopeY[] = {421, 420, 420, 420};
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ(section(k).title.getText(), titles[k]);
        EXPECT_EQ(section(k).knob.getBounds(), juce::Rectangle<int>(knobX[k], 308, 40, 40));
        EXPECT_EQ(section(k).slope.getY(), slopeY[k]);
        EXPECT_EQ(section(k).knob.getMaximum(), 600.0);
    }
    EXPECT_EQ(channel(0).gain.getMinimum(), -12.0);
    EXPECT_EQ(channel(0).gain.getInterval(), 0.5);
    EXPECT_EQ(page().graph.curveColour[1], juce::Colour(0xff2e79ff));
    EXPECT_EQ(page().graph.fillMode, 2);
}

} // namespace

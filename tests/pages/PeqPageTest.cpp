#include <sstream>

#include "CPeqPage.h"
#include "PageFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

// One band message as the amplifier received it.
struct Band
{
    std::string type;
    float freq = 0, gain = 0, qual = 0;
};

Band parseBand(const std::string& arguments)
{
    // ",sfff \"PEQ\" 40 0 1"
    std::istringstream in(arguments);
    std::string tags, type;
    Band b;
    in >> tags >> type >> b.freq >> b.gain >> b.qual;
    EXPECT_EQ(tags, ",sfff");
    if (type.size() >= 2)
        b.type = type.substr(1, type.size() - 2);
    return b;
}

std::string bandAddress(int channel, int band)
{
    return "/channel/" + std::to_string(channel + 1) + "/peq/" + std::to_string(band + 1);
}

class PeqPage : public PageFixture
{
protected:
    CPeqPage& page() { return *context.peqPage; }
    CPeqTab& tab(int c = 0) { return page().tab(c); }
    CPeqTab::Column& column(int b, int c = 0) { return tab(c).column(b); }
    Cpeq& treeBand(int c, int b)
    {
        return *context.root->channels[static_cast<std::size_t>(c)]
                    ->peq->bands[static_cast<std::size_t>(b)];
    }

    // A connected amplifier in DUAL, its bands as the simulator starts them
    // (channel A: LS12 60 Hz, PEQ 125 Hz ... HS12 12 kHz, all on) unless
    // `prepare` changes them.
    void connectDual(const std::function<void(sim::Amplifier&)>& prepare = {})
    {
        connect(1,
                [&](sim::Amplifier& a)
                {
                    a.tree().ampmode->mode().readText("DUAL");
                    if (prepare)
                        prepare(a);
                });
    }

    // Every band message of channel c's band b the amplifier received.
    std::vector<Band> sent(int c, int b) const
    {
        std::vector<Band> out;
        for (const auto& a : received(bandAddress(c, b)))
            out.push_back(parseBand(a));
        return out;
    }

    // The addresses of every band message received, in order.
    std::vector<std::string> bandMessages() const
    {
        std::vector<std::string> out;
        for (const auto& e : sim->log())
            if (e.address.find("/peq/") != std::string::npos)
                out.push_back(e.address);
        return out;
    }
};

TEST_F(PeqPage, ATypeChosenWhileTheFilterIsOffWaitsForTheButton)
{
    connectDual();
    CPeqTab::Column& col = column(2);
    click(col.filter); // "Filter 3" off
    settle();
    ASSERT_EQ(sent(0, 2).size(), 1u);
    EXPECT_EQ(sent(0, 2)[0].type, "OFF");
    EXPECT_FALSE(col.filter.getToggleState());
    EXPECT_TRUE(col.qual.isVisible());

    sim->clearLog();
    col.type.setSelectedId(3, juce::sendNotificationSync); // "LS12"
    settle();
    EXPECT_TRUE(bandMessages().empty());
    EXPECT_EQ(treeBand(0, 2).type().getStep(), 0);
    EXPECT_FALSE(col.qual.isVisible());
    EXPECT_FALSE(col.qualBox.isVisible());
    // The other columns keep their quality controls.
    EXPECT_TRUE(column(1).qual.isVisible());

    click(col.filter);
    settle();
    ASSERT_EQ(sent(0, 2).size(), 1u);
    EXPECT_EQ(sent(0, 2)[0].type, "LS12");
    EXPECT_NEAR(sent(0, 2)[0].freq, 250.0f, 0.1f);
    EXPECT_TRUE(col.filter.getToggleState());
    EXPECT_EQ(col.type.getText(), "LS12");
}

TEST_F(PeqPage, ABandReceivedOffKeepsItsTypeForSwitchingOn)
{
    // The built-in preset showed band 1 as "LS12"; the amplifier has it off.
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/peq/1 OFF 100.0 +3.0 0.7"); });
    CPeqTab::Column& col = column(0);
    EXPECT_FALSE(col.filter.getToggleState());
    EXPECT_EQ(col.type.getText(), "LS12");
    EXPECT_EQ(col.freqBox.getText(), "100.0");
    EXPECT_EQ(col.gain.getValue(), 3.0);
    EXPECT_EQ(col.qualBox.getText(), "0.7");
    EXPECT_FALSE(col.qual.isVisible());

    click(col.filter);
    settle();
    ASSERT_EQ(sent(0, 0).size(), 1u);
    EXPECT_EQ(sent(0, 0)[0].type, "LS12");
    EXPECT_NEAR(sent(0, 0)[0].gain, 3.0f, 1e-4f);
}

TEST_F(PeqPage, BypassTurnsOffExactlyTheBandsThatWereOnAndBack)
{
    connectDual();
    for (int b : {2, 3, 5, 6, 7})
        click(column(b).filter);
    settle();
    column(4).type.setSelectedId(4, juce::sendNotificationSync); // band 5 "HS6"
    settle();
    sim->clearLog();

    click(tab().bypass);
    settle();
    EXPECT_TRUE(tab().isBypassed());
    EXPECT_EQ(bandMessages(), (std::vector<std::string> {"/channel/1/peq/1", "/channel/1/peq/2",
                                                         "/channel/1/peq/5"}));
    for (int b : {0, 1, 4})
    {
        EXPECT_EQ(sent(0, b).at(0).type, "OFF") << b;
        EXPECT_FALSE(column(b).filter.getToggleState()) << b;
    }
    // While bypassed the Filter buttons do not toggle and send nothing.
    sim->clearLog();
    click(column(2).filter);
    settle();
    EXPECT_FALSE(column(2).filter.getToggleState());
    EXPECT_TRUE(bandMessages().empty());

    click(tab().bypass);
    settle();
    EXPECT_FALSE(tab().isBypassed());
    EXPECT_EQ(bandMessages(), (std::vector<std::string> {"/channel/1/peq/1", "/channel/1/peq/2",
                                                         "/channel/1/peq/5"}));
    EXPECT_EQ(sent(0, 0).at(0).type, "LS12");
    EXPECT_EQ(sent(0, 1).at(0).type, "PEQ");
    EXPECT_EQ(sent(0, 4).at(0).type, "HS6");
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(column(b).filter.getToggleState(), b == 0 || b == 1 || b == 4) << b;

    // The buttons toggle again.
    sim->clearLog();
    click(column(2).filter);
    settle();
    EXPECT_TRUE(column(2).filter.getToggleState());
    EXPECT_EQ(sent(0, 2).at(0).type, "PEQ");
}

// The amp mode is broadcast on connecting and on loading a preset: whatever
// it clears of a bypass, the Filter buttons must work again at once.
TEST_F(PeqPage, AnAmpModeBroadcastEndsBypassAndTheButtonsToggleAgain)
{
    connectDual();
    click(tab().bypass);
    settle();
    ASSERT_TRUE(tab().isBypassed());

    page().setChannelLayout(0);
    EXPECT_FALSE(tab().isBypassed());
    EXPECT_FALSE(tab().bypass.getToggleState());
    sim->clearLog();
    click(column(3).filter);
    settle();
    EXPECT_TRUE(column(3).filter.getToggleState());
    ASSERT_EQ(sent(0, 3).size(), 1u);
    EXPECT_EQ(sent(0, 3)[0].type, "PEQ");
}

TEST_F(PeqPage, ResetAsksThenSendsEachBandOnceAtItsDefaults)
{
    // Band 2 stored at +12 dB and off must not come on at +12 dB, not even
    // for a moment.
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/peq/2 OFF 125.0 +12.0 1.4"); });
    const juce::String textBefore = column(4).freqBox.getText();

    click(tab().reset);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Reset Parametric EQ...");
    EXPECT_EQ(dialogs.questions[0].message, "Do you want to reset all filters?");
    EXPECT_EQ(dialogs.questions[0].confirm, "Yes");
    EXPECT_EQ(dialogs.questions[0].cancel, "Cancel");
    dialogs.answer(false);
    settle();
    EXPECT_TRUE(bandMessages().empty());
    EXPECT_EQ(column(4).freqBox.getText(), textBefore);
    EXPECT_EQ(treeBand(0, 1).gain().getValue(), 12.0f);

    click(tab().reset);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    dialogs.answer(true);
    settle();
    const float frequencies[8] = {40, 100, 200, 400, 1000, 2000, 4000, 10000};
    const char* const texts[8] = {"40.0", "100.0", "200.0", "400.0",
                                  "1k00", "2k00",  "4k00",  "10k00"};
    for (int b = 0; b < 8; ++b)
    {
        SCOPED_TRACE(b);
        const auto messages = sent(0, b);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].type, "PEQ");
        EXPECT_NEAR(messages[0].freq, frequencies[b], frequencies[b] * 1e-4f);
        EXPECT_EQ(messages[0].gain, 0.0f);
        EXPECT_NEAR(messages[0].qual, 1.0f, 1e-6f);
        CPeqTab::Column& col = column(b);
        EXPECT_TRUE(col.filter.getToggleState());
        EXPECT_EQ(col.type.getText(), "PEQ");
        EXPECT_EQ(col.gain.getValue(), 0.0);
        EXPECT_EQ(col.qual.getValue(), 9.0);
        EXPECT_EQ(col.qualBox.getText(), "1.0");
        EXPECT_EQ(col.freqBox.getText(), texts[b]);
        EXPECT_TRUE(col.qual.isVisible());
    }
    EXPECT_TRUE(bandMessages().size() == 8u);
    EXPECT_EQ(tab().activeFrame.getBounds(), juce::Rectangle<int>(635, 22, 85, 240));
    EXPECT_FALSE(context.activity.peqActive[0]);
}

// With every band on again, a bypass engaged before Reset has nothing left
// to restore: the buttons must toggle again and "Bypass" must show off.
TEST_F(PeqPage, ResetEndsABypass)
{
    connectDual();
    click(tab().bypass);
    settle();
    ASSERT_TRUE(tab().isBypassed());
    click(tab().reset);
    dialogs.answer(true);
    settle();
    EXPECT_FALSE(tab().isBypassed());
    EXPECT_FALSE(tab().bypass.getToggleState());
    for (int b = 0; b < 8; ++b)
        EXPECT_TRUE(column(b).filter.getToggleState()) << b;
    sim->clearLog();
    click(column(3).filter);
    settle();
    EXPECT_FALSE(column(3).filter.getToggleState());
    ASSERT_EQ(sent(0, 3).size(), 1u);
    EXPECT_EQ(sent(0, 3)[0].type, "OFF");
}

// A quality nudge past the table's end changes nothing, yet sends the band
// again, as every nudge does on a band that is not "OFF".
TEST_F(PeqPage, AQualityNudgePastTheTableStillSendsTheBand)
{
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/peq/2 PEQ 125.0 +3.0 10.0"); });
    filter_drag& marker = *page().graph.getHandle(1);
    sim->clearLog();
    marker.wheel(1.0f);
    settle();
    EXPECT_EQ(treeBand(0, 1).qual().getValue(), 10.0f);
    ASSERT_EQ(sent(0, 1).size(), 1u);
    EXPECT_NEAR(sent(0, 1)[0].qual, 10.0f, 1e-4f);
    EXPECT_EQ(column(1).qual.getValue(), 18.0);
}

TEST_F(PeqPage, TypedFrequenciesTakeEffectOnReturnOnly)
{
    connectDual();
    CPeqTab::Column& col = column(4);
    const struct
    {
        const char* typed;
        const char* shown;
        int knob;
        float hz;
    } cases[] = {{"1000", "1k00", 339, 1000.0f},
                 {"99999", "20k00", 600, 20000.0f},
                 {"5", "20.0", 0, 20.0f},
                 {"  2k5 ", "2k50", 419, 2500.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        sim->clearLog();
        typeAndReturn(col.freqBox, c.typed);
        settle();
        EXPECT_EQ(col.freqBox.getText(), c.shown);
        EXPECT_EQ(col.freq.getValue(), c.knob);
        const auto messages = sent(0, 4);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NEAR(messages[0].freq, c.hz, c.hz * 1e-4f);
        EXPECT_EQ(messages[0].type, "PEQ");
        EXPECT_NEAR(messages[0].gain, 2.0f, 1e-4f);
    }

    // Text without a number changes nothing and sends nothing (it does not
    // read as 0, which would be 20 Hz).
    sim->clearLog();
    typeAndReturn(col.freqBox, "loud");
    settle();
    EXPECT_EQ(col.freqBox.getText(), "2k50");
    EXPECT_EQ(col.freq.getValue(), 419);
    EXPECT_TRUE(bandMessages().empty());

    // Leaving without Return discards the text; the band goes out as stored.
    typeAndLeave(col.freqBox, "3000");
    settle();
    EXPECT_EQ(col.freqBox.getText(), "2k50");
    ASSERT_EQ(sent(0, 4).size(), 1u);
    EXPECT_NEAR(sent(0, 4)[0].freq, 2500.0f, 0.5f);
}

TEST_F(PeqPage, KnobsSetTheBandAndTheFlagOfTheChannel)
{
    connectDual(
        [](sim::Amplifier& a)
        {
            for (int b = 1; b <= 8; ++b)
                a.setBlock("/channel/2/peq/" + std::to_string(b) + " PEQ 1k00 +0.0 1.0");
        });
    EXPECT_FALSE(context.activity.peqActive[1]);
    page().tabs.setCurrentTabIndex(1);
    EXPECT_EQ(context.responses.peqDisplayChannel, 1);
    CPeqTab::Column& col = column(2, 1);

    col.gain.setValue(4.5, juce::sendNotificationSync);
    settle();
    EXPECT_TRUE(context.activity.peqActive[1]);
    col.freq.setValue(300.0, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(col.freqBox.getText(), "632.4");
    col.qual.setValue(12.0, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(col.qualBox.getText(), "4.0");
    const auto messages = sent(1, 2);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_NEAR(messages[2].gain, 4.5f, 1e-4f);
    EXPECT_NEAR(messages[2].freq, 632.4f, 0.1f);
    EXPECT_NEAR(messages[2].qual, 4.0f, 1e-4f);
    EXPECT_EQ(tab(1).activeFrame.getBounds(), juce::Rectangle<int>(235, 22, 85, 240));
    EXPECT_EQ(context.responses.peqFrequency[1][2], treeBand(1, 2).freq().getValue());
    EXPECT_TRUE(received("/channel/1/peq/3").empty());

    col.gain.setValue(0.0, juce::sendNotificationSync);
    settle();
    EXPECT_FALSE(context.activity.peqActive[1]);
}

TEST_F(PeqPage, InStereoTheChannelATabDrivesBothButSendsOnlyChannelOne)
{
    connectDual();
    // A typed frequency between whole steps must reach channel B exactly.
    typeAndReturn(column(4).freqBox, "1000");
    settle();
    page().setChannelLayout(1);
    EXPECT_EQ(page().tabs.getNumTabs(), 1);
    EXPECT_EQ(page().tabs.getTabNames()[0], "Channel A+B");
    EXPECT_TRUE(tab().isLinked());
    for (int b = 0; b < 8; ++b)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(treeBand(1, b).param(static_cast<std::size_t>(i)).rawStep(),
                      treeBand(0, b).param(static_cast<std::size_t>(i)).rawStep())
                << b << " " << i;
    EXPECT_EQ(treeBand(1, 4).freq().getValue(), treeBand(0, 4).freq().getValue());

    sim->clearLog();
    column(1).gain.setValue(-6.0, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(treeBand(1, 1).gain().getValue(), -6.0f);
    EXPECT_EQ(bandMessages(), std::vector<std::string> {"/channel/1/peq/2"});

    // BRIDGE names the one tab "Channel A"; DUAL brings channel B back,
    // showing channel B's tree.
    page().setChannelLayout(4);
    EXPECT_EQ(page().tabs.getTabNames()[0], "Channel A");
    EXPECT_EQ(page().tabs.getNumTabs(), 1);
    page().setChannelLayout(0);
    EXPECT_EQ(page().tabs.getNumTabs(), 2);
    EXPECT_EQ(page().tabs.getTabNames()[1], "Channel B");
    EXPECT_FALSE(tab().isLinked());
    EXPECT_EQ(column(1, 1).gain.getValue(), -6.0);
    sim->clearLog();
    column(1).gain.setValue(3.0, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(treeBand(1, 1).gain().getValue(), -6.0f);
}

// In STEREO the amplifier applies channel 1's bands to both outputs, so the
// editor keeps channel B's tree equal to channel A's after every kind of
// edit, and sends channel 1 only.
TEST_F(PeqPage, InStereoEveryEditOfABandReachesChannelBsTreeExactly)
{
    connectDual();
    page().setChannelLayout(1);
    ASSERT_TRUE(tab().isLinked());
    const struct
    {
        const char* name;
        std::function<void()> edit;
    } edits[] = {
        {"frequency knob", [this] { column(2).freq.setValue(250, juce::sendNotificationSync); }},
        {"quality knob", [this] { column(2).qual.setValue(13, juce::sendNotificationSync); }},
        {"typed frequency", [this] { typeAndReturn(column(2).freqBox, "1001"); }},
        {"marker across", [this] { page().graph.getHandle(2)->dragTo(6 + 3, 6); }},
        {"marker wheel", [this] { page().graph.getHandle(2)->wheel(-1.0f); }},
        {"reset",
         [this]
         {
             click(tab().reset);
             dialogs.answer(true);
         }},
    };
    for (const auto& e : edits)
    {
        SCOPED_TRACE(e.name);
        sim->clearLog();
        e.edit();
        settle();
        for (int b = 0; b < 8; ++b)
            for (std::size_t i = 0; i < 4; ++i)
                EXPECT_EQ(treeBand(1, b).param(i).rawStep(), treeBand(0, b).param(i).rawStep())
                    << "band " << b << " parameter " << i;
        EXPECT_FALSE(bandMessages().empty());
        for (const auto& address : bandMessages())
            EXPECT_EQ(address.rfind("/channel/1/", 0), 0u) << address;
    }
}

TEST_F(PeqPage, MarkersNudgeTheBandOfTheTabOnShow)
{
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/peq/4 OFF 500.0 -3.0 1.0"); });
    filter_drag& off = *page().graph.getHandle(3);

    // The wheel on an "OFF" band's marker does nothing...
    off.wheel(1.0f);
    off.wheel(-1.0f);
    settle();
    EXPECT_TRUE(bandMessages().empty());
    // ...nor does a vertical drag, while a horizontal one moves it.
    const int stepBefore = treeBand(0, 3).freq().getStep();
    off.dragTo(6, 8);
    settle();
    EXPECT_TRUE(bandMessages().empty());
    off.dragTo(6 + 5, 8);
    settle();
    EXPECT_EQ(treeBand(0, 3).freq().getStep(), stepBefore + 5);
    ASSERT_EQ(sent(0, 3).size(), 1u);
    EXPECT_EQ(sent(0, 3)[0].type, "OFF");
    EXPECT_EQ(column(3).freq.getValue(), stepBefore + 5);

    // Band 2 (PEQ, Q 1.4): the wheel steps along the table, a drag down by
    // 4 pixels lowers the gain by 1 dB.
    filter_drag& on = *page().graph.getHandle(1);
    sim->clearLog();
    on.wheel(0.0f);
    settle();
    EXPECT_EQ(treeBand(0, 1).qual().getValue(), 3.0f);
    EXPECT_EQ(column(1).qual.getValue(), 11.0);
    on.dragTo(6, 4);
    settle();
    EXPECT_EQ(treeBand(0, 1).gain().getValue(), -3.0f);
    EXPECT_EQ(column(1).gain.getValue(), -3.0);
    EXPECT_EQ(context.responses.selectedHandle, 1);
    ASSERT_EQ(sent(0, 1).size(), 2u);
    EXPECT_NEAR(sent(0, 1)[1].gain, -3.0f, 1e-4f);

    // The channel B tab on show: the same marker acts on channel B.
    page().tabs.setCurrentTabIndex(1);
    sim->clearLog();
    on.dragTo(6 - 2, 4);
    settle();
    EXPECT_EQ(bandMessages(), std::vector<std::string> {"/channel/2/peq/2"});
}

TEST_F(PeqPage, ADestroyedPageLeavesNothingBehindInTheContext)
{
    EXPECT_EQ(context.responses.peqGraph, &page().graph);
    EXPECT_EQ(context.ampModeFollowers[AppContext::peqFollower], &page());
    panel.reset();
    EXPECT_EQ(context.responses.peqGraph, nullptr);
    EXPECT_EQ(context.ampModeFollowers[AppContext::peqFollower], nullptr);
    // A band that changes later reaches no page.
    treeBand(0, 0).gain().setValue(6.0f);
    treeBand(0, 0).sendChangeMessage();
    pumpFor(20);
}

} // namespace

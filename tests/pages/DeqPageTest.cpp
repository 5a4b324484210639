#include <sstream>

#include "CDeqPage.h"
#include "PageFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

std::string blockAddress(int channel, int band, const char* block)
{
    return "/channel/" + std::to_string(channel + 1) + "/deq/" + std::to_string(band + 1) + "/" +
           block;
}

class DeqPage : public PageFixture
{
protected:
    CDeqPage& page() { return *context.deqPage; }
    CDeqTab& tab(int c = 0) { return page().tab(c); }
    CDeqTab::Band& band(int b, int c = 0) { return tab(c).band(b); }
    Cdeq& treeBand(int c, int b)
    {
        return *context.root->channels[static_cast<std::size_t>(c)]
                    ->deq->bands[static_cast<std::size_t>(b)];
    }

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

    // The addresses of every dynamic band message received, in order.
    std::vector<std::string> deqMessages() const
    {
        std::vector<std::string> out;
        for (const auto& e : sim->log())
            if (e.address.find("/deq/") != std::string::npos)
                out.push_back(e.address);
        return out;
    }
};

TEST_F(DeqPage, ATypeChosenWhileTheBandIsOffAppliesAtOnceAndTheButtonWaits)
{
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/deq/1/filt OFF 1000 1.0"); });
    CDeqTab::Band& x = band(0);
    ASSERT_FALSE(x.deq.getToggleState());
    sim->clearLog();
    x.type.setSelectedId(5, juce::sendNotificationSync); // "HP12"
    EXPECT_FALSE(x.deq.getToggleState());
    settle();
    const auto filt = received(blockAddress(0, 0, "filt"));
    ASSERT_EQ(filt.size(), 1u);
    EXPECT_NE(filt[0].find("HP12"), std::string::npos) << filt[0];
    EXPECT_EQ(deqMessages().size(), 1u);
    EXPECT_EQ(treeBand(0, 0).filt->type().getStep(), 5);
    EXPECT_FALSE(x.qual.isVisible());

    // The button follows when the block next reports.
    treeBand(0, 0).filt->sendChangeMessage();
    pumpFor(30);
    EXPECT_TRUE(x.deq.getToggleState());
    EXPECT_EQ(x.type.getText(), "HP12");
}

TEST_F(DeqPage, TheRatioBoxShowsTheFirstRatioAtLeastTheReceivedOne)
{
    const struct
    {
        const char* ratio;
        const char* shown;
    } cases[] = {{"2.0", "1:2.0"}, {"4.0", "1:5.0"}, {"10.0", "1:10"}, {"12.0", ""}};
    connectDual();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.ratio);
        auto& comp = *treeBand(0, 1).comp;
        comp.ratio().readText(c.ratio);
        comp.sendChangeMessage();
        pumpFor(30);
        EXPECT_EQ(band(1).ratio.getText(), c.shown);
    }
    // A ratio above 10 stays in the parameter and goes out unchanged.
    sim->clearLog();
    band(1).gain.setValue(-7.5, juce::sendNotificationSync);
    settle();
    const auto comp = received(blockAddress(0, 1, "comp"));
    ASSERT_EQ(comp.size(), 1u);
    EXPECT_NE(comp[0].find(" 12"), std::string::npos) << comp[0];
    EXPECT_EQ(treeBand(0, 1).comp->ratio().getValue(), 12.0f);
}

TEST_F(DeqPage, QualityControlsShowOnlyForBandPass)
{
    connectDual();
    const struct
    {
        int id;
        bool shown;
    } cases[] = {{2, false}, {3, false}, {4, false}, {5, false}, {1, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        band(0).type.setSelectedId(c.id, juce::sendNotificationSync);
        EXPECT_EQ(band(0).qual.isVisible(), c.shown);
        EXPECT_EQ(band(0).qualBox.isVisible(), c.shown);
        EXPECT_EQ(band(0).qualLabel.isVisible(), c.shown);
    }
}

TEST_F(DeqPage, LinkingCopiesExactStepsAndBridgeDrivesChannelTwo)
{
    connectDual();
    typeAndReturn(band(0).freqBox, "1000");
    settle();
    band(1).qual.setValue(3.0, juce::sendNotificationSync);
    page().setChannelLayout(4);
    EXPECT_EQ(page().tabs.getNumTabs(), 1);
    EXPECT_EQ(page().tabs.getTabNames()[0], "Channel A");
    EXPECT_TRUE(tab().isLinked());
    for (int b = 0; b < 2; ++b)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(treeBand(1, b).filt->param(static_cast<std::size_t>(i)).rawStep(),
                      treeBand(0, b).filt->param(static_cast<std::size_t>(i)).rawStep());
    EXPECT_EQ(treeBand(1, 0).filt->freq().getValue(), treeBand(0, 0).filt->freq().getValue());
    EXPECT_NEAR(treeBand(1, 0).filt->freq().getValue(), 1000.0f, 0.01f);

    // Typed while linked: channel B's copy takes the exact step too.
    typeAndReturn(band(1).freqBox, "1000");
    settle();
    EXPECT_EQ(treeBand(1, 1).filt->freq().getValue(), treeBand(0, 1).filt->freq().getValue());

    sim->clearLog();
    band(1).gain.setValue(-4.5, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(treeBand(1, 1).comp->mgain().getValue(), -4.5f);
    EXPECT_EQ(deqMessages(), std::vector<std::string> {blockAddress(0, 1, "comp")});
}

} // namespace

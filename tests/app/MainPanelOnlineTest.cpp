// The main panel's gain column against a virtual amplifier: what the user's
// clicks and typing send, and what closing sends.
#include "../pages/PageFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

class OnlinePanel : public PageFixture
{
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        connect(0); // the amplifier's gains are -12 dB, not muted
        ASSERT_TRUE(pumpUntil([&] { return panel->gainBText.getText() == "-12.0"; }));
    }

    std::string lastGain()
    {
        const auto sent = received("/gain");
        return sent.empty() ? std::string() : sent.back();
    }
};

TEST_F(OnlinePanel, MuteButtonsSendTheirFlagsAndLinkSendsNothing)
{
    const struct
    {
        juce::Button* button;
        const char* sent;
    } clicks[] = {{&panel->muteAButton, ",ffii -12 -12 1 0"},
                  {&panel->muteBButton, ",ffii -12 -12 1 1"},
                  {&panel->muteAButton, ",ffii -12 -12 0 1"},
                  {&panel->muteBButton, ",ffii -12 -12 0 0"}};
    for (const auto& c : clicks)
    {
        click(*c.button);
        settle();
        EXPECT_EQ(lastGain(), c.sent);
    }
    EXPECT_FALSE(amp->muted(0));
    EXPECT_EQ(received("/gain").size(), 4u);

    sim->clearLog();
    click(panel->linkButton);
    click(panel->linkButton);
    pumpFor(200);
    EXPECT_TRUE(sim->log().empty());
    EXPECT_FALSE(panel->isLinked());
}

TEST_F(OnlinePanel, GainBoxesSendOnReturnAndOnLeaving)
{
    typeAndReturn(panel->gainAText, "-7.3");
    settle();
    EXPECT_EQ(lastGain(), ",ffii -7.5 -12 0 0");
    EXPECT_EQ(amp->gain(0), -7.5f);
    EXPECT_EQ(panel->gainAText.getText(), "-7.5");

    // Leaving without Return: the typed text goes, the fader's value is sent
    // again and shown.
    sim->clearLog();
    typeAndLeave(panel->gainBText, "-3");
    settle();
    EXPECT_EQ(received("/gain"), std::vector<std::string> {",ffii -7.5 -12 0 0"});
    EXPECT_EQ(panel->gainBText.getText(), "-12.0");
    EXPECT_EQ(amp->gain(1), -12.0f);
}

TEST_F(OnlinePanel, ClosingWhileConnectedSendsNothing)
{
    settle();
    sim->clearLog();
    // What closing the window does: the panel, with the pages and the
    // communicator, goes at once.
    panel.reset();
    pumpFor(300);
    EXPECT_TRUE(sim->log().empty()) << sim->log().front().address;
}

} // namespace

#include <cmath>

#include "EditorFixture.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

class MainPanel : public EditorFixture
{
protected:
    juce::StringArray tabNames() { return panel->getTabs().getTabNames(); }

    void press(juce::TextEditor& e, const juce::String& text)
    {
        e.setText(text, false);
        e.keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
        pumpFor(20);
    }
};

TEST_F(MainPanel, StartsWithoutADevice)
{
    EXPECT_EQ(panel->getTitle(), "[not connected!]");
    EXPECT_EQ(panel->getName(), "Didazozuzo");
    EXPECT_EQ(panel->getWidth(), 912);
    EXPECT_EQ(panel->getHeight(), 516);
    EXPECT_EQ(tabNames(), juce::StringArray({"  Configuration  ", "  Filter/Crossover  ",
                                             "  Parametric EQ  ", "  Dynamic EQ  ", "  Setup  "}));
    EXPECT_EQ(panel->getTabs().getCurrentTabIndex(), 4);
    EXPECT_EQ(panel->getTabs().getTabContentComponent(4)->getBounds().getWidth(), 720);
    EXPECT_EQ(panel->getTabs().getTabContentComponent(4)->getHeight(), 470);
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             &panel->gainA, &panel->gainB, &panel->muteAButton, &panel->muteBButton,
             &panel->linkButton, &panel->gainAText, &panel->gainBText, &panel->dbLabel})
        EXPECT_FALSE(c->isVisible()) << c->getName();
    EXPECT_TRUE(panel->inputALabel.isVisible());
    EXPECT_TRUE(panel->inputBLabel.isVisible());
    EXPECT_EQ(panel->inputsGroup.getHeight(), 172);
    EXPECT_EQ(panel->gainA.getValue(), -60.0);
    EXPECT_EQ(panel->gainAText.getText(), "0.0");
}

TEST_F(MainPanel, TheFamilyDecidesTabsAndGainControls)
{
    panel->setDeviceModel(1);
    EXPECT_EQ(panel->getTitle(), "[Device: VN-880]");
    ASSERT_EQ(tabNames().size(), 6);
    EXPECT_EQ(tabNames()[5], "Utility");
    EXPECT_TRUE(panel->gainA.isVisible());
    EXPECT_TRUE(panel->linkButton.isVisible());
    EXPECT_FALSE(panel->inputALabel.isVisible());
    EXPECT_EQ(panel->inputsGroup.getHeight(), 226);

    panel->setDeviceModel(1); // no second Utility tab
    EXPECT_EQ(tabNames().size(), 6);

    panel->setDeviceModel(6);
    EXPECT_EQ(panel->getTitle(), "[Device: ZL-900-DX]");
    EXPECT_EQ(tabNames().size(), 5);
    EXPECT_FALSE(panel->gainA.isVisible());
    EXPECT_TRUE(panel->inputALabel.isVisible());
    EXPECT_EQ(panel->inputsGroup.getHeight(), 172);
}

TEST_F(MainPanel, LosingTheUtilityTabWhileItShowsGoesToSetup)
{
    auto& tabs = panel->getTabs();
    const struct
    {
        int shown;    // the tab the user is on when the amplifier goes
        int expected; // the tab shown afterwards
    } cases[] = {{5, 4}, {2, 2}, {4, 4}};
    for (const auto& c : cases)
    {
        panel->setDeviceModel(0);
        tabs.setCurrentTabIndex(c.shown);
        panel->setDeviceModel(7);
        EXPECT_EQ(tabs.getCurrentTabIndex(), c.expected) << "from tab " << c.shown;
        auto* page = tabs.getCurrentContentComponent();
        ASSERT_NE(page, nullptr) << "from tab " << c.shown;
        EXPECT_TRUE(page->isVisible());
        EXPECT_EQ(page->getParentComponent(), &tabs);
    }
    EXPECT_EQ(tabs.getCurrentContentComponent(), static_cast<juce::Component*>(context.setupPage));
}

TEST_F(MainPanel, LinkedGainsKeepTheirDistanceInsideTheRange)
{
    panel->setDeviceModel(0);
    panel->setGainState(-10.0f, -20.0f, false, false);
    panel->linkButton.triggerClick();
    ASSERT_TRUE(pumpUntil([&] { return panel->isLinked(); }));
    EXPECT_EQ(panel->getLinkOffset(), 10.0);

    panel->gainA.setValue(-55.0, juce::sendNotificationAsync);
    pumpFor(50);
    EXPECT_EQ(panel->gainA.getValue(), -50.0);
    EXPECT_EQ(panel->gainB.getValue(), -60.0);

    panel->gainB.setValue(-5.0, juce::sendNotificationAsync);
    pumpFor(50);
    EXPECT_EQ(panel->gainB.getValue(), -10.0);
    EXPECT_EQ(panel->gainA.getValue(), 0.0);

    // The value boxes wait for the amplifier's answer.
    EXPECT_EQ(panel->gainAText.getText(), "-10.0");
}

TEST_F(MainPanel, ValueBoxesSnapToTheSliderAndRestoreOnFocusLoss)
{
    panel->setDeviceModel(0);
    press(panel->gainAText, "-7.3");
    EXPECT_EQ(panel->gainA.getValue(), -7.5);
    EXPECT_EQ(panel->gainAText.getText(), "-7.5");

    // Blanks around a number are skipped; out of range clamps.
    const struct
    {
        const char* text;
        double value;
    } numbers[] = {{" -5.0", -5.0}, {"-12.0 ", -12.0}, {"-99", -60.0}, {"+3", 0.0}};
    for (const auto& c : numbers)
    {
        press(panel->gainBText, c.text);
        EXPECT_EQ(panel->gainB.getValue(), c.value) << c.text;
    }

    // Text without a number leaves the fader where it was (not 0 dB, full
    // gain) and shows its value again.
    panel->setGainState(-20.0f, -20.0f, false, false);
    for (const char* text : {"no number", "", "  ", "-"})
    {
        press(panel->gainBText, text);
        EXPECT_EQ(panel->gainB.getValue(), -20.0) << text;
        EXPECT_EQ(panel->gainBText.getText(), "-20.0") << text;
    }

    panel->gainAText.setText("-33", false);
    panel->gainAText.onFocusLost();
    EXPECT_EQ(panel->gainAText.getText(), "-20.0");
}

TEST_F(MainPanel, GainAnswersAreShownWithinTheRange)
{
    panel->setDeviceModel(0);
    panel->setGainState(-70.0f, -3.25f, true, false);
    EXPECT_EQ(panel->gainA.getValue(), -60.0);
    EXPECT_EQ(panel->gainAText.getText(), "-60.0");
    EXPECT_EQ(panel->gainB.getValue(), -3.0); // half-way goes up
    EXPECT_TRUE(panel->muteAButton.getToggleState());
    EXPECT_FALSE(panel->muteBButton.getToggleState());
    EXPECT_EQ(panel->getLinkOffset(), -57.0);
}

TEST_F(MainPanel, MeterLevelsFromLinearValues)
{
    const struct
    {
        float x;
        double level;
    } cases[] = {{1.0f, 1},      {0.5f, -4},           {0.0f, -60},
                 {-1.0f, -60},   {std::nanf(""), -60}, {INFINITY, -60},
                 {0.0009f, -59}, {0.0008f, -60},       {2.0f, 7}};
    for (const auto& c : cases)
    {
        panel->showMeterLevels(c.x, c.x, c.x, c.x);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(panel->meter(i).level, c.level) << c.x;
    }
}

juce::Colour pixel(const juce::Image& image, int x, int y)
{
    return image.getPixelAt(x, y);
}

TEST(Meters, SegmentsLightFromTheBottomStrictlyAboveTheirThreshold)
{
    led_meter meter("m");
    meter.segments = 21;
    meter.setSize(14, 105);
    auto litSegments = [&](double level)
    {
        meter.level = level;
        const auto image = meter.createComponentSnapshot(meter.getLocalBounds(), false);
        int lit = 0;
        for (int i = 0; i < 21; ++i)
        {
            const auto c = pixel(image, 7, i * 5 + 1);
            const bool isLit = c == juce::Colour(i < 3 ? 0xfffff44f : 0xfffdbb30);
            EXPECT_TRUE(isLit || c == juce::Colours::black)
                << "segment " << i << " " << c.toString();
            lit += isLit ? 1 : 0;
        }
        // The 2-pixel gap shows the wash.
        EXPECT_EQ(pixel(image, 7, 3).getAlpha(), 0x20);
        EXPECT_EQ(pixel(image, 7, 4).getAlpha(), 0x20);
        return lit;
    };
    EXPECT_EQ(litSegments(0), 20);
    EXPECT_EQ(litSegments(1), 21);
    EXPECT_EQ(litSegments(-60), 0);
    EXPECT_EQ(litSegments(-59), 1);
    EXPECT_EQ(litSegments(-100), 0);

    // The lit block grows from the bottom.
    meter.level = -30;
    const auto image = meter.createComponentSnapshot(meter.getLocalBounds(), false);
    EXPECT_EQ(pixel(image, 7, 20 * 5 + 1), juce::Colour(0xfffdbb30));
    EXPECT_EQ(pixel(image, 7, 1), juce::Colours::black);
}

TEST(Leds, ShowTheirStateWhenRepainted)
{
    led_clip led("l");
    led.setSize(14, 3);
    EXPECT_EQ(led.createComponentSnapshot(led.getLocalBounds(), false).getPixelAt(5, 1),
              juce::Colours::black);
    led.state = true;
    EXPECT_EQ(led.createComponentSnapshot(led.getLocalBounds(), false).getPixelAt(5, 1),
              juce::Colour(0xffff0000));
}

} // namespace

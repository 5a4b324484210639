#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "AppContext.h"
#include "Controls.h"
#include "led_meter.h"

namespace velmora
{

// The main panel: the six pages in tabs on the left, and a column on the
// right with the level meters, the clip and limit LEDs and, for the Vorn
// series, the input gains with mute and link. Creates the pages and the
// communicator.
class RemoteControl : public juce::Component,
                      public MainPanelView,
                      public juce::Slider::Listener,
                      public juce::Button::Listener
{
public:
    static constexpr int panelWidth = 912;
    static constexpr int panelHeight = 516;
    static const std::array<const char*, 8> deviceLabels;

    // `window` receives the title changes and the icon; it may be null.
    RemoteControl(juce::DocumentWindow* window, AppContext& context);
    ~RemoteControl() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    void setDeviceModel(int modelIndex) override;
    void setGainState(float gainA, float gainB, bool muteA, bool muteB) override;
    void showMeterLevels(float a, float b, float c, float d) override;
    void setLeds(bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB) override;

    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;

    // For tests and the pages.
    const juce::String& getTitle() const { return title; }
    int getModelIndex() const { return modelIndex; }
    juce::TabbedComponent& getTabs() { return tabs; }
    bool isLinked() const { return link; }
    double getLinkOffset() const { return linkOffset; }
    // Meters and LEDs: input A, input B, output A, output B.
    led_meter& meter(int i) { return *meters[static_cast<std::size_t>(i)]; }
    led_clip& led(int i) { return *leds[static_cast<std::size_t>(i)]; }

    juce::GroupComponent outputsGroup {"new group", "Outputs"}, inputsGroup {"new group", "Inputs"};
    juce::Slider gainA {"gainA"}, gainB {"gainB"};
    juce::TextButton muteAButton {"mutegainA"}, muteBButton {"mutegainB"}, linkButton {"linkgain"};
    kit::ValueBox gainAText {"gain text editor"}, gainBText {"gain text editor"};
    juce::Label outputALabel, outputBLabel, inputBLabel, inputALabel, dbLabel, versionLabel;

private:
    void queueGain();
    void setupLabel(juce::Label& label, const juce::String& text);

    juce::DocumentWindow* window;
    AppContext& context;
    int modelIndex = 7;
    bool muteA = false;
    bool muteB = false;
    bool link = false;
    double linkOffset = 0.0;
    juce::String title;

    juce::TabbedComponent tabs {juce::TabbedButtonBar::TabsAtTop};
    std::unique_ptr<class CUtilityPage> utilityPage;
    std::unique_ptr<osc::OscCom> com;
    std::array<std::unique_ptr<led_meter>, 4> meters;
    std::array<std::unique_ptr<led_clip>, 4> leds;
    juce::Image header, vornLogo, vornBadge, zephylLogo, zephylBadge, scale;
};

} // namespace velmora

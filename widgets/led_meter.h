#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmora
{

// A vertical bar of LED-like segments showing a level in dB. The owner sets
// the members and repaints; the meter does not react to input.
class led_meter : public juce::Component
{
public:
    explicit led_meter(const juce::String& name) : juce::Component(name)
    {
        setInterceptsMouseClicks(false, false);
    }

    void paint(juce::Graphics& g) override;

    double minDb = -60.0;
    double maxDb = 0.0;
    double level = -100.0;
    juce::Colour litColour {0xfffdbb30};
    juce::Colour darkColour {0xff000000};
    juce::Colour litTopColour {0xfffff44f};
    juce::Colour darkTopColour {0xff000000};
    int segments = 10;
};

// One LED: lit or dark. The owner sets `state` and repaints.
class led_clip : public juce::Component
{
public:
    explicit led_clip(const juce::String& name) : juce::Component(name)
    {
        setInterceptsMouseClicks(false, false);
    }

    void paint(juce::Graphics& g) override { g.fillAll(state ? litColour : darkColour); }

    juce::Colour litColour {0xffff0000};
    juce::Colour darkColour {0xff000000};
    bool state = false;
};

} // namespace velmora

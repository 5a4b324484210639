#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmora::kit
{

// One look for every page, from the panel's palette: dark buttons with amber
// text (grey when on), amber knobs on dark red, grey labels, grey group
// outlines, value boxes with grey text on a transparent ground. A page sets
// it on itself and its controls inherit it; colours set on one control still
// win. The running editor's context owns the one look, which so outlives
// every component that uses it.
class PageLook : public juce::LookAndFeel_V4
{
public:
    PageLook();

    // A knob's own value box: typed text takes effect on Return only; leaving
    // it restores the shown value.
    juce::Label* createSliderTextBox(juce::Slider& slider) override;
    // A knob: a dark cap with a pointer, an amber arc for the value on a dark
    // red track.
    void drawRotarySlider(juce::Graphics& g, int x, int y, int width, int height, float position,
                          float startAngle, float endAngle, juce::Slider& slider) override;
    juce::PopupMenu::Options getOptionsForComboBoxPopupMenu(juce::ComboBox& box,
                                                            juce::Label& label) override;
};

// For the narrow lists of the EQ pages (60 pixels and less): a smaller font
// and a narrower arrow keep texts such as "LS12" or "1:5.0" whole.
class CompactListLook : public PageLook
{
public:
    juce::Font getComboBoxFont(juce::ComboBox&) override { return juce::Font(13.0f); }
    void positionComboBoxText(juce::ComboBox& box, juce::Label& label) override;
    void drawComboBox(juce::Graphics& g, int width, int height, bool down, int buttonX, int buttonY,
                      int buttonW, int buttonH, juce::ComboBox& box) override;
};

} // namespace velmora::kit

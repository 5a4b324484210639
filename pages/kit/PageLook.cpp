#include "PageLook.h"

#include "Palette.h"

namespace velmora::kit
{
namespace
{

// A knob's value box: Return commits, anything else restores.
class KnobValueBox : public juce::Label
{
public:
    void textEditorTextChanged(juce::TextEditor& editor) override
    {
        if (! (hasKeyboardFocus(true) || isCurrentlyBlockedByAnotherModalComponent()))
            textEditorEscapeKeyPressed(editor);
    }
    void textEditorFocusLost(juce::TextEditor& editor) override { textEditorTextChanged(editor); }

    juce::TextEditor* createEditorComponent() override
    {
        auto* editor = juce::Label::createEditorComponent();
        editor->setPopupMenuEnabled(false);
        return editor;
    }
};

} // namespace

PageLook::PageLook()
{
    using namespace palette;
    const juce::Colour clear = juce::Colours::transparentBlack;

    setColour(juce::ResizableWindow::backgroundColourId, juce::Colours::black);
    setColour(juce::TextButton::buttonColourId, panel);
    setColour(juce::TextButton::buttonOnColourId, panel);
    setColour(juce::TextButton::textColourOffId, amber);
    setColour(juce::TextButton::textColourOnId, text);
    setColour(juce::ComboBox::outlineColourId, outline);

    setColour(juce::Slider::rotarySliderFillColourId, amber);
    setColour(juce::Slider::rotarySliderOutlineColourId, knobBack);
    setColour(juce::Slider::thumbColourId, knobBack);
    setColour(juce::Slider::textBoxTextColourId, text);
    setColour(juce::Slider::textBoxBackgroundColourId, clear);
    setColour(juce::Slider::textBoxOutlineColourId, boxOutline);
    setColour(juce::Slider::textBoxHighlightColourId, amber.withAlpha(0.4f));

    setColour(juce::Label::textColourId, text);
    setColour(juce::Label::backgroundColourId, clear);
    setColour(juce::Label::outlineColourId, clear);
    setColour(juce::GroupComponent::outlineColourId, outline);
    setColour(juce::GroupComponent::textColourId, text);

    setColour(juce::TextEditor::textColourId, text);
    setColour(juce::TextEditor::backgroundColourId, clear);
    setColour(juce::TextEditor::outlineColourId, boxOutline);
    setColour(juce::TextEditor::focusedOutlineColourId, amber.withAlpha(0.6f));
    setColour(juce::TextEditor::highlightColourId, amber.withAlpha(0.4f));
    setColour(juce::TextEditor::highlightedTextColourId, juce::Colours::white);
    setColour(juce::CaretComponent::caretColourId, amber);

    setColour(juce::ComboBox::backgroundColourId, panel);
    setColour(juce::ComboBox::textColourId, text);
    setColour(juce::ComboBox::arrowColourId, amber);
    setColour(juce::ComboBox::buttonColourId, panel);
    setColour(juce::ComboBox::focusedOutlineColourId, amber.withAlpha(0.6f));
    setColour(juce::PopupMenu::backgroundColourId, juce::Colour(0xff222222));
    setColour(juce::PopupMenu::textColourId, text);
    setColour(juce::PopupMenu::highlightedBackgroundColourId, panel);
    setColour(juce::PopupMenu::highlightedTextColourId, amber);

    setColour(juce::ToggleButton::textColourId, text);
    setColour(juce::ToggleButton::tickColourId, amber);
    setColour(juce::ToggleButton::tickDisabledColourId, outline);

    setColour(juce::TooltipWindow::backgroundColourId, panel);
    setColour(juce::TooltipWindow::textColourId, text);
    setColour(juce::TooltipWindow::outlineColourId, outline);

    setColour(juce::TabbedButtonBar::tabTextColourId, text);
    setColour(juce::TabbedButtonBar::frontTextColourId, amber);
}

juce::Label* PageLook::createSliderTextBox(juce::Slider& slider)
{
    auto* box = new KnobValueBox();
    box->setJustificationType(juce::Justification::centred);
    box->setKeyboardType(juce::TextInputTarget::decimalKeyboard);
    box->setColour(juce::Label::textColourId, slider.findColour(juce::Slider::textBoxTextColourId));
    box->setColour(juce::Label::backgroundColourId,
                   slider.findColour(juce::Slider::textBoxBackgroundColourId));
    box->setColour(juce::Label::outlineColourId,
                   slider.findColour(juce::Slider::textBoxOutlineColourId));
    box->setColour(juce::TextEditor::textColourId,
                   slider.findColour(juce::Slider::textBoxTextColourId));
    box->setColour(juce::TextEditor::backgroundColourId, juce::Colours::black);
    box->setColour(juce::TextEditor::outlineColourId,
                   slider.findColour(juce::Slider::textBoxOutlineColourId));
    box->setColour(juce::TextEditor::highlightColourId,
                   slider.findColour(juce::Slider::textBoxHighlightColourId));
    return box;
}

void PageLook::drawRotarySlider(juce::Graphics& g, int x, int y, int width, int height,
                                float position, float startAngle, float endAngle,
                                juce::Slider& slider)
{
    const auto area = juce::Rectangle<int>(x, y, width, height).toFloat().reduced(2.0f);
    const float radius = juce::jmin(area.getWidth(), area.getHeight()) / 2.0f;
    const auto centre = area.getCentre();
    const float track = juce::jmax(2.5f, radius * 0.22f);
    const float arcRadius = radius - track / 2.0f;
    const float angle = startAngle + position * (endAngle - startAngle);
    const bool enabled = slider.isEnabled();

    juce::Path back;
    back.addCentredArc(centre.x, centre.y, arcRadius, arcRadius, 0.0f, startAngle, endAngle, true);
    g.setColour(slider.findColour(juce::Slider::rotarySliderOutlineColourId)
                    .withMultipliedAlpha(enabled ? 1.0f : 0.5f));
    g.strokePath(back, juce::PathStrokeType(track, juce::PathStrokeType::curved,
                                            juce::PathStrokeType::butt));
    if (position > 0.0f)
    {
        juce::Path value;
        value.addCentredArc(centre.x, centre.y, arcRadius, arcRadius, 0.0f, startAngle, angle,
                            true);
        g.setColour(slider.findColour(juce::Slider::rotarySliderFillColourId)
                        .withMultipliedAlpha(enabled ? 1.0f : 0.5f));
        g.strokePath(value, juce::PathStrokeType(track, juce::PathStrokeType::curved,
                                                 juce::PathStrokeType::butt));
    }

    const float cap = radius - track - 1.5f;
    g.setColour(juce::Colour(0xff262626));
    g.fillEllipse(centre.x - cap, centre.y - cap, cap * 2.0f, cap * 2.0f);
    g.setColour(juce::Colour(0xff4a4a4a));
    g.drawEllipse(centre.x - cap, centre.y - cap, cap * 2.0f, cap * 2.0f, 1.0f);
    const auto tip = centre.getPointOnCircumference(cap - 1.0f, angle);
    const auto from = centre.getPointOnCircumference(cap * 0.25f, angle);
    g.setColour(enabled ? palette::amber : palette::text);
    g.drawLine(from.x, from.y, tip.x, tip.y, juce::jmax(1.5f, radius * 0.1f));
}

juce::PopupMenu::Options PageLook::getOptionsForComboBoxPopupMenu(juce::ComboBox& box,
                                                                  juce::Label& label)
{
    return juce::LookAndFeel_V4::getOptionsForComboBoxPopupMenu(box, label)
        .withStandardItemHeight(20);
}

void CompactListLook::positionComboBoxText(juce::ComboBox& box, juce::Label& label)
{
    label.setBounds(1, 1, box.getWidth() - 17, box.getHeight() - 2);
    label.setBorderSize({1, 4, 1, 1});
    label.setFont(getComboBoxFont(box));
}

void CompactListLook::drawComboBox(juce::Graphics& g, int width, int height, bool, int, int, int,
                                   int, juce::ComboBox& box)
{
    const juce::Rectangle<float> bounds(0.0f, 0.0f, static_cast<float>(width),
                                        static_cast<float>(height));
    g.setColour(box.findColour(juce::ComboBox::backgroundColourId));
    g.fillRoundedRectangle(bounds, 3.0f);
    g.setColour(box.findColour(box.hasKeyboardFocus(true) ? juce::ComboBox::focusedOutlineColourId
                                                          : juce::ComboBox::outlineColourId));
    g.drawRoundedRectangle(bounds.reduced(0.5f), 3.0f, 1.0f);
    const float ax = static_cast<float>(width) - 13.0f;
    const float ay = static_cast<float>(height) * 0.5f;
    juce::Path arrow;
    arrow.startNewSubPath(ax, ay - 2.0f);
    arrow.lineTo(ax + 4.0f, ay + 2.0f);
    arrow.lineTo(ax + 8.0f, ay - 2.0f);
    g.setColour(
        box.findColour(juce::ComboBox::arrowColourId).withAlpha(box.isEnabled() ? 0.9f : 0.2f));
    g.strokePath(arrow, juce::PathStrokeType(2.0f));
}

} // namespace velmora::kit

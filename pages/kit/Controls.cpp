#include "Controls.h"

#include "ValueText.h"

namespace velmora::kit
{

std::optional<float> readNumber(const juce::String& text)
{
    const std::string trimmed = text.trim().toStdString();
    float value = 0.0f;
    const int read = parseFloat(trimmed, value);
    // A sign alone, or a point alone, is not a number.
    bool digits = false;
    for (int i = 0; i < read; ++i)
        digits = digits || (trimmed[static_cast<std::size_t>(i)] >= '0' &&
                            trimmed[static_cast<std::size_t>(i)] <= '9');
    if (read < 1 || ! digits)
        return std::nullopt;
    return value;
}

// --- Knob -------------------------------------------------------------------

Knob::Knob()
{
    setSliderStyle(juce::Slider::RotaryHorizontalVerticalDrag);
    setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
}

void Knob::setUp(double minimum, double maximum, double interval, int valueBoxWidth,
                 int valueBoxHeight)
{
    setRange(minimum, maximum, interval);
    if (valueBoxWidth > 0)
        setTextBoxStyle(juce::Slider::TextBoxBelow, false, valueBoxWidth, valueBoxHeight);
    else
        setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
}

void Knob::show(double value)
{
    guard.quietly([&] { setValue(value, juce::dontSendNotification); });
}

void Knob::valueChanged()
{
    if (! guard.isQuiet() && onUserChange)
        onUserChange(getValue());
}

double Knob::getValueFromText(const juce::String& text)
{
    const auto number = readNumber(text);
    return number ? static_cast<double>(*number) : getValue();
}

// --- Toggle, Tick -------------------------------------------------------------

Toggle::Toggle(const juce::String& text, const juce::String& tooltip) : juce::TextButton(text)
{
    setClickingTogglesState(true);
    if (tooltip.isNotEmpty())
        setTooltip(tooltip);
}

void Toggle::show(bool on)
{
    guard.quietly([&] { setToggleState(on, juce::dontSendNotification); });
}

void Toggle::clicked()
{
    if (guard.isQuiet() || ! onUserChange)
        return;
    if (getRadioGroupId() != 0 && ! getToggleState())
        return;
    onUserChange(getToggleState());
}

Tick::Tick(const juce::String& text) : juce::ToggleButton(text) {}

void Tick::show(bool on)
{
    guard.quietly([&] { setToggleState(on, juce::dontSendNotification); });
}

void Tick::clicked()
{
    if (guard.isQuiet() || ! onUserChange)
        return;
    if (getRadioGroupId() != 0 && ! getToggleState())
        return;
    onUserChange(getToggleState());
}

// --- ChoiceList -----------------------------------------------------------------

ChoiceList::ChoiceList()
{
    setEditableText(false);
    setJustificationType(juce::Justification::centredLeft);
    setTextWhenNothingSelected({});
    setTextWhenNoChoicesAvailable("(no choices)");
    onChange = [this]
    {
        if (! guard.isQuiet() && onUserChange)
            onUserChange(getSelectedId());
    };
}

void ChoiceList::setItems(const juce::StringArray& items)
{
    guard.quietly(
        [&]
        {
            clear(juce::dontSendNotification);
            addItemList(items, 1);
        });
}

void ChoiceList::show(int itemId)
{
    guard.quietly(
        [&]
        {
            if (itemId == 0)
                setSelectedId(0, juce::dontSendNotification);
            else
                setSelectedId(itemId, juce::dontSendNotification);
        });
}

void Knob::mouseDown(const juce::MouseEvent& e)
{
    if (auto* focused = juce::Component::getCurrentlyFocusedComponent())
        focused->giveAwayKeyboardFocus();
    juce::Slider::mouseDown(e);
}

// --- ValueBox -----------------------------------------------------------------

ValueBox::ValueBox(const juce::String& name) : juce::TextEditor(name)
{
    setMultiLine(false);
    setPopupMenuEnabled(false);
    setScrollbarsShown(false);
    onReturnKey = [this] { returnPressed(); };
    onEscapeKey = [this]
    {
        restore();
        setCaretPosition(0);
    };
    onFocusLost = [this] { left(); };
}

void ValueBox::refresh()
{
    // An answer from the amplifier, or a sweep's step, must not wipe out what
    // the user is typing: the box catches up on Return, Escape or leaving.
    if (getText() != shown)
        return;
    restore();
}

void ValueBox::restore()
{
    if (! storedText)
        return;
    shown = storedText();
    setText(shown, juce::dontSendNotification);
}

void ValueBox::returnPressed()
{
    const bool taken = onCommit && onCommit(getText());
    restore();
    if (taken)
        selectAll();
}

void ValueBox::left()
{
    restore();
    setCaretPosition(0);
    if (onLeave)
        onLeave();
}

void styleLabel(juce::Label& label, const juce::String& text, float height,
                juce::Justification justification)
{
    label.setText(text, juce::dontSendNotification);
    label.setFont(juce::Font(height));
    label.setJustificationType(justification);
    label.setEditable(false, false, false);
}

} // namespace velmora::kit

#pragma once

#include <functional>
#include <optional>

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmora::kit
{

// Reads the number a user typed into a box: leading and trailing blanks are
// skipped, then the editor's number notation ("1.5", ".5", "-7", "2k5" for
// 2500). Text from which no number can be read gives nothing, so that the box
// is restored and nothing is changed or sent.
std::optional<float> readNumber(const juce::String& text);

// Keeps a change the page makes to a control from coming back as a user's
// change: every control of the kit shows the model's values through it.
class EchoGuard
{
public:
    template <typename Update> void quietly(Update&& update)
    {
        ++depth;
        struct Leave
        {
            int& d;
            ~Leave() { --d; }
        } leave {depth};
        update();
    }
    bool isQuiet() const { return depth > 0; }

private:
    int depth = 0;
};

// A knob (rotary) or fader: `onUserChange` gets what the user set, by dragging
// or by typing into the knob's own value box; `show` sets it from the model
// and never calls back. Text without a number in its value box changes
// nothing.
class Knob : public juce::Slider
{
public:
    Knob();
    // A rotary knob with the given range and interval; `valueBoxWidth` > 0
    // gives it an editable value box of that width below.
    void setUp(double minimum, double maximum, double interval, int valueBoxWidth = 0,
               int valueBoxHeight = 20);
    void show(double value);

    std::function<void(double)> onUserChange;

    void valueChanged() override;
    double getValueFromText(const juce::String& text) override;
    // Grabbing the knob leaves a value box the user was typing into, as a
    // click elsewhere would (the knob itself takes no keyboard focus).
    void mouseDown(const juce::MouseEvent& e) override;

private:
    EchoGuard guard;
};

// A text button that toggles when clicked. `onUserChange` gets the new state;
// in a radio group only the button that turned on calls back (JUCE also
// reports the one it turned off).
class Toggle : public juce::TextButton
{
public:
    explicit Toggle(const juce::String& text = {}, const juce::String& tooltip = {});
    void show(bool on);
    std::function<void(bool)> onUserChange;

protected:
    void clicked() override;

private:
    EchoGuard guard;
};

// A check-box style toggle (JUCE's ToggleButton), same rules as Toggle.
class Tick : public juce::ToggleButton
{
public:
    explicit Tick(const juce::String& text = {});
    void show(bool on);
    std::function<void(bool)> onUserChange;

protected:
    void clicked() override;

private:
    EchoGuard guard;
};

// A list to choose from. `onUserChange` gets the chosen item id; `show` and
// `setItems` never notify (JUCE's own clear would, later, asynchronously).
class ChoiceList : public juce::ComboBox
{
public:
    ChoiceList();
    // Replaces the items (ids 1, 2, ...), selecting none.
    void setItems(const juce::StringArray& items);
    // 0 selects nothing.
    void show(int itemId);
    std::function<void(int)> onUserChange;

private:
    EchoGuard guard;
};

// A one-line value box. Typed text takes effect on Return only: `onCommit`
// gets the text and returns whether it was taken; either way the box then
// shows `storedText()` again, and a taken text is selected whole. Leaving
// the box (or Escape) discards what was typed and restores the stored text.
// No pop-up menu.
class ValueBox : public juce::TextEditor
{
public:
    explicit ValueBox(const juce::String& name = {});
    std::function<bool(const juce::String&)> onCommit;
    std::function<juce::String()> storedText;
    // Called after focus loss restored the text (some pages send then).
    std::function<void()> onLeave;

    // Shows the stored text without notification, unless the user has typed
    // into the box since it last showed it.
    void refresh();
    void setSelectsAllOnFocus(bool b) { setSelectAllWhenFocused(b); }

private:
    void restore();
    void returnPressed();
    void left();

    juce::String shown;
};

// A label in the pages' style: grey, plain, 15 points unless told otherwise.
void styleLabel(juce::Label& label, const juce::String& text, float height = 15.0f,
                juce::Justification justification = juce::Justification::centredLeft);

} // namespace velmora::kit

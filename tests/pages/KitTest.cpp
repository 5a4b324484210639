// The page kit on its own: value boxes, controls that show the model without
// echo, and the one edit function.
#include <gtest/gtest.h>

#include "Blocks.h"
#include "Controls.h"
#include "Edits.h"
#include "MessageLoop.h"
#include "PageLook.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

TEST(ReadNumber, BlanksAreSkippedAndTextWithoutANumberGivesNothing)
{
    const struct
    {
        const char* text;
        std::optional<float> number;
    } cases[] = {
        {" -5.0", -5.0f}, {"-5.0  ", -5.0f}, {"\t12", 12.0f}, {"2k5", 2500.0f}, {"1k", 1000.0f},
        {".5", 0.5f},     {"7 dB", 7.0f},    {"+3", 3.0f},    {"abc", {}},      {"", {}},
        {"   ", {}},      {"-", {}},         {".", {}},       {"k", {}},        {"-.", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kit::readNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(ValueBox, ReturnCommitsAndLeavingRestores)
{
    kit::ValueBox box;
    float stored = 1.5f;
    box.storedText = [&] { return juce::String(stored, 1); };
    box.onCommit = [&](const juce::String& text)
    {
        const auto n = kit::readNumber(text);
        if (n)
            stored = *n;
        return n.has_value();
    };
    int left = 0;
    box.onLeave = [&] { ++left; };
    box.refresh();
    EXPECT_EQ(box.getText(), "1.5");

    box.setText("  4.5 ", false);
    box.keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
    pumpFor(10);
    EXPECT_EQ(stored, 4.5f);
    EXPECT_EQ(box.getText(), "4.5"); // what is stored, as it is shown
    EXPECT_EQ(box.getHighlightedText(), "4.5");

    box.setText("abc", false);
    box.keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
    pumpFor(10);
    EXPECT_EQ(stored, 4.5f);
    EXPECT_EQ(box.getText(), "4.5");

    box.setText("9", false);
    box.focusLost(juce::Component::focusChangedByMouseClick);
    pumpFor(10);
    EXPECT_EQ(stored, 4.5f);
    EXPECT_EQ(box.getText(), "4.5");
    EXPECT_EQ(left, 1);
}

// The amplifier's answers (or a sweep's steps) refresh the boxes while the
// user may be typing into one: the typing must survive until Return, Escape
// or leaving the box, and the box follows the amplifier again after that.
TEST(ValueBox, ARefreshKeepsWhatTheUserIsTyping)
{
    const struct
    {
        const char* name;
        std::function<void(kit::ValueBox&)> end;
    } ends[] = {
        {"Escape",
         [](kit::ValueBox& b) { b.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey)); }},
        {"leaving",
         [](kit::ValueBox& b) { b.focusLost(juce::Component::focusChangedByMouseClick); }},
    };
    for (const auto& e : ends)
    {
        SCOPED_TRACE(e.name);
        kit::ValueBox box;
        int stored = 100;
        box.storedText = [&] { return juce::String(stored); };
        box.refresh();
        stored = 110;
        box.refresh();
        EXPECT_EQ(box.getText(), "110");

        box.setCaretPosition(box.getTotalNumChars());
        box.insertTextAtCaret("5");
        stored = 120;
        box.refresh();
        EXPECT_EQ(box.getText(), "1105");

        e.end(box);
        pumpFor(10);
        EXPECT_EQ(box.getText(), "120");
        stored = 130;
        box.refresh();
        EXPECT_EQ(box.getText(), "130");
    }
}

struct Looked : juce::Component
{
    kit::PageLook look;
    Looked() { setLookAndFeel(&look); }
    ~Looked() override { setLookAndFeel(nullptr); }
};

TEST(Knob, OnlyTheUsersChangesCallBackAndItsBoxIgnoresText)
{
    Looked page;
    kit::Knob knob;
    page.addAndMakeVisible(knob);
    knob.setUp(-15.0, 15.0, 0.5, 55);
    std::vector<double> changes;
    knob.onUserChange = [&](double v) { changes.push_back(v); };
    knob.show(3.0);
    EXPECT_EQ(knob.getValue(), 3.0);
    EXPECT_TRUE(changes.empty());
    knob.setValue(-2.0, juce::sendNotificationSync); // a drag
    EXPECT_EQ(changes, std::vector<double> {-2.0});
    // Typed text without a number keeps the value; a number is taken.
    EXPECT_EQ(knob.getValueFromText("abc"), -2.0);
    EXPECT_EQ(knob.getValueFromText(" 4.5"), 4.5);
}

TEST(Toggle, ARadioGroupCallsBackForTheButtonThatTurnedOnOnly)
{
    juce::Component parent;
    kit::Toggle a("A"), b("B");
    for (auto* t : {&a, &b})
    {
        t->setRadioGroupId(7);
        parent.addAndMakeVisible(*t);
    }
    std::vector<std::string> calls;
    a.onUserChange = [&](bool on) { calls.push_back(on ? "A on" : "A off"); };
    b.onUserChange = [&](bool on) { calls.push_back(on ? "B on" : "B off"); };
    a.show(true);
    EXPECT_TRUE(calls.empty());
    b.triggerClick();
    pumpFor(10);
    EXPECT_EQ(calls, std::vector<std::string> {"B on"});
    EXPECT_FALSE(a.getToggleState());

    kit::Toggle plain("Phase");
    bool state = false;
    plain.onUserChange = [&](bool on) { state = on; };
    plain.triggerClick();
    pumpFor(10);
    EXPECT_TRUE(state);
}

TEST(ChoiceList, RefillingAndShowingNeverCallBack)
{
    kit::ChoiceList list;
    int calls = 0;
    list.onUserChange = [&](int) { ++calls; };
    list.setItems({"one", "two"});
    list.show(2);
    list.setItems({"three"});
    pumpFor(20); // JUCE's own clearing would notify later
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(list.getSelectedId(), 0);
    list.setSelectedId(1, juce::sendNotificationSync); // the user's choice
    EXPECT_EQ(calls, 1);
}

struct Recorder : Outbox
{
    std::vector<std::string> addresses;
    void queueMessage(std::unique_ptr<OutgoingMessage> m) override
    {
        addresses.emplace_back(m->address());
    }
};

TEST(EditHub, SetsEverythingFirstThenSendsEachBlockOnceInOrder)
{
    auto root = makeTree();
    Recorder outbox;
    setOutbox(&outbox);
    kit::EditHub edits;
    std::vector<std::size_t> sentAt;
    auto& a = *root->channels[0]->peq->bands[0];
    auto& b = *root->channels[1]->peq->bands[0];
    int watched = 0;
    edits.watcher = [&](const kit::EditHub::Edit& e)
    {
        ++watched;
        EXPECT_EQ(e.quiet, std::vector<Cnode*> {&b});
    };
    edits.apply(
        [&]
        {
            a.gain().setValue(6.0f);
            // Nothing is sent while the edit is being made.
            EXPECT_TRUE(outbox.addresses.empty());
            b.gain().setValue(6.0f);
            return kit::EditHub::Edit {{&a, root->ampmode, &a}, {&b}};
        });
    setOutbox(nullptr);
    EXPECT_EQ(outbox.addresses, (std::vector<std::string> {"/channel/1/peq/1", "/ampmode"}));
    EXPECT_EQ(watched, 1);
}

} // namespace

#pragma once

// An editor without a window and a virtual amplifier beside it on loopback,
// for driving a page through its controls and reading what the amplifier
// received. Run inside tests/support/in-netns.sh.

#include <functional>

#include "EditorFixture.h"
#include "UdpAmpSim.h"

namespace velmora::test
{

class PageFixture : public EditorFixture
{
protected:
    std::unique_ptr<sim::Amplifier> amp;
    std::unique_ptr<sim::UdpAmpSim> sim;

    // Starts a virtual amplifier of `model` (its settings first set with
    // `prepare`), lists it, connects to it and waits until the sync is done.
    void connect(int model, const std::function<void(sim::Amplifier&)>& prepare = {})
    {
        amp = std::make_unique<sim::Amplifier>(model, "Test Amp");
        if (prepare)
            prepare(*amp);
        sim::UdpAmpSim::Options o;
        o.bindAddress = "127.0.0.2";
        sim = std::make_unique<sim::UdpAmpSim>(*amp, o);
        ASSERT_TRUE(sim->isBound());
        setup().addFixedIp("127.0.0.2");
        ASSERT_TRUE(pumpUntil([&] { return setup().getNumRows() == 2; }));
        const auto click = juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {},
                                            {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &setup().table,
                                            &setup().table, juce::Time::getCurrentTime(), {},
                                            juce::Time::getCurrentTime(), 1, false);
        setup().cellClicked(1, 1, click);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        dialogs.answer(true);
        ASSERT_TRUE(
            pumpUntil([&] { return com().isOnline() && com().pendingCount() == 0; }, 20000));
        // The answers' change messages reach the pages.
        pumpFor(50);
        sim->clearLog();
    }

    void TearDown() override
    {
        sim.reset();
        EditorFixture::TearDown();
    }

    // Clicks a button as the user does (the click arrives through the
    // message loop).
    static void click(juce::Button& b)
    {
        b.triggerClick();
        pumpFor(20);
    }

    // Types into a box and presses Return.
    static void typeAndReturn(juce::TextEditor& box, const juce::String& text)
    {
        box.setText(text, false);
        box.keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
        pumpFor(20);
    }

    // Types into a box and leaves it without Return.
    static void typeAndLeave(juce::TextEditor& box, const juce::String& text)
    {
        box.setText(text, false);
        box.focusLost(juce::Component::focusChangedByMouseClick);
        pumpFor(20);
    }

    // Waits until the amplifier has no message left to answer.
    void settle()
    {
        ASSERT_TRUE(pumpUntil([&] { return com().pendingCount() == 0; }, 5000));
        pumpFor(30);
    }

    // The arguments of every message of `address` the amplifier received.
    std::vector<std::string> received(const std::string& address) const
    {
        std::vector<std::string> out;
        for (const auto& e : sim->log(address))
            out.push_back(e.arguments);
        return out;
    }

    // The arguments of the last message of `address`, or "(none)".
    std::string lastReceived(const std::string& address) const
    {
        const auto all = received(address);
        return all.empty() ? std::string("(none)") : all.back();
    }
};

} // namespace velmora::test

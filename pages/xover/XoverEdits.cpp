// The user's edits on the crossover page: the lists, knobs, boxes, markers
// and the crossover link. Each user action is one edit of the page kit: the
// tree and the controls change first, then every block the action touched
// is sent once, so that the amplifier never sees a half-made change (a
// tweeter's high-pass passing through "OFF" on its way to a new type).

#include <algorithm>

#include "CXoverPage.h"
#include "XoverChoices.h"

namespace velmora
{

void CXoverPage::commitSection(int k, Edit& edit)
{
    Cxover& b = block(k);
    edit.send.push_back(&b);
    const float f = b.freq().getValue();
    response.designSection(k, b.type().getStep(), f);
    context.responses.selectedHandle = k;
    graph.handleFrequency[static_cast<std::size_t>(k)] = f;
    graph.repaint();
    updateXoverActive();
}

void CXoverPage::applyFilterChoice(int k, int slope, int family, Edit* edit)
{
    auto& remembered = lastSlope[static_cast<std::size_t>(k)];
    if (slope >= 1)
        remembered = slope;
    const int choice = xover::choiceOf(family, remembered);
    block(k).type().setStep(choice);
    if (channelsLinked && k < 2)
    {
        block(k + 2).type().setStep(choice);
        if (edit != nullptr)
            edit->quiet.push_back(&block(k + 2));
    }

    Section& s = section(k);
    const int shownFamily = xover::familyOf(choice);
    s.family.show(shownFamily);
    juce::StringArray slopes;
    for (int offered : xover::slopesOf(shownFamily))
        slopes.add(xover::slopeTexts[static_cast<std::size_t>(offered - 1)]);
    s.slope.setItems(slopes);
    s.slope.show(xover::slopeItemOf(shownFamily, xover::slopeOf(choice)));
}

void CXoverPage::selectFilter(int k, int familyId, int slopeItemId)
{
    if (! validSection(k))
        return;
    context.edits.apply(
        [&]
        {
            Edit edit;
            chooseFilter(k, familyId, slopeItemId, edit);
            return edit;
        });
}

void CXoverPage::chooseFilter(int k, int familyId, int slopeItemId, Edit& edit)
{
    // A family alone picks its first slope.
    const int slope = xover::slopeAt(familyId, std::max(slopeItemId, 1));
    applyFilterChoice(k, slope, familyId, &edit);
    if (xoverLinked && k != 0)
        linkPartner(k, edit);
    commitSection(k, edit);
}

void CXoverPage::linkPartner(int k, Edit& edit)
{
    if (k != 1 && k != 2)
        return;
    const int p = k == 1 ? 2 : 1;
    block(p).type().setStep(block(k).type().getStep());
    block(p).freq().setValue(block(k).freq().getValue());
    // The partner's controls follow at once, online or not (an amplifier's
    // reply shows the same values again).
    refreshSection(p, &edit);
    commitSection(p, edit);
}

void CXoverPage::setSectionStep(int k, int step)
{
    if (! validSection(k))
        return;
    context.edits.apply(
        [&]
        {
            Edit edit;
            stepSection(k, step, edit);
            return edit;
        });
}

void CXoverPage::stepSection(int k, int step, Edit& edit)
{
    block(k).freq().setStep(step);
    section(k).box.refresh();
    if (xoverLinked && k != 0)
        linkPartner(k, edit);
    if (channelsLinked && k < 2)
    {
        block(k + 2).freq().setStep(step);
        edit.quiet.push_back(&block(k + 2));
    }
    commitSection(k, edit);
}

void CXoverPage::setChannelGain(int c, double dB)
{
    if (c < 0 || c > 1)
        return;
    context.edits.apply(
        [&]
        {
            Edit edit;
            gainBlock(c).gain().setValue(static_cast<float>(dB));
            if (channelsLinked && c == 0)
            {
                gainBlock(1).gain().setValue(static_cast<float>(dB));
                edit.quiet.push_back(&gainBlock(1));
            }
            edit.send.push_back(&gainBlock(c));
            response.xoverGainDb[static_cast<std::size_t>(c)] = gainBlock(c).gain().getValue();
            graph.repaint();
            updateXoverActive();
            return edit;
        });
}

bool CXoverPage::frequencyTyped(int k, const juce::String& text)
{
    // Text without a number changes nothing: read as 0 Hz it would move the
    // filter to 20 Hz, a tweeter's high-pass included.
    const auto number = kit::readNumber(text);
    if (! number)
        return false;
    context.edits.apply(
        [&]
        {
            Edit edit;
            block(k).freq().setValue(*number);
            section(k).knob.show(block(k).freq().getStep());
            commitSection(k, edit);
            if (xoverLinked && k != 0)
                linkPartner(k, edit);
            return edit;
        });
    return true;
}

void CXoverPage::nudgeFrequency(int k, int steps)
{
    if (! validSection(k))
        return;
    context.edits.apply(
        [&]
        {
            Edit edit;
            Cparam& freq = block(k).freq();
            freq.setStep(freq.getStep() + steps);
            afterNudge(k, edit);
            return edit;
        });
}

void CXoverPage::nudgeType(int k, int steps)
{
    if (! validSection(k))
        return;
    context.edits.apply(
        [&]
        {
            Edit edit;
            Cparam& type = block(k).type();
            // The wheel never switches a filter off.
            const int next = type.getStep() + steps;
            if (next >= 1)
                type.setStep(next);
            afterNudge(k, edit);
            return edit;
        });
}

void CXoverPage::afterNudge(int k, Edit& edit)
{
    refreshSection(k, &edit);
    if (xoverLinked && k != 0)
        linkPartner(k, edit);
    context.responses.selectedHandle = k;
    commitSection(k, edit);
}

// --- the crossover link ---------------------------------------------------------

void CXoverPage::xoverButtonClicked(bool on)
{
    xoverLinked = on;
    if (! on)
    {
        channel(0).group.setText("Channel A");
        channel(1).group.setText("Channel B");
        return;
    }
    channel(0).group.setText("Channel A - LOW");
    channel(1).group.setText("Channel B - HIGH");
    juce::Component::SafePointer<CXoverPage> self(this);
    context.dialogs->askQuestion("Link Crossover frequencies...",
                                 "Do you want to set a default Crossover?", "Yes", "Cancel",
                                 [self](bool yes)
                                 {
                                     if (self != nullptr)
                                         self->answerDefaultCrossover(yes);
                                 });
}

void CXoverPage::answerDefaultCrossover(bool yes)
{
    // The link may have ended (another mode) while the question was open.
    if (! xoverLinked)
        return;
    context.edits.apply(
        [&]
        {
            Edit edit;
            if (! yes)
            {
                linkPartner(1, edit);
                return edit;
            }
            // 632.46 Hz between the bands; channel B's high-pass follows.
            constexpr int split = 300;
            section(1).knob.show(split);
            stepSection(1, split, edit);
            if (block(1).type().getStep() == 0)
                chooseFilter(1, xover::butterworth, 2, edit); // "BUT12"
            const int low = block(1).freq().getStep();
            if (block(0).freq().getStep() > low)
            {
                section(0).knob.show(10); // 22.44 Hz
                stepSection(0, 10, edit);
            }
            if (block(3).freq().getStep() < low)
            {
                section(3).knob.show(590); // 17825 Hz
                block(3).freq().setStep(590);
                section(3).box.refresh();
                commitSection(3, edit);
            }
            return edit;
        });
}

} // namespace velmora

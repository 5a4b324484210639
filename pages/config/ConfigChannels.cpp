// The Configuration page's per-channel settings: delay, polarity, limiter and
// speaker load. Every user action sets the tree first and then sends each
// block it changed once; model changes only refresh the controls.
#include <cmath>

#include "CConfigPage.h"

namespace velmora
{

using Edit = kit::EditHub::Edit;

namespace
{
int other(int c)
{
    return 1 - c;
}
} // namespace

// --- delay ------------------------------------------------------------------------

void CConfigPage::setDelayTime(int c, float ms)
{
    delay(c).del().setValue(ms);
    if (c == 0 && singleChain)
        delay(1).del().setStep(delay(0).del().getStep());
    Channel& x = channel(c);
    for (kit::ValueBox* box : {&x.msBox, &x.mBox, &x.ftBox})
        box->refresh();
    context.activity.set(context.activity.delayActive, c, delay(c).del().getValue() > 0.0f);
    repaint();
}

void CConfigPage::delayKnobMoved(int c, double ms)
{
    context.edits.apply(
        [&]
        {
            Edit edit;
            setDelayTime(c, static_cast<float>(ms));
            if (channelsLinked)
            {
                const int o = other(c);
                channel(o).delayKnob.show(ms);
                setDelayTime(o, static_cast<float>(ms));
                edit.send.push_back(&delay(o));
            }
            edit.send.push_back(&delay(c));
            if (c == 0 && singleChain)
                edit.quiet.push_back(&delay(1));
            return edit;
        });
}

bool CConfigPage::delayTyped(int c, int unit, const juce::String& text)
{
    const auto number = kit::readNumber(text);
    if (! number)
        return false;
    // The parameter's own step (0.01 ms) decides, not the knob's interval.
    auto& del = delay(c).del();
    del.setValue(static_cast<float>(*number / delayUnitFactor[static_cast<std::size_t>(unit)]));
    const double ms = del.getValue();
    channel(c).delayKnob.show(ms);
    delayKnobMoved(c, ms);
    return true;
}

void CConfigPage::setPhase(int c, int degrees)
{
    delay(c).pol().setStep(degrees);
    Channel& x = channel(c);
    (degrees != 0 ? x.inverted : x.zero).show(true);
    if (c == 0 && singleChain)
        delay(1).pol().setStep(delay(0).pol().getStep());
}

void CConfigPage::polarityChosen(int c, int degrees)
{
    context.edits.apply(
        [&]
        {
            Edit edit;
            setPhase(c, degrees);
            channel(c).phase.show(degrees != 0);
            edit.send.push_back(&delay(c));
            if (channelsLinked)
            {
                const int o = other(c);
                setPhase(o, degrees);
                channel(o).phase.show(degrees != 0);
                edit.send.push_back(&delay(o));
            }
            return edit;
        });
}

void CConfigPage::phaseButtonClicked(int c, bool inverted)
{
    polarityChosen(c, inverted ? 180 : 0);
}

void CConfigPage::refreshDelay(int c)
{
    Channel& x = channel(c);
    const int pol = delay(c).pol().getStep();
    x.phase.show(pol != 0);
    x.delayKnob.show(delay(c).del().getValue());
    (pol != 0 ? x.inverted : x.zero).show(true);
    setDelayTime(c, delay(c).del().getValue());
}

// --- limiter --------------------------------------------------------------------

void CConfigPage::setLimiterThreshold(int c, float peakVolts)
{
    auto& thres = limiter(c).thres();
    thres.setValue(peakVolts);
    if (! isLineOutputModel())
    {
        showPower(c, thres.getValue());
        if (channelsLinked)
            showPower(other(c), thres.getValue());
    }
    channel(c).voltsBox.refresh();
    context.activity.set(context.activity.limiterActive, c, thres.getValue() < fullScale());
    repaint();
    if (c == 0 && singleChain)
        limiter(1).thres().setValue(thres.getValue());
}

void CConfigPage::thresholdKnobMoved(int c, double dB)
{
    const auto peakVolts = static_cast<float>(fullScale() * std::pow(10.0, dB / 20.0));
    context.edits.apply(
        [&]
        {
            Edit edit;
            setLimiterThreshold(c, peakVolts);
            edit.send.push_back(&limiter(c));
            if (channelsLinked)
            {
                const int o = other(c);
                channel(o).thresholdKnob.show(dB);
                setLimiterThreshold(o, peakVolts);
                edit.send.push_back(&limiter(o));
            }
            if (c == 0 && singleChain)
                edit.quiet.push_back(&limiter(1));
            return edit;
        });
}

bool CConfigPage::voltsTyped(int c, const juce::String& text)
{
    const auto number = kit::readNumber(text);
    if (! number)
        return false;
    context.edits.apply(
        [&]
        {
            Edit edit;
            auto& thres = limiter(c).thres();
            thres.setValue(*number);
            if (bridged)
                thres.setValue(thres.getValue() / 2.0f);
            if (thres.getValue() > fullScale())
                thres.setValue(fullScale());
            refreshLimiter(c);
            edit.send.push_back(&limiter(c));
            if (channelsLinked)
            {
                const int o = other(c);
                limiter(o).thres().setValue(thres.getValue());
                refreshLimiter(o);
                edit.send.push_back(&limiter(o));
            }
            // In STEREO and BRIDGE channel B follows, as with every other edit.
            if (c == 0 && singleChain)
            {
                limiter(1).thres().setValue(thres.getValue());
                edit.quiet.push_back(&limiter(1));
            }
            return edit;
        });
    return true;
}

void CConfigPage::holdOrReleaseMoved(int c, bool hold, double ms)
{
    auto param = [&](int ch) -> Cparam& { return hold ? limiter(ch).hold() : limiter(ch).rel(); };
    context.edits.apply(
        [&]
        {
            Edit edit;
            param(c).setValue(static_cast<float>(ms));
            if (c == 0 && singleChain)
            {
                param(1).setValue(static_cast<float>(ms));
                edit.quiet.push_back(&limiter(1));
            }
            edit.send.push_back(&limiter(c));
            if (channelsLinked)
            {
                const int o = other(c);
                (hold ? channel(o).holdKnob : channel(o).releaseKnob).show(ms);
                param(o).setValue(static_cast<float>(ms));
                edit.send.push_back(&limiter(o));
            }
            return edit;
        });
}

void CConfigPage::showPower(int c, float peakVolts)
{
    const int choice = loadChoice[static_cast<std::size_t>(c)];
    auto& box = channel(c).powerBox;
    if (choice < 2 || choice > 5)
    {
        box.setText(" - ", juce::dontSendNotification);
        return;
    }
    double watts = static_cast<double>(peakVolts) * peakVolts /
                   loadOhms[static_cast<std::size_t>(choice)] * 0.5;
    if (bridged)
        watts *= 4.0;
    box.setText(juce::String(watts, 1), juce::dontSendNotification);
}

void CConfigPage::refreshLimiter(int c)
{
    Channel& x = channel(c);
    // A threshold above full scale (from a file or another editor) is shown
    // at full scale; what the tree holds is not touched.
    const float peakVolts = juce::jmin(limiter(c).thres().getValue(), fullScale());
    const double dB = 20.0 * std::log10(static_cast<double>(peakVolts) / fullScale());
    if (! isLineOutputModel())
        showPower(c, peakVolts);
    x.voltsBox.refresh();
    x.thresholdKnob.show(dB);
    x.releaseKnob.show(limiter(c).rel().getValue());
    x.holdKnob.show(limiter(c).hold().getValue());
    context.activity.set(context.activity.limiterActive, c, dB < -0.01);
    repaint();
}

// --- speaker load -----------------------------------------------------------------

void CConfigPage::loadChosen(int c)
{
    context.edits.apply([&] { return Edit {applyLoad(c), {}}; });
}

std::vector<Cnode*> CConfigPage::applyLoad(int c)
{
    const bool line = isLineOutputModel();
    auto& choice = loadChoice[static_cast<std::size_t>(c)];
    choice = channel(c).load.getSelectedId();
    // "2 Ohm" is not offered in BRIDGE; the line outputs have no such item.
    if (c == 0 && bridged && ! line && choice == 2)
    {
        choice = 1;
        channel(0).load.show(1);
    }
    if (channelsLinked || line)
    {
        const int o = other(c);
        loadChoice[static_cast<std::size_t>(o)] = choice;
        channel(o).load.show(choice);
    }
    // The limiter is sent again with its stored threshold; the power shown
    // follows the new load.
    if (! line)
    {
        const float vp = juce::jmin(limiter(c).thres().getValue(), fullScale());
        showPower(c, vp);
        if (channelsLinked)
            showPower(other(c), juce::jmin(limiter(other(c)).thres().getValue(), fullScale()));
    }
    std::vector<Cnode*> send {&limiter(c)};

    const int a = loadChoice[0];
    const int value = line ? (a >= 0 && a < 3 ? lineVolts[static_cast<std::size_t>(a)] : 0)
                           : (a >= 0 && a < 6 ? loadOhms[static_cast<std::size_t>(a)] : 0);
    speakerBlock.value().setStep(value);
    // Until the amplifier's load is known (or chosen), none is sent: a "0"
    // would overwrite the real one.
    if (modelIndex < 4 && a != 0)
        send.push_back(&speakerBlock);
    return send;
}

void CConfigPage::refreshSpeaker()
{
    int id = 0;
    switch (speakerBlock.value().getStep())
    {
        case 0:
            id = 1;
            break;
        case 2:
            id = 2;
            break;
        case 4:
            id = 3;
            break;
        case 8:
            id = 4;
            break;
        case 16:
            id = 5;
            break;
        case 70:
            id = 2;
            break;
        case 100:
            id = 1;
            break;
        default:
            id = 0;
            break;
    }
    const bool line = isLineOutputModel();
    if (line && id >= 3)
        id = 0;
    for (int c = 0; c < 2; ++c)
    {
        loadChoice[static_cast<std::size_t>(c)] = id;
        channel(c).load.show(id);
        if (! line)
            showPower(c, juce::jmin(limiter(c).thres().getValue(), fullScale()));
    }
}

} // namespace velmora

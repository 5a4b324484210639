#include "CDeqTab.h"

#include "EQGraph.h"
#include "QualityTable.h"

namespace velmora
{
namespace
{

using kit::qualityPosition;
using kit::qualityTable;

constexpr int lastQualityPosition = static_cast<int>(qualityTable.size()) - 1;

// Band 2's controls sit 356 to 360 pixels right of band 1's.
constexpr std::array<int, 2> knobShift {0, 356};

juce::String textOf(const Cparam& p)
{
    std::string out;
    p.writeText(out);
    return juce::String(out);
}

// The first ratio box id whose ratio is at least `ratio`; 0 (no item) above 10.
int ratioId(float ratio)
{
    for (std::size_t i = 0; i < CDeqTab::ratioTable.size(); ++i)
        if (CDeqTab::ratioTable[i] >= ratio)
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace

CDeqTab::CDeqTab(AppContext& ctx, int ch) : context(ctx), channel(ch)
{
    auto& root = *context.root;
    for (std::size_t b = 0; b < 2; ++b)
    {
        bands[b] = root.channels[static_cast<std::size_t>(channel)]->deq->bands[b];
        if (channel == 0)
            linkedBands[b] = root.channels[1]->deq->bands[b];
    }
    for (int b = 0; b < 2; ++b)
        buildBand(b);
    for (Cdeq* d : bands)
        for (Cnode* block : std::initializer_list<Cnode*> {d->comp, d->time, d->filt})
            block->addChangeListener(this);
    setSize(tabWidth, tabHeight);
}

CDeqTab::~CDeqTab()
{
    // A box that loses its focus while the tab goes must not send.
    for (auto& c : controls)
        c->freqBox.onLeave = nullptr;
    for (auto& c : controls)
    {
        c->type.setLookAndFeel(nullptr);
        c->ratio.setLookAndFeel(nullptr);
    }
    for (Cdeq* d : bands)
        for (Cnode* block : std::initializer_list<Cnode*> {d->comp, d->time, d->filt})
            block->removeChangeListener(this);
}

void CDeqTab::buildBand(int b)
{
    auto made = std::make_unique<Band>();
    Band& x = *made;
    controls[static_cast<std::size_t>(b)] = std::move(made);

    x.deq.setButtonText("DEQ " + juce::String(b + 1));
    x.deq.setTooltip("enable/disable");
    x.deq.setClickingTogglesState(true);
    x.deq.onUserChange = [this, b](bool on) { deqClicked(b, on); };

    x.gain.setUp(-15.0, 15.0, 0.5, 55, 20);
    x.gain.onUserChange = [this, b](double v) { compMoved(b, 0, static_cast<float>(v)); };
    x.thres.setUp(-60.0, 0.0, 1.0, 55, 20);
    x.thres.onUserChange = [this, b](double v) { compMoved(b, 1, static_cast<float>(v)); };
    x.att.setUp(0.0, 200.0, 0.5, 55, 20);
    x.att.onUserChange = [this, b](double v) { timeMoved(b, 0, static_cast<float>(v)); };
    x.rel.setUp(20.0, 4000.0, 2.5, 55, 20);
    x.rel.onUserChange = [this, b](double v) { timeMoved(b, 1, static_cast<float>(v)); };
    x.freq.setUp(0.0, 600.0, 1.0);
    x.freq.onUserChange = [this, b](double v) { frequencyMoved(b, juce::roundToInt(v)); };
    x.qual.setUp(0.0, lastQualityPosition, 1.0);
    x.qual.onUserChange = [this, b](double v) { qualityMoved(b, juce::roundToInt(v)); };

    x.freqBox.setSelectsAllOnFocus(true);
    x.freqBox.storedText = [this, b] { return textOf(deq(b).filt->freq()); };
    x.freqBox.onCommit = [this, b](const juce::String& t) { return frequencyTyped(b, t); };
    // Leaving the box restores its text and sends the band as it is.
    x.freqBox.onLeave = [this, b] { applyDeqBand(b, deq(b).filt, nullptr); };
    x.qualBox.setReadOnly(true);
    x.qualBox.setCaretVisible(false);
    x.qualBox.storedText = [this, b] { return textOf(deq(b).filt->qual()); };

    x.type.setLookAndFeel(&listLook);
    x.ratio.setLookAndFeel(&listLook);
    x.type.setItems({"BP", "LP6", "LP12", "HP6", "HP12"});
    x.type.show(1);
    x.type.onUserChange = [this, b](int id) { typeChosen(b, id); };
    x.ratio.setItems({"1:2.0", "1:3.0", "1:5.0", "1:10"});
    x.ratio.onUserChange = [this, b](int id) { ratioChosen(b, id); };

    kit::styleLabel(x.gainLabel, "Gain");
    kit::styleLabel(x.thresLabel, "Threshold");
    kit::styleLabel(x.freqLabel, "Frequency");
    kit::styleLabel(x.qualLabel, "Quality");
    kit::styleLabel(x.attLabel, "Attack");
    kit::styleLabel(x.relLabel, "Release");
    kit::styleLabel(x.typeLabel, "Type");
    kit::styleLabel(x.ratioLabel, "Ratio");
    kit::styleLabel(x.gainUnit, "dB");
    kit::styleLabel(x.thresUnit, "dB");
    kit::styleLabel(x.hz, "Hz");
    kit::styleLabel(x.attUnit, "ms");
    kit::styleLabel(x.relUnit, "ms");
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             &x.deq,        &x.gain,      &x.thres,     &x.freq,     &x.qual,     &x.att,
             &x.rel,        &x.freqBox,   &x.qualBox,   &x.type,     &x.ratio,    &x.gainLabel,
             &x.thresLabel, &x.freqLabel, &x.qualLabel, &x.attLabel, &x.relLabel, &x.typeLabel,
             &x.ratioLabel, &x.gainUnit,  &x.thresUnit, &x.hz,       &x.attUnit,  &x.relUnit})
        addAndMakeVisible(*c);
}

void CDeqTab::resized()
{
    for (int b = 0; b < 2; ++b)
    {
        Band& x = band(b);
        const int k = knobShift[static_cast<std::size_t>(b)];
        // The boxes and the quality knob of band 2 sit 360 (not 356) to the right.
        const int s = b == 0 ? 0 : 360;
        x.deq.setBounds(152 + s, 48, 52, 24);
        x.gain.setBounds(64 + k, 40, 48, 60);
        x.gainLabel.setBounds(52 + k, 20, 72, 20);
        x.gainUnit.setBounds(112 + k, 80, 30, 20);
        x.thres.setBounds(244 + s, 40, 48, 60);
        x.thresLabel.setBounds(232 + s, 20, 72, 20);
        x.thresUnit.setBounds(292 + s, 80, 30, 20);
        x.freq.setBounds(28 + s, 144, 40, 40);
        x.freqLabel.setBounds(12 + s, 124, 72, 20);
        x.freqBox.setBounds(24 + s, 184, 48, 20);
        x.hz.setBounds(72 + s, 184, 30, 20);
        x.qual.setBounds(104 + (b == 0 ? 0 : 359), 144, 40, 40);
        x.qualLabel.setBounds(88 + (b == 0 ? 0 : 359), 124, 72, 20);
        x.qualBox.setBounds(100 + s, 184, 48, 20);
        x.att.setBounds(200 + s, 144, 48, 60);
        x.attLabel.setBounds(188 + s, 124, 72, 20);
        x.attUnit.setBounds(248 + s, 184, 30, 20);
        x.rel.setBounds(280 + s, 144, 48, 60);
        x.relLabel.setBounds(268 + s, 124, 72, 20);
        x.relUnit.setBounds(328 + s, 184, 30, 20);
        x.type.setBounds(57 + (b == 0 ? 0 : 359), 216, 65, 20);
        x.typeLabel.setBounds(17 + (b == 0 ? 0 : 359), 216, 40, 20);
        x.ratio.setBounds(240 + s, 216, 64, 20);
        x.ratioLabel.setBounds(196 + s, 216, 44, 20);
    }
}

void CDeqTab::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    for (EQGraph* graph : context.responses.deqGraphs)
        if (graph != nullptr)
            graph->repaint();
}

// --- model to controls ----------------------------------------------------------

void CDeqTab::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    for (int b = 0; b < 2; ++b)
    {
        Cdeq& d = deq(b);
        if (source == d.comp)
            refreshComp(b);
        else if (source == d.time)
            refreshTime(b);
        else if (source == d.filt)
            refreshFilt(b);
        else
            continue;
        computeBand(b);
        updateActivity();
        return;
    }
}

void CDeqTab::refreshAll()
{
    for (int b = 0; b < 2; ++b)
    {
        refreshComp(b);
        refreshTime(b);
        refreshFilt(b);
        computeBand(b);
    }
    updateActivity();
}

void CDeqTab::refreshComp(int b)
{
    Band& x = band(b);
    const Cdeqcomp& c = *deq(b).comp;
    x.gain.show(c.mgain().getValue());
    x.thres.show(c.thres().getValue());
    // A ratio above 10 stays in the parameter; the box shows no item.
    x.ratio.show(ratioId(c.ratio().getValue()));
}

void CDeqTab::refreshTime(int b)
{
    Band& x = band(b);
    x.att.show(deq(b).time->att().getValue());
    x.rel.show(deq(b).time->rel().getValue());
}

void CDeqTab::refreshFilt(int b)
{
    Band& x = band(b);
    const Cdeqfilt& f = *deq(b).filt;
    const int type = f.type().getStep();
    x.deq.show(type > 0);
    // An "OFF" band keeps the type its box last showed, for switching it on.
    if (type > 0)
        x.type.show(type);
    x.freqBox.refresh();
    x.freq.show(f.freq().getStep());
    x.qual.show(juce::jmin(qualityPosition(f.qual().getValue()), lastQualityPosition));
    x.qualBox.refresh();
    showQualityControls(b);
}

void CDeqTab::showQualityControls(int b)
{
    Band& x = band(b);
    const bool bandPass = x.type.getSelectedId() < 2;
    x.qual.setVisible(bandPass);
    x.qualLabel.setVisible(bandPass);
    x.qualBox.setVisible(bandPass);
}

void CDeqTab::computeBand(int b)
{
    const Cdeq& d = deq(b);
    context.responses.computeDeqBand(
        channel, b, d.filt->type().getStep(), d.filt->freq().getValue(), d.filt->qual().getValue(),
        d.comp->mgain().getValue(), d.comp->thres().getValue(), d.comp->ratio().getValue());
    if (EQGraph* graph = context.responses.deqGraphs[static_cast<std::size_t>(b)])
        graph->repaint();
}

void CDeqTab::updateActivity()
{
    bool active = false;
    for (const Cdeq* d : bands)
        active = active || (d->filt->type().getStep() != 0 && d->comp->mgain().getValue() != 0.0f);
    context.activity.set(context.activity.deqActive, channel, active);
}

// --- applying a change ----------------------------------------------------------

void CDeqTab::applyDeqBand(int b, Cnode* block, Cnode* copy, const std::function<void()>& change)
{
    context.edits.apply({block}, change,
                        copy != nullptr ? std::vector<Cnode*> {copy} : std::vector<Cnode*> {});
    computeBand(b);
    updateActivity();
}

void CDeqTab::compMoved(int b, int index, float value)
{
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).comp, copy != nullptr ? copy->comp : nullptr,
                 [&]
                 {
                     deq(b).comp->param(index).setValue(value);
                     if (copy != nullptr)
                         copy->comp->param(index).copyStep(deq(b).comp->param(index));
                 });
}

void CDeqTab::ratioChosen(int b, int id)
{
    if (id < 1 || id > static_cast<int>(ratioTable.size()))
        return;
    compMoved(b, 2, ratioTable[static_cast<std::size_t>(id - 1)]);
}

void CDeqTab::timeMoved(int b, int index, float value)
{
    // The time constants do not change what the graphs draw.
    Cdeq* copy = linkedDeq(b);
    context.edits.apply(
        {deq(b).time},
        [&]
        {
            deq(b).time->param(index).setValue(value);
            if (copy != nullptr)
                copy->time->param(index).copyStep(deq(b).time->param(index));
        },
        copy != nullptr ? std::vector<Cnode*> {copy->time} : std::vector<Cnode*> {});
}

void CDeqTab::frequencyMoved(int b, int step)
{
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).filt, copy != nullptr ? copy->filt : nullptr,
                 [&]
                 {
                     deq(b).filt->freq().setStep(step);
                     if (copy != nullptr)
                         copy->filt->freq().copyStep(deq(b).filt->freq());
                     band(b).freqBox.refresh();
                 });
}

void CDeqTab::qualityMoved(int b, int position)
{
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).filt, copy != nullptr ? copy->filt : nullptr,
                 [&]
                 {
                     if (position >= 0 && position <= lastQualityPosition)
                     {
                         deq(b).filt->qual().setValue(
                             qualityTable[static_cast<std::size_t>(position)]);
                         if (copy != nullptr)
                             copy->filt->qual().copyStep(deq(b).filt->qual());
                     }
                     band(b).qualBox.refresh();
                 });
}

void CDeqTab::typeChosen(int b, int id)
{
    // The type applies at once, whatever the DEQ button shows; the button
    // follows when the block next reports.
    setDeqType(b, id);
    showQualityControls(b);
}

void CDeqTab::deqClicked(int b, bool on)
{
    setDeqType(b, on ? juce::jmax(1, band(b).type.getSelectedId()) : 0);
}

void CDeqTab::setDeqType(int b, int t)
{
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).filt, copy != nullptr ? copy->filt : nullptr,
                 [&]
                 {
                     deq(b).filt->type().setStep(t);
                     if (copy != nullptr)
                         copy->filt->type().setStep(t);
                     if (t > 0)
                         band(b).type.show(t);
                 });
}

bool CDeqTab::frequencyTyped(int b, const juce::String& text)
{
    // Text without a number leaves the band as it is.
    if (! kit::readNumber(text))
        return false;
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).filt, copy != nullptr ? copy->filt : nullptr,
                 [&]
                 {
                     deq(b).filt->freq().readText(text.trim().toStdString());
                     // The exact position, so a typed 1000 Hz stays 1000 Hz on channel B.
                     if (copy != nullptr)
                         copy->filt->freq().copyStep(deq(b).filt->freq());
                     band(b).freq.show(deq(b).filt->freq().getStep());
                 });
    return true;
}

void CDeqTab::linkChannels(int ampMode)
{
    linked = kit::isSingleChain(ampMode) && channel == 0;
    if (! linked)
        return;
    for (int b = 0; b < 2; ++b)
    {
        const Cdeq& from = deq(b);
        Cdeq& to = *linkedBands[static_cast<std::size_t>(b)];
        for (int i = 0; i < 3; ++i)
            to.comp->param(i).copyStep(from.comp->param(i));
        for (int i = 0; i < 2; ++i)
            to.time->param(i).copyStep(from.time->param(i));
        for (int i = 0; i < 3; ++i)
            to.filt->param(i).copyStep(from.filt->param(i));
    }
}

// --- the graphs' markers ------------------------------------------------------------

void CDeqTab::nudgeFrequency(int b, int steps)
{
    if (b < 0 || b > 1)
        return;
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).filt, copy != nullptr ? copy->filt : nullptr,
                 [&]
                 {
                     auto& freq = deq(b).filt->freq();
                     freq.setStep(juce::jlimit(0, 600, freq.getStep() + steps));
                     if (copy != nullptr)
                         copy->filt->freq().copyStep(freq);
                     refreshFilt(b);
                 });
}

void CDeqTab::nudgeGain(int b, int amount)
{
    if (b < 0 || b > 1 || deq(b).filt->type().getStep() == 0)
        return;
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).comp, copy != nullptr ? copy->comp : nullptr,
                 [&]
                 {
                     auto& gain = deq(b).comp->mgain();
                     gain.setValue(juce::jlimit(
                         -15.0f, 15.0f, gain.getValue() - 0.5f * static_cast<float>(amount)));
                     if (copy != nullptr)
                         copy->comp->mgain().copyStep(gain);
                     refreshComp(b);
                 });
}

void CDeqTab::nudgeQuality(int b, int steps)
{
    if (b < 0 || b > 1 || deq(b).filt->type().getStep() == 0)
        return;
    Cdeq* copy = linkedDeq(b);
    applyDeqBand(b, deq(b).filt, copy != nullptr ? copy->filt : nullptr,
                 [&]
                 {
                     auto& qual = deq(b).filt->qual();
                     const int i = qualityPosition(qual.getValue()) + steps;
                     if (i >= 0 && i <= lastQualityPosition)
                     {
                         qual.setValue(qualityTable[static_cast<std::size_t>(i)]);
                         if (copy != nullptr)
                             copy->filt->qual().copyStep(qual);
                     }
                     refreshFilt(b);
                 });
}

} // namespace velmora

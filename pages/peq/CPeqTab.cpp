#include "CPeqTab.h"

#include "EQGraph.h"
#include "QualityTable.h"

namespace velmora
{
namespace
{

using kit::qualityPosition;
using kit::qualityTable;

constexpr int lastQualityPosition = static_cast<int>(qualityTable.size()) - 1;

int columnX(int b)
{
    return 84 + 80 * b;
}

juce::String textOf(const Cparam& p)
{
    std::string out;
    p.writeText(out);
    return juce::String(out);
}

bool isOff(const Cpeq& band)
{
    return band.type().getStep() == 0;
}

} // namespace

CPeqTab::CPeqTab(AppContext& ctx, int ch) : context(ctx), channel(ch)
{
    auto& root = *context.root;
    for (std::size_t b = 0; b < 8; ++b)
    {
        bands[b] = root.channels[static_cast<std::size_t>(channel)]->peq->bands[b];
        if (channel == 0)
            linkedBands[b] = root.channels[1]->peq->bands[b];
    }
    for (int b = 0; b < 8; ++b)
        buildColumn(b);

    bypass.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xffff0000));
    bypass.onUserChange = [this](bool on) { bypassClicked(on); };
    addAndMakeVisible(bypass);
    reset.setTooltip("enable/disable");
    reset.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xffff2020));
    reset.onClick = [this] { resetAsked(); };
    addAndMakeVisible(reset);

    kit::styleLabel(gainHeader, "Gain");
    kit::styleLabel(frequencyHeader, "Frequency");
    kit::styleLabel(qualityHeader, "Quality");
    kit::styleLabel(typeHeader, "Type");
    for (juce::Label* l : {&gainHeader, &frequencyHeader, &qualityHeader, &typeHeader})
        addAndMakeVisible(*l);

    activeFrame.setText({});
    activeFrame.setColour(juce::GroupComponent::outlineColourId, juce::Colours::white);
    activeFrame.setInterceptsMouseClicks(false, false);
    addAndMakeVisible(activeFrame);

    for (Cpeq* band : bands)
        band->addChangeListener(this);
    setSize(tabWidth, tabHeight);
}

CPeqTab::~CPeqTab()
{
    for (auto& c : columns)
        c->type.setLookAndFeel(nullptr);
    // A box that loses its focus while the tab goes must not send.
    for (auto& c : columns)
        c->freqBox.onLeave = nullptr;
    for (Cpeq* band : bands)
        band->removeChangeListener(this);
}

void CPeqTab::buildColumn(int b)
{
    auto col = std::make_unique<Column>();
    Column& x = *col;
    columns[static_cast<std::size_t>(b)] = std::move(col);

    x.filter.setButtonText("Filter " + juce::String(b + 1));
    x.filter.setTooltip("enable/disable");
    x.filter.onUserChange = [this, b](bool on) { filterClicked(b, on); };

    x.gain.setUp(-15.0, 15.0, 0.5, 80, 20);
    x.gain.onUserChange = [this, b](double v) { gainMoved(b, v); };
    x.freq.setUp(0.0, 600.0, 1.0);
    x.freq.onUserChange = [this, b](double v) { frequencyMoved(b, juce::roundToInt(v)); };
    x.qual.setUp(0.0, lastQualityPosition, 1.0);
    x.qual.onUserChange = [this, b](double v) { qualityMoved(b, juce::roundToInt(v)); };

    x.freqBox.setSelectsAllOnFocus(true);
    x.freqBox.storedText = [this, b] { return textOf(band(b).freq()); };
    x.freqBox.onCommit = [this, b](const juce::String& t) { return frequencyTyped(b, t); };
    // Leaving the box restores its text and sends the band as it is.
    x.freqBox.onLeave = [this, b] { applyBand(b); };
    x.qualBox.setReadOnly(true);
    x.qualBox.setCaretVisible(false);
    x.qualBox.storedText = [this, b] { return textOf(band(b).qual()); };

    x.type.setLookAndFeel(&typeLook);
    x.type.setItems({"PEQ", "LS6", "LS12", "HS6", "HS12"});
    x.type.show(1);
    x.type.onUserChange = [this, b](int id) { typeChosen(b, id); };

    kit::styleLabel(x.dB, "dB");
    kit::styleLabel(x.hz, "Hz");
    for (juce::Component* c : std::initializer_list<juce::Component*> {
             &x.filter, &x.gain, &x.freq, &x.qual, &x.freqBox, &x.qualBox, &x.type, &x.dB, &x.hz})
        addAndMakeVisible(*c);
}

void CPeqTab::resized()
{
    for (int b = 0; b < 8; ++b)
    {
        Column& x = column(b);
        const int cx = columnX(b);
        x.filter.setBounds(cx, 4, 68, 24);
        x.gain.setBounds(cx, 32, 48, 60);
        x.dB.setBounds(cx + 48, 73, 30, 18);
        x.freq.setBounds(cx + 4, 100, 40, 40);
        x.freqBox.setBounds(cx, 140, 48, 20);
        x.hz.setBounds(cx + 46, 142, 30, 18);
        x.qual.setBounds(cx + 4, 164, 40, 40);
        x.qualBox.setBounds(cx, 204, 48, 20);
        x.type.setBounds(cx, 232, 60, 20);
    }
    bypass.setBounds(12, 4, 60, 24);
    reset.setBounds(12, 40, 60, 24);
    gainHeader.setBounds(6, 72, 72, 20);
    frequencyHeader.setBounds(6, 140, 72, 20);
    qualityHeader.setBounds(6, 204, 72, 20);
    typeHeader.setBounds(6, 232, 72, 20);
}

void CPeqTab::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.setColour(juce::Colour(0xff222222));
    for (int x : {79, 239, 399, 559})
        g.fillRoundedRectangle(static_cast<float>(x), 32.0f, 77.0f, 227.0f, 5.0f);
}

// --- model to controls ----------------------------------------------------------

void CPeqTab::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    for (int b = 0; b < 8; ++b)
        if (source == bands[static_cast<std::size_t>(b)])
        {
            refreshColumn(b);
            computeBand(b);
            repaintGraph();
            updateActivity();
            return;
        }
}

void CPeqTab::refreshAll()
{
    for (int b = 0; b < 8; ++b)
    {
        refreshColumn(b);
        computeBand(b);
    }
    repaintGraph();
    updateActivity();
}

void CPeqTab::refreshColumn(int b)
{
    Column& x = column(b);
    const Cpeq& p = band(b);
    const int type = p.type().getStep();
    x.filter.show(type >= 1);
    // An "OFF" band keeps the type its box last showed, for switching it on.
    if (type >= 1)
        x.type.show(type);
    x.freqBox.refresh();
    x.freq.show(p.freq().getStep());
    x.gain.show(p.gain().getValue());
    x.qual.show(juce::jmin(qualityPosition(p.qual().getValue()), lastQualityPosition));
    x.qualBox.refresh();
    showQualityControls(b);
}

void CPeqTab::showQualityControls(int b)
{
    Column& x = column(b);
    const bool peak = x.type.getSelectedId() < 2;
    x.qual.setVisible(peak);
    x.qualBox.setVisible(peak);
}

void CPeqTab::computeBand(int b)
{
    const Cpeq& p = band(b);
    context.responses.computePeqBand(channel, b, p.type().getStep(), p.freq().getValue(),
                                     p.gain().getValue(), p.qual().getValue());
}

void CPeqTab::updateActivity()
{
    bool active = false;
    for (const Cpeq* p : bands)
        active = active || (p->type().getStep() != 0 && p->gain().getValue() != 0.0f);
    context.activity.set(context.activity.peqActive, channel, active);
}

void CPeqTab::repaintGraph()
{
    if (context.responses.peqGraph != nullptr)
        context.responses.peqGraph->repaint();
}

// --- applying a change ----------------------------------------------------------

void CPeqTab::applyBand(int b, const std::function<void()>& change)
{
    Cpeq* copy = linkedBand(b);
    context.edits.apply({bands[static_cast<std::size_t>(b)]}, change,
                        copy != nullptr ? std::vector<Cnode*> {copy} : std::vector<Cnode*> {});
    showApplied(b);
}

void CPeqTab::showApplied(int b)
{
    computeBand(b);
    repaintGraph();
    updateActivity();
    activeFrame.setBounds(80 * b + 75, 22, 85, 240);
}

void CPeqTab::setBandType(int b, int t)
{
    applyBand(b,
              [&]
              {
                  band(b).type().setStep(t);
                  if (Cpeq* copy = linkedBand(b))
                      copy->type().setStep(t);
                  if (t > 0)
                      column(b).type.show(t);
              });
}

void CPeqTab::setFilterButtonsToggle(bool on)
{
    for (auto& c : columns)
        c->filter.setClickingTogglesState(on);
}

// --- the user's actions ---------------------------------------------------------

void CPeqTab::gainMoved(int b, double dB)
{
    applyBand(b,
              [&]
              {
                  band(b).gain().setValue(static_cast<float>(dB));
                  if (Cpeq* copy = linkedBand(b))
                      copy->gain().copyStep(band(b).gain());
              });
}

void CPeqTab::frequencyMoved(int b, int step)
{
    applyBand(b,
              [&]
              {
                  band(b).freq().setStep(step);
                  if (Cpeq* copy = linkedBand(b))
                      copy->freq().copyStep(band(b).freq());
                  column(b).freqBox.refresh();
              });
}

void CPeqTab::qualityMoved(int b, int position)
{
    applyBand(b,
              [&]
              {
                  if (position >= 0 && position <= lastQualityPosition)
                  {
                      band(b).qual().setValue(qualityTable[static_cast<std::size_t>(position)]);
                      if (Cpeq* copy = linkedBand(b))
                          copy->qual().copyStep(band(b).qual());
                  }
                  column(b).qualBox.refresh();
              });
}

void CPeqTab::typeChosen(int b, int id)
{
    // While the band is off the choice waits in the box for the Filter button.
    if (column(b).filter.getToggleState())
        setBandType(b, id);
    showQualityControls(b);
}

void CPeqTab::filterClicked(int b, bool on)
{
    // While bypassed the buttons do not toggle: a click changes nothing.
    if (bypassed)
        return;
    const int chosen = column(b).type.getSelectedId();
    setBandType(b, on ? juce::jmax(1, chosen) : 0);
}

bool CPeqTab::frequencyTyped(int b, const juce::String& text)
{
    // Text without a number leaves the band as it is.
    if (! kit::readNumber(text))
        return false;
    applyBand(b,
              [&]
              {
                  band(b).freq().readText(text.trim().toStdString());
                  if (Cpeq* copy = linkedBand(b))
                      copy->freq().copyStep(band(b).freq());
                  column(b).freq.show(band(b).freq().getStep());
              });
    return true;
}

void CPeqTab::bypassClicked(bool on)
{
    std::vector<int> changed;
    for (int b = 0; b < 8; ++b)
    {
        const auto i = static_cast<std::size_t>(b);
        if (on && column(b).filter.getToggleState())
        {
            rememberedOn[i] = true;
            changed.push_back(b);
        }
        else if (! on && rememberedOn[i])
            changed.push_back(b);
        else if (on)
            rememberedOn[i] = false;
    }
    bypassed = on;
    // One edit, so that each band goes out once, after it is set.
    kit::EditHub::Edit edit;
    for (int b : changed)
    {
        Column& x = column(b);
        const int t = on ? 0 : juce::jmax(1, x.type.getSelectedId());
        x.filter.show(! on);
        band(b).type().setStep(t);
        edit.send.push_back(&band(b));
        if (Cpeq* copy = linkedBand(b))
        {
            copy->type().setStep(t);
            edit.quiet.push_back(copy);
        }
    }
    context.edits.apply([&] { return edit; });
    for (int b : changed)
        showApplied(b);
    if (! on)
        rememberedOn.fill(false);
    setFilterButtonsToggle(! on);
}

void CPeqTab::resetAsked()
{
    juce::Component::SafePointer<CPeqTab> self(this);
    context.dialogs->askQuestion("Reset Parametric EQ...", "Do you want to reset all filters?",
                                 "Yes", "Cancel",
                                 [self](bool yes)
                                 {
                                     if (self != nullptr && yes)
                                         self->resetBands();
                                 });
}

void CPeqTab::resetBands()
{
    // Every parameter of every band is set before any band is sent, and each
    // band goes out once: a band stored at +12 dB and off must not come on at
    // +12 dB for a moment.
    context.edits.apply(
        [&]
        {
            kit::EditHub::Edit edit;
            for (int b = 0; b < 8; ++b)
            {
                Cpeq& p = band(b);
                p.type().setStep(1);
                p.freq().readText(defaultFrequencies[static_cast<std::size_t>(b)]);
                p.gain().setValue(0.0f);
                p.qual().setValue(qualityTable[9]);
                column(b).type.show(1);
                edit.send.push_back(&p);
                if (Cpeq* copy = linkedBand(b))
                {
                    for (int i = 0; i < 4; ++i)
                        copy->param(i).copyStep(p.param(i));
                    edit.quiet.push_back(copy);
                }
            }
            return edit;
        });
    // All bands are on again: a bypass engaged before has nothing left to
    // restore.
    bypassed = false;
    rememberedOn.fill(false);
    bypass.show(false);
    setFilterButtonsToggle(true);
    for (int b = 0; b < 8; ++b)
    {
        refreshColumn(b);
        showApplied(b);
    }
}

void CPeqTab::linkChannels(int ampMode)
{
    linked = kit::isSingleChain(ampMode) && channel == 0;
    if (linked)
        for (int b = 0; b < 8; ++b)
            for (int i = 0; i < 4; ++i)
                linkedBands[static_cast<std::size_t>(b)]->param(i).copyStep(band(b).param(i));
    // Whatever was bypassed is forgotten, and the Filter buttons toggle again.
    bypassed = false;
    rememberedOn.fill(false);
    bypass.show(false);
    setFilterButtonsToggle(true);
}

// --- the graph's markers ------------------------------------------------------------

void CPeqTab::nudgeFrequency(int b, int steps)
{
    if (b < 0 || b > 7)
        return;
    applyBand(b,
              [&]
              {
                  auto& freq = band(b).freq();
                  freq.setStep(juce::jlimit(0, 600, freq.getStep() + steps));
                  if (Cpeq* copy = linkedBand(b))
                      copy->freq().copyStep(freq);
                  refreshColumn(b);
              });
}

void CPeqTab::nudgeGain(int b, int amount)
{
    if (b < 0 || b > 7 || isOff(band(b)))
        return;
    applyBand(b,
              [&]
              {
                  auto& gain = band(b).gain();
                  gain.setValue(gain.getValue() - 0.5f * static_cast<float>(amount));
                  if (Cpeq* copy = linkedBand(b))
                      copy->gain().copyStep(gain);
                  refreshColumn(b);
              });
}

void CPeqTab::nudgeQuality(int b, int steps)
{
    if (b < 0 || b > 7 || isOff(band(b)))
        return;
    applyBand(b,
              [&]
              {
                  auto& qual = band(b).qual();
                  const int i = qualityPosition(qual.getValue()) + steps;
                  if (i >= 0 && i <= lastQualityPosition)
                  {
                      qual.setValue(qualityTable[static_cast<std::size_t>(i)]);
                      if (Cpeq* copy = linkedBand(b))
                          copy->qual().copyStep(qual);
                  }
                  refreshColumn(b);
              });
}

} // namespace velmora

#include "CXoverPage.h"

#include "Palette.h"
#include "ScalePictures.h"
#include "XoverChoices.h"
#include "XoverPictures.h"

namespace velmora
{
namespace
{

const char* const sectionTitles[4] = {"High Pass 1", "Low Pass 2", "High Pass 3", "Low Pass 4"};

// x positions of the section controls, in section order.
constexpr int titleX[4] = {56, 248, 412, 608};
constexpr int knobX[4] = {72, 260, 428, 620};
constexpr int freqLabelX[4] = {24, 212, 380, 572};
constexpr int boxX[4] = {68, 256, 424, 616};
constexpr int hzX[4] = {116, 304, 472, 664};
constexpr int familyX[4] = {32, 220, 388, 580};
constexpr int slopeX[4] = {33, 220, 388, 580};

const juce::Colour channelColour[2] = {juce::Colour(0xfffdbb30), juce::Colour(0xff2e79ff)};

} // namespace

CXoverPage::CXoverPage(AppContext& ctx)
    : Page("Xover", ctx), graph(Crossover, this, ctx.responses.selectedHandle)
{
    // 1. The controls.
    for (int k = 0; k < 4; ++k)
        buildSection(k);
    for (int c = 0; c < 2; ++c)
        buildChannel(c);
    xoverButton.setName("textButton");
    xoverButton.onUserChange = [this](bool on) { xoverButtonClicked(on); };
    addAndMakeVisible(xoverButton);

    // 2. The pictures.
    frequencyPicture = pictures::xoverFrequencyScale();
    levelPicture = pictures::xoverLevelScale();

    // 3. The six blocks.
    auto& root = *context.root;
    for (std::size_t c = 0; c < 2; ++c)
    {
        const Cxoversection& x = *root.channels[c]->xover;
        sectionNodes[2 * c] = x.hp;
        sectionNodes[2 * c + 1] = x.lp;
        gainNodes[c] = x.gain;
        x.hp->addChangeListener(this);
        x.lp->addChangeListener(this);
        x.gain->addChangeListener(this);
    }

    // 5. The graph: channel A amber, B blue, filled down to the bottom.
    graph.setName("EQGraph");
    for (std::size_t c = 0; c < 2; ++c)
    {
        graph.curveColour[c] = channelColour[c];
        graph.fillColour[c] = channelColour[c].withAlpha(0.3f);
    }
    graph.responseFunction = [this](int curve, float f) { return xoverResponse(curve, f); };
    graph.fillMode = 2;
    graph.setHandleCount(4);
    for (int k = 0; k < 4; ++k)
        graph.addHandle(pictures::markerDigit(k + 1), k);
    addAndMakeVisible(graph);

    context.ampModeFollowers[AppContext::xoverFollower] = this;
    resized();
}

CXoverPage::~CXoverPage()
{
    auto& follower = context.ampModeFollowers[AppContext::xoverFollower];
    if (follower == this)
        follower = nullptr;
    for (Cxover* b : sectionNodes)
        b->removeChangeListener(this);
    for (Cxovergain* b : gainNodes)
        b->removeChangeListener(this);
}

void CXoverPage::buildSection(int k)
{
    auto made = std::make_unique<Section>();
    Section& s = *made;
    sections[static_cast<std::size_t>(k)] = std::move(made);

    s.title.setName("filter type");
    kit::styleLabel(s.title, sectionTitles[k]);
    s.freqLabel.setName("filter frequency");
    kit::styleLabel(s.freqLabel, "Freq.");
    s.hzLabel.setName("filter frequency");
    kit::styleLabel(s.hzLabel, "Hz");
    for (juce::Label* l : {&s.title, &s.freqLabel, &s.hzLabel})
        addAndMakeVisible(*l);

    s.knob.setName("sine wave frequency");
    s.knob.setUp(0.0, 600.0, 1.0);
    s.knob.onUserChange = [this, k](double v) { setSectionStep(k, static_cast<int>(v)); };
    addAndMakeVisible(s.knob);

    s.box.setSelectsAllOnFocus(true);
    s.box.storedText = [this, k] { return juce::String(block(k).freq().text()); };
    s.box.onCommit = [this, k](const juce::String& t) { return frequencyTyped(k, t); };
    // Leaving the box without Return only restores its text: nothing is set
    // or sent, and the link partner is left alone.
    addAndMakeVisible(s.box);

    s.family.setName("FilterType");
    s.family.setItems({xover::familyTexts[0], xover::familyTexts[1], xover::familyTexts[2],
                       xover::familyTexts[3]});
    s.family.onUserChange = [this, k](int id) { selectFilter(k, id, 0); };
    s.slope.setName("FilterSlope");
    s.slope.setItems({xover::slopeTexts[0], xover::slopeTexts[1], xover::slopeTexts[2],
                      xover::slopeTexts[3], xover::slopeTexts[4]});
    s.slope.onUserChange = [this, k](int id)
    { selectFilter(k, section(k).family.getSelectedId(), id); };
    addAndMakeVisible(s.family);
    addAndMakeVisible(s.slope);
}

void CXoverPage::buildChannel(int c)
{
    auto made = std::make_unique<Channel>();
    Channel& x = *made;
    channels[static_cast<std::size_t>(c)] = std::move(made);

    x.group.setName(c == 0 ? "channel A group" : "channel B group");
    x.group.setText(c == 0 ? "Channel A" : "Channel B");
    addAndMakeVisible(x.group);
    x.gainLabel.setName("xover gain");
    kit::styleLabel(x.gainLabel, "Gain", 15.0f, juce::Justification::centred);
    x.dbLabel.setName("xover gain");
    kit::styleLabel(x.dbLabel, "dB");
    x.typeLabel.setName("filter type");
    kit::styleLabel(x.typeLabel, "Type", 15.0f, juce::Justification::centred);
    x.slopeLabel.setName("filter type");
    kit::styleLabel(x.slopeLabel, "Slope", 15.0f, juce::Justification::centred);
    for (juce::Label* l : {&x.gainLabel, &x.dbLabel, &x.typeLabel, &x.slopeLabel})
        addAndMakeVisible(*l);

    x.gain.setName("xover gain");
    x.gain.setUp(-12.0, 12.0, 0.5, 80, 20);
    x.gain.onUserChange = [this, c](double v) { setChannelGain(c, v); };
    addAndMakeVisible(x.gain);
}

void CXoverPage::resized()
{
    graph.setBounds(50, 10, 660, 150);
    xoverButton.setBounds(316, 180, 88, 24);
    for (int c = 0; c < 2; ++c)
    {
        Channel& x = channel(c);
        const int dx = c == 0 ? 0 : 356;
        x.group.setBounds(4 + dx, 206, 356, 260);
        x.gainLabel.setBounds(164 + dx, 228, 52, 20);
        x.gain.setBounds(160 + dx, 248, 48, 60);
        x.dbLabel.setBounds(208 + dx, 288, 28, 20);
        x.typeLabel.setBounds(160 + dx, 384, 44, 20);
        x.slopeLabel.setBounds(160 + dx, 420, 60, 20);
    }
    for (int k = 0; k < 4; ++k)
    {
        Section& s = section(k);
        s.title.setBounds(titleX[k], 284, k % 2 == 0 ? 84 : 80, 20);
        s.knob.setBounds(knobX[k], 308, 40, 40);
        s.freqLabel.setBounds(freqLabelX[k], 352, 44, 20);
        s.box.setBounds(boxX[k], 352, 48, 20);
        s.hzLabel.setBounds(hzX[k], 352, 28, 20);
        s.family.setBounds(familyX[k], 384, 112, 20);
        s.slope.setBounds(slopeX[k], k == 0 ? 421 : 420, 112, 20);
    }
}

void CXoverPage::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.drawImageAt(frequencyPicture, 43, 160);
    g.drawImageAt(levelPicture, 20, 4);
    g.setColour(palette::panel);
    g.fillRect(0, 176, 720, 28);
    for (std::size_t k = 0; k < 4; ++k)
        graph.handleFrequency[k] = response.sectionFrequency[k];
}

// --- refresh from the tree ------------------------------------------------------

void CXoverPage::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    for (int k = 0; k < 4; ++k)
        if (source == sectionNodes[static_cast<std::size_t>(k)])
            refreshSection(k);
    for (int c = 0; c < 2; ++c)
        if (source == gainNodes[static_cast<std::size_t>(c)])
            refreshGain(c);
    graph.repaint();
    updateXoverActive();
}

void CXoverPage::refreshSection(int k, Edit* edit)
{
    Cxover& b = block(k);
    const int type = b.type().getStep();
    // Re-selects both lists and, under the mode link, copies a channel A
    // type to channel B.
    applyFilterChoice(k, xover::slopeOf(type), xover::familyOf(type), edit);
    Section& s = section(k);
    s.box.refresh();
    s.knob.show(b.freq().getStep());
    response.designSection(k, type, b.freq().getValue());
    graph.handleFrequency[static_cast<std::size_t>(k)] = b.freq().getValue();
}

void CXoverPage::refreshGain(int c)
{
    const float dB = gainBlock(c).gain().getValue();
    channel(c).gain.show(dB);
    response.xoverGainDb[static_cast<std::size_t>(c)] = dB;
}

void CXoverPage::updateXoverActive()
{
    auto& activity = context.activity;
    for (int c = 0; c < 2; ++c)
    {
        const bool on = block(2 * c).type().getStep() >= 1 ||
                        block(2 * c + 1).type().getStep() >= 1 ||
                        gainBlock(c).gain().getValue() != 0.0f;
        activity.set(activity.xoverActive, c, on);
    }
}

// --- the amplifier mode ---------------------------------------------------------

void CXoverPage::setAmpMode(int mode)
{
    channelsLinked = kit::isSingleChain(mode);
    if (channelsLinked)
    {
        // The amplifier runs one chain for both channels; the tree follows
        // without sending.
        for (int k = 0; k < 2; ++k)
        {
            block(k + 2).type().setStep(block(k).type().getStep());
            block(k + 2).freq().setValue(block(k).freq().getValue());
        }
        graph.setHandleCount(2);
    }
    else
    {
        // Channel B shows its own blocks again, its gain as well as its
        // filters (the mode link may have changed all three in the tree).
        refreshSection(2);
        refreshSection(3);
        refreshGain(1);
        graph.setHandleCount(4);
    }

    const bool enableB = ! channelsLinked;
    Channel& b = channel(1);
    for (juce::Component* part : std::initializer_list<juce::Component*> {
             &b.group, &b.gain, &b.gainLabel, &b.dbLabel, &b.typeLabel, &b.slopeLabel})
        part->setEnabled(enableB);
    for (int k = 2; k < 4; ++k)
    {
        Section& s = section(k);
        for (juce::Component* part : std::initializer_list<juce::Component*> {
                 &s.title, &s.freqLabel, &s.hzLabel, &s.knob, &s.box, &s.family, &s.slope})
            part->setEnabled(enableB);
    }
    graph.curveCount = channelsLinked ? 1 : 2;

    const bool biamp = mode == 2 || mode == 3;
    xoverButton.setEnabled(biamp);
    xoverLinked = biamp && xoverButton.getToggleState();
    showGroupTitles(mode);
    graph.repaint();
    updateXoverActive();
}

void CXoverPage::showGroupTitles(int mode)
{
    if (mode == 1)
        channel(0).group.setText("Channel A+B");
    else if (xoverLinked)
    {
        channel(0).group.setText("Channel A - LOW");
        channel(1).group.setText("Channel B - HIGH");
    }
    else
    {
        channel(0).group.setText("Channel A");
        channel(1).group.setText("Channel B");
    }
}

} // namespace velmora

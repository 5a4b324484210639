#include "CConfigPage.h"

#include "FlowPictures.h"
#include "OscCom.h"
#include "Palette.h"

namespace velmora
{
namespace
{

const char* const modeTexts[5] = {"Dual Mono", "Stereo", "Bi-Amp 1", "Bi-Amp 2", "Bridge"};
constexpr int channelShift = 356;

} // namespace

CConfigPage::CConfigPage(AppContext& ctx) : Page("Configuration", ctx)
{
    addAndMakeVisible(modeGroup);
    for (int m = 0; m < 5; ++m)
    {
        auto button = std::make_unique<kit::Toggle>(modeTexts[m]);
        button->setRadioGroupId(1);
        button->onUserChange = [this, m](bool) { requestAmpMode(m); };
        addAndMakeVisible(*button);
        modeButtons[static_cast<std::size_t>(m)] = std::move(button);
    }
    linkButton.onUserChange = [this](bool on) { setChannelLink(on); };
    addAndMakeVisible(linkButton);
    for (int c = 0; c < 2; ++c)
        buildChannel(c);
    fillLoadLists();
    for (int c = 0; c < 2; ++c)
    {
        channel(c).load.show(1);
        channel(c).zero.show(true);
    }

    auto& root = *context.root;
    ampModeBlock = root.ampmode;
    for (std::size_t c = 0; c < 2; ++c)
    {
        delayBlock[c] = root.channels[c]->delay;
        limiterBlock[c] = root.channels[c]->limiter;
    }
    for (Cnode* block :
         std::initializer_list<Cnode*> {ampModeBlock, delayBlock[0], delayBlock[1], limiterBlock[0],
                                        limiterBlock[1], &speakerBlock})
        block->addChangeListener(this);
    background = pictures::flowBackground(0);
    context.activity.changed = [this] { repaint(); };
    resized();
}

CConfigPage::~CConfigPage()
{
    context.activity.changed = nullptr;
    for (Cnode* block :
         std::initializer_list<Cnode*> {ampModeBlock, delayBlock[0], delayBlock[1], limiterBlock[0],
                                        limiterBlock[1], &speakerBlock})
        block->removeChangeListener(this);
}

void CConfigPage::buildChannel(int c)
{
    auto ch = std::make_unique<Channel>();
    Channel& x = *ch;
    channels[static_cast<std::size_t>(c)] = std::move(ch);
    const bool a = c == 0;

    x.group.setText(a ? "Channel A" : "Channel B");
    addAndMakeVisible(x.group);
    kit::styleLabel(x.delayLabel, "Delay");
    kit::styleLabel(x.msLabel, "ms");
    kit::styleLabel(x.mLabel, "m");
    kit::styleLabel(x.ftLabel, "ft");
    kit::styleLabel(x.limiterLabel, "Peak Limiter", 15.0f, juce::Justification::centred);
    kit::styleLabel(x.dbfsLabel, "dBfs");
    kit::styleLabel(x.voltsLabel, "Vp");
    kit::styleLabel(x.wattsLabel, "W");
    kit::styleLabel(x.loadLabel, "Load", 15.0f, juce::Justification::centredRight);
    kit::styleLabel(x.outputLabel, "Output", 15.0f, juce::Justification::centredRight);
    kit::styleLabel(x.holdLabel, "Hold", 15.0f, juce::Justification::centred);
    kit::styleLabel(x.holdUnit, "ms");
    kit::styleLabel(x.releaseLabel, "Release", 15.0f, juce::Justification::centred);
    kit::styleLabel(x.releaseUnit, "ms");
    for (juce::Label* l : {&x.delayLabel, &x.msLabel, &x.mLabel, &x.ftLabel, &x.limiterLabel,
                           &x.dbfsLabel, &x.voltsLabel, &x.wattsLabel, &x.loadLabel, &x.holdLabel,
                           &x.holdUnit, &x.releaseLabel, &x.releaseUnit})
        addAndMakeVisible(*l);
    addChildComponent(x.outputLabel);

    x.delayKnob.setUp(0.0, 300.0, 0.02);
    x.delayKnob.onUserChange = [this, c](double v) { delayKnobMoved(c, v); };
    x.thresholdKnob.setUp(-36.0, 0.0, 0.1, 55, 20);
    x.thresholdKnob.onUserChange = [this, c](double v) { thresholdKnobMoved(c, v); };
    x.holdKnob.setUp(0.0, 2000.0, 2.5, 55, 20);
    x.holdKnob.onUserChange = [this, c](double v) { holdOrReleaseMoved(c, true, v); };
    x.releaseKnob.setUp(20.0, 4000.0, a ? 2.5 : 0.5, 55, 20);
    x.releaseKnob.onUserChange = [this, c](double v) { holdOrReleaseMoved(c, false, v); };
    for (kit::Knob* k : {&x.delayKnob, &x.thresholdKnob, &x.holdKnob, &x.releaseKnob})
        addAndMakeVisible(*k);

    kit::ValueBox* delayBoxes[3] = {&x.msBox, &x.mBox, &x.ftBox};
    for (int unit = 0; unit < 3; ++unit)
    {
        auto& box = *delayBoxes[unit];
        box.setIndents(8, 3);
        box.setSelectsAllOnFocus(true);
        box.storedText = [this, c, unit]
        {
            const double ms = delay(c).del().getValue();
            return juce::String(ms * delayUnitFactor[static_cast<std::size_t>(unit)],
                                unit == 0 ? 2 : 3);
        };
        box.onCommit = [this, c, unit](const juce::String& t) { return delayTyped(c, unit, t); };
        addAndMakeVisible(box);
    }
    x.voltsBox.setIndents(10, 3);
    x.voltsBox.setSelectsAllOnFocus(true);
    x.voltsBox.storedText = [this, c]
    {
        const float vp = juce::jmin(limiter(c).thres().getValue(), fullScale());
        return juce::String(bridged ? vp * 2.0f : vp, 1);
    };
    x.voltsBox.onCommit = [this, c](const juce::String& t) { return voltsTyped(c, t); };
    x.powerBox.setIndents(10, 3);
    x.powerBox.setReadOnly(true);
    x.powerBox.setCaretVisible(false);
    x.powerBox.setText(" - ", juce::dontSendNotification);
    addAndMakeVisible(x.voltsBox);
    addAndMakeVisible(x.powerBox);

    x.phase.onUserChange = [this, c](bool on) { phaseButtonClicked(c, on); };
    x.zero.setRadioGroupId(a ? 2 : 3);
    x.inverted.setRadioGroupId(a ? 2 : 3);
    x.zero.setClickingTogglesState(true);
    x.inverted.setClickingTogglesState(true);
    x.zero.onUserChange = [this, c](bool) { polarityChosen(c, 0); };
    x.inverted.onUserChange = [this, c](bool) { polarityChosen(c, 180); };
    addAndMakeVisible(x.phase);
    addAndMakeVisible(x.zero);
    addAndMakeVisible(x.inverted);

    x.load.onUserChange = [this, c](int) { loadChosen(c); };
    addAndMakeVisible(x.load);
}

void CConfigPage::fillLoadLists()
{
    if (isLineOutputModel())
    {
        for (int c = 0; c < 2; ++c)
            channel(c).load.setItems({"100 V", "70 V"});
        return;
    }
    channel(0).load.setItems({" -", "2 Ohm", "4 Ohm", "8 Ohm", "16 Ohm"});
    // At start channel B's list shows the bare numbers; a model's lists are
    // the same on both channels.
    if (modelIndex == 0 && channel(1).load.getNumItems() == 0)
        channel(1).load.setItems({"  -", "  2", "  4", "  8", "  16"});
    else
        channel(1).load.setItems({" -", "2 Ohm", "4 Ohm", "8 Ohm", "16 Ohm"});
}

void CConfigPage::resized()
{
    modeGroup.setBounds(4, 8, 712, 152);
    for (int m = 0; m < 5; ++m)
        modeButton(m).setBounds(20, 24 + 26 * m, 80, 24);
    linkButton.setBounds(312, 160, 96, 24);
    for (int c = 0; c < 2; ++c)
        layOutChannel(c);
}

void CConfigPage::layOutChannel(int c)
{
    Channel& x = channel(c);
    const int dx = c * channelShift;
    x.group.setBounds(4 + dx, 178, 356, 288);
    x.delayLabel.setBounds(52 + dx, 204, 68, 20);
    x.delayKnob.setBounds(66 + dx, 228, 40, 40);
    x.msBox.setBounds(60 + dx, 268, 52, 20);
    x.mBox.setBounds(60 + dx, 296, 52, 20);
    x.ftBox.setBounds(60 + dx, 324, 52, 20);
    x.msLabel.setBounds(114 + dx, 268, 30, 20);
    x.mLabel.setBounds(114 + dx, 296, 30, 20);
    x.ftLabel.setBounds(114 + dx, 324, 30, 20);
    x.phase.setBounds(52 + dx, 368, 68, 24);
    x.zero.setBounds(28 + dx, 400, 56, 24);
    x.inverted.setBounds(88 + dx, 400, 64, 24);

    x.limiterLabel.setBounds(182 + dx, 204, 160, 20);
    x.thresholdKnob.setBounds(228 + dx, 228, 48, 60);
    x.dbfsLabel.setBounds(278 + dx, 268, 40, 20);
    x.voltsBox.setBounds(228 + dx, 296, 48, 20);
    x.voltsLabel.setBounds(278 + dx, 296, 30, 20);
    x.powerBox.setBounds(228 + dx, 320, 48, 20);
    x.wattsLabel.setBounds(278 + dx, 320, 30, 20);
    x.loadLabel.setBounds(168 + dx, 344, 56, 20);
    x.outputLabel.setBounds(168 + dx, 344, 56, 20);
    x.load.setBounds(228 + dx, 344, 62, 20);
    x.holdLabel.setBounds(188 + dx, 372, 48, 20);
    x.holdKnob.setBounds(188 + dx, 392, 48, 60);
    x.holdUnit.setBounds(238 + dx, 432, 30, 20);
    x.releaseLabel.setBounds(266 + dx, 372, 60, 20);
    x.releaseKnob.setBounds(272 + dx, 392, 48, 60);
    x.releaseUnit.setBounds(322 + dx, 432, 30, 20);
}

void CConfigPage::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.drawImageAt(background, 120, 38);

    using pictures::FlowBlock;
    const auto& flags = context.activity;
    const bool twoRows = ampMode == 0 || ampMode == 2 || ampMode == 3;
    const int y0 = ampMode == 1 ? 63 : 38;
    auto block = [&](FlowBlock kind, bool lit, int x, int y)
    { g.drawImageAt(pictures::flowBlock(kind, lit), x, y); };

    if (ampMode == 2 || ampMode == 3)
        block(FlowBlock::xover, flags.xoverActive[0], 199, y0);
    else
    {
        block(FlowBlock::filter, flags.xoverActive[0], ampMode == 1 ? 227 : 199, y0);
        if (ampMode == 0)
            block(FlowBlock::filter, flags.xoverActive[1], 199, y0 + 51);
    }
    for (int r = 0; r < (twoRows ? 2 : 1); ++r)
    {
        const auto i = static_cast<std::size_t>(r);
        const int y = y0 + 51 * r;
        block(FlowBlock::peq, flags.peqActive[i], 279, y);
        block(FlowBlock::deq, flags.deqActive[i], 331, y);
        block(FlowBlock::delay, flags.delayActive[i], 383, y);
        block(FlowBlock::limit, flags.limiterActive[i], 435, y);
    }
}

// --- the amplifier mode ---------------------------------------------------------

int CConfigPage::getAmpMode() const
{
    return ampModeBlock->mode().getStep();
}

void CConfigPage::requestAmpMode(int mode)
{
    // One question at a time: choosing and connecting a device both tell
    // the page the model, and each "Yes" would send the mode again.
    if (mode == getAmpMode() || modeQuestionOpen)
        return;
    modeQuestionOpen = true;
    juce::Component::SafePointer<CConfigPage> self(this);
    context.dialogs->askQuestion("Changing Amp-mode...", "Do you want to change the Amp-mode?",
                                 "Yes", "Cancel",
                                 [self, mode](bool yes)
                                 {
                                     if (self == nullptr)
                                         return;
                                     self->modeQuestionOpen = false;
                                     if (! yes || mode == self->getAmpMode())
                                     {
                                         self->modeButton(self->getAmpMode()).show(true);
                                         return;
                                     }
                                     self->changeAmpMode(mode);
                                 });
}

void CConfigPage::changeAmpMode(int mode)
{
    // Channel B is asked for once the new mode has gone out, so the
    // amplifier answers from the mode it is in, and "/ampmode" does not wait
    // behind a query per block.
    bool askForB = false;
    context.edits.apply(
        [&]
        {
            ampModeBlock->mode().setStep(mode);
            askForB = applyAmpMode(mode, true);
            // The load is applied again under the new mode.
            kit::EditHub::Edit edit {applyLoad(0), {&delay(1), &limiter(1)}};
            edit.send.push_back(ampModeBlock);
            return edit;
        });
    if (askForB)
        askForChannelB();
}

bool CConfigPage::applyAmpMode(int mode, bool askLater)
{
    const bool wasSingleChain = singleChain;
    for (kit::AmpModeFollower* page : context.ampModeFollowers)
        if (page != nullptr)
            page->followAmpMode(mode);
    setModeLayout(mode);
    ampMode = mode;
    background = pictures::flowBackground(mode);
    repaint();

    // In STEREO and BRIDGE the pages copied channel A into channel B's tree
    // without sending; the amplifier kept its own. Ask it for channel B again.
    const bool askForB =
        wasSingleChain && ! singleChain && context.com != nullptr && context.com->isOnline();
    if (askForB && ! askLater)
        askForChannelB();
    return askForB;
}

void CConfigPage::askForChannelB()
{
    forEachBlock(*context.root->channels[1],
                 [this](Cnode& block) { context.com->queueQuery(block.getPath()); });
}

void CConfigPage::setModeLayout(int mode)
{
    singleChain = kit::isSingleChain(mode);
    if (singleChain)
        delay(1).del().setStep(delay(0).del().getStep());
    else
        refreshDelay(1);
    channel(0).group.setText(mode == 1 ? "Channel A+B" : "Channel A");

    Channel& b = channel(1);
    for (juce::Component* part : std::initializer_list<juce::Component*> {
             &b.group,       &b.delayKnob,     &b.msBox,     &b.mBox,         &b.ftBox,
             &b.delayLabel,  &b.msLabel,       &b.mLabel,    &b.ftLabel,      &b.phase,
             &b.zero,        &b.inverted,      &linkButton,  &b.limiterLabel, &b.dbfsLabel,
             &b.voltsLabel,  &b.wattsLabel,    &b.holdLabel, &b.holdUnit,     &b.releaseLabel,
             &b.releaseUnit, &b.thresholdKnob, &b.holdKnob,  &b.releaseKnob,  &b.voltsBox,
             &b.powerBox,    &b.load})
        part->setVisible(! singleChain);
    b.loadLabel.setVisible(! singleChain && ! isLineOutputModel());
    b.outputLabel.setVisible(! singleChain && isLineOutputModel());

    bridged = mode == 4;
    if (singleChain)
    {
        limiter(1).thres().setValue(limiter(0).thres().getValue());
        limiter(1).rel().setValue(limiter(0).rel().getValue());
        limiter(1).hold().setValue(limiter(0).hold().getValue());
    }
    else
        refreshLimiter(1);
    // The volts and power shown follow the bridge.
    refreshLimiter(0);
}

// --- channel link ---------------------------------------------------------------

void CConfigPage::setChannelLink(bool on)
{
    channelsLinked = on;
    if (! on)
        return;
    context.edits.apply({&delay(1), &limiter(1)},
                        [&]
                        {
                            delay(1).del().setStep(delay(0).del().getStep());
                            delay(1).pol().setStep(delay(0).pol().getStep());
                            refreshDelay(1);
                            limiter(1).thres().setValue(limiter(0).thres().getValue());
                            limiter(1).rel().setValue(limiter(0).rel().getValue());
                            limiter(1).hold().setValue(limiter(0).hold().getValue());
                            loadChoice[1] = loadChoice[0];
                            auto& flags = context.activity;
                            flags.set(flags.delayActive, 1, flags.delayActive[0]);
                            flags.set(flags.limiterActive, 1, flags.limiterActive[0]);
                            refreshLimiter(1);
                        });
    repaint();
}

// --- the model ----------------------------------------------------------------

float CConfigPage::fullScale() const
{
    return maxPeakVolts[static_cast<std::size_t>(modelIndex >= 0 && modelIndex < 8 ? modelIndex
                                                                                   : 7)];
}

void CConfigPage::setDeviceModel(int index)
{
    modelIndex = index >= 0 && index < 8 ? index : 7;
    const bool line = isLineOutputModel();
    for (int c = 0; c < 2; ++c)
    {
        Channel& x = channel(c);
        const bool shown = c == 0 || ! singleChain;
        x.outputLabel.setVisible(shown && line);
        x.loadLabel.setVisible(shown && ! line);
        if (line)
            x.powerBox.setText(" - ", juce::dontSendNotification);
    }
    // The lists first, so that nothing below picks from the old ones.
    fillLoadLists();
    loadChoice = {0, 0};
    for (int c = 0; c < 2; ++c)
        channel(c).load.show(0);

    // A new full scale changes how the stored thresholds read.
    refreshLimiter(0);
    refreshLimiter(1);

    if (canBridge())
        modeButton(4).setVisible(true);
    else if (modelIndex != 7)
    {
        if (getAmpMode() == 4)
            requestAmpMode(0);
        modeButton(4).setVisible(false);
    }
}

void CConfigPage::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    for (int c = 0; c < 2; ++c)
    {
        if (source == delayBlock[static_cast<std::size_t>(c)])
            return refreshDelay(c);
        if (source == limiterBlock[static_cast<std::size_t>(c)])
            return refreshLimiter(c);
    }
    if (source == ampModeBlock)
    {
        const int mode = getAmpMode();
        modeButton(mode).show(true);
        applyAmpMode(mode);
        // A model without "Bridge" reported in BRIDGE (found so while
        // connecting, or by a preset): ask to go to Dual Mono, as choosing
        // the model does.
        if (mode == 4 && modelIndex != 7 && ! canBridge())
            requestAmpMode(0);
    }
    else if (source == &speakerBlock)
        refreshSpeaker();
}

} // namespace velmora

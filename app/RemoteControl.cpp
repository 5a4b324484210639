#include "RemoteControl.h"

#include <cmath>

#include "CConfigPage.h"
#include "CDeqPage.h"
#include "CPeqPage.h"
#include "CSetupPage.h"
#include "CUtilityPage.h"
#include "CXoverPage.h"
#include "OscCom.h"
#include "Pages.h"
#include "Palette.h"
#include "Pictures.h"
#include "UsbConnection.h"

namespace velmora
{

const std::array<const char*, 8> RemoteControl::deviceLabels {
    "[Device: VN-840]",    "[Device: VN-880]",    "[Device: VN-840Z]",   "[Device: VN-880Z]",
    "[Device: ZL-200-DX]", "[Device: ZL-500-DX]", "[Device: ZL-900-DX]", "[not connected!]"};

namespace
{

// The column's geometry.
constexpr int columnX = 735;
constexpr int columnWidth = 174;
constexpr int groupX = 745;
constexpr int groupWidth = 154;
constexpr int outputsTop = 72;
constexpr int inputsTop = 248;
constexpr int meterOffsetY = 43; // from a group's top to its meters
constexpr int scaleX = groupX + groupWidth / 2 - 18;
constexpr int meterAX = scaleX - 6 - 14;
constexpr int meterBX = scaleX + 36 + 6;

} // namespace

RemoteControl::RemoteControl(juce::DocumentWindow* w, AppContext& ctx)
    : juce::Component("Didazozuzo"), window(w), context(ctx)
{
    context.mainPanel = this;

    // 1. Groups, gain controls, value boxes, labels, tabs.
    for (auto* group : {&outputsGroup, &inputsGroup})
    {
        group->setColour(juce::GroupComponent::outlineColourId, palette::outline);
        group->setColour(juce::GroupComponent::textColourId, palette::text);
        addAndMakeVisible(*group);
    }
    for (auto* slider : {&gainA, &gainB})
    {
        slider->setSliderStyle(juce::Slider::LinearVertical);
        slider->setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
        slider->setRange(-60.0, 0.0, 0.5);
        slider->setColour(juce::Slider::thumbColourId, juce::Colour(0xff9f2f2f));
        slider->setColour(juce::Slider::trackColourId, palette::outline);
        slider->setColour(juce::Slider::backgroundColourId, juce::Colour(0xff1a1a1a));
        slider->addListener(this);
        addAndMakeVisible(*slider);
    }
    for (auto* b : {&muteBButton, &muteAButton})
    {
        b->setButtonText("Mute");
        b->setColour(juce::TextButton::buttonColourId, palette::panel);
        b->setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xffff0000));
        b->setColour(juce::TextButton::textColourOffId, palette::amber);
        b->setColour(juce::TextButton::textColourOnId, palette::text);
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    linkButton.setButtonText("Link");
    linkButton.setColour(juce::TextButton::buttonColourId, palette::panel);
    linkButton.setColour(juce::TextButton::buttonOnColourId, palette::panel);
    linkButton.setColour(juce::TextButton::textColourOffId, palette::amber);
    linkButton.setColour(juce::TextButton::textColourOnId, palette::text);
    linkButton.addListener(this);
    addAndMakeVisible(linkButton);
    for (auto* e : {&gainAText, &gainBText})
    {
        e->setMultiLine(false);
        e->setText("0.0", false);
        e->setJustification(juce::Justification::centred);
        e->setColour(juce::TextEditor::textColourId, palette::text);
        e->setColour(juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
        e->setColour(juce::TextEditor::outlineColourId, juce::Colour(0x60a8a8a8));
        addAndMakeVisible(*e);
    }
    setupLabel(outputALabel, "A");
    setupLabel(outputBLabel, "B");
    setupLabel(inputBLabel, "B");
    setupLabel(inputALabel, "A");
    addAndMakeVisible(tabs);
    tabs.setTabBarDepth(30);
    tabs.setOutline(0);

    // 2. The pages in tab order; the panel keeps the Utility page itself,
    //    since its tab comes and goes.
    auto addPage = [&](auto* page, auto*& reference, const char* name)
    {
        reference = page;
        tabs.addTab(name, palette::tab, page, true);
    };
    addPage(new CConfigPage(context), context.configPage, "  Configuration  ");
    addPage(new CXoverPage(context), context.xoverPage, "  Filter/Crossover  ");
    addPage(new CPeqPage(context), context.peqPage, "  Parametric EQ  ");
    addPage(new CDeqPage(context), context.deqPage, "  Dynamic EQ  ");
    addPage(new CSetupPage(context, *this), context.setupPage, "  Setup  ");
    utilityPage = std::make_unique<CUtilityPage>(context);
    context.utilityPage = utilityPage.get();
    tabs.addTab("  Utility  ", palette::tab, utilityPage.get(), false);

    // 3.-6. Setup shown, labels and pictures, size, no Utility tab yet.
    tabs.setCurrentTabIndex(4);
    dbLabel.setName("dB label");
    dbLabel.setText("dB", juce::dontSendNotification);
    dbLabel.setFont(juce::Font(15.0f));
    dbLabel.setJustificationType(juce::Justification::centredLeft);
    dbLabel.setColour(juce::Label::textColourId, palette::text);
    addAndMakeVisible(dbLabel);
    versionLabel.setName("new label");
    versionLabel.setText("V1.1", juce::dontSendNotification);
    versionLabel.setFont(juce::Font(15.0f));
    versionLabel.setJustificationType(juce::Justification::centred);
    versionLabel.setColour(juce::Label::textColourId, palette::text);
    addAndMakeVisible(versionLabel);
    header = pictures::header();
    vornLogo = pictures::vornLogo();
    vornBadge = pictures::vornBadge();
    zephylLogo = pictures::zephylLogo();
    zephylBadge = pictures::zephylBadge();
    scale = pictures::meterScale();
    setSize(panelWidth, panelHeight);
    tabs.removeTab(5);

    // 7.-8. Both gains at the bottom; the notifications come after the
    //       communicator exists and is offline, so nothing is sent.
    gainA.setValue(-60.0, juce::sendNotificationAsync);
    gainB.setValue(-60.0, juce::sendNotificationAsync);
    for (auto* b : {&muteAButton, &muteBButton, &linkButton})
        b->setClickingTogglesState(true);

    // 9. The communicator: opens its socket and broadcasts "/info".
    osc::OscCom::UsbFactory makeUsb;
    if (context.hid != nullptr)
        makeUsb = [this](juce::MessageListener& listener, int magic)
        { return std::make_unique<UsbConnection>(listener, magic, *context.hid); };
    com = std::make_unique<osc::OscCom>(
        osc::OscCom::Links {*context.root, *context.setupPage, *this, *context.dialogs},
        osc::OscComTiming {}, makeUsb,
        context.datagrams != nullptr ? *context.datagrams : systemDatagramPlatform());
    context.com = com.get();
    setOutbox(com.get());
    com->setSpeakerBlock(&context.configPage->speakerBlock);
    com->setSiggenBlock(&utilityPage->siggen);

    // 10.-12. Meters, LEDs, value boxes.
    const char* meterNames[] = {"input meter A", "input meter B", "output meter A",
                                "output meter B"};
    const char* ledNames[] = {"input clip led A", "input clip led B", "output limit led A",
                              "output limit led B"};
    for (std::size_t i = 0; i < 4; ++i)
    {
        meters[i] = std::make_unique<led_meter>(meterNames[i]);
        meters[i]->minDb = -60.0;
        meters[i]->maxDb = 0.0;
        meters[i]->segments = 21;
        addAndMakeVisible(*meters[i]);
        leds[i] = std::make_unique<led_clip>(ledNames[i]);
        addAndMakeVisible(*leds[i]);
    }
    for (auto* e : {&gainAText, &gainBText})
    {
        juce::Slider& slider = e == &gainAText ? gainA : gainB;
        e->setInputRestrictions(8);
        e->storedText = [&slider] { return juce::String(slider.getValue(), 1); };
        // Return: a number moves the fader (clamped and snapped to its
        // interval) and goes out once; text without a number changes nothing.
        e->onCommit = [this, &slider](const juce::String& text)
        {
            const auto number = kit::readNumber(text);
            if (! number)
                return false;
            slider.setValue(*number, juce::dontSendNotification);
            sliderValueChanged(&slider);
            return true;
        };
        // Leaving the box shows the fader's value again and sends it, as the
        // panel always has.
        e->onLeave = [this] { queueGain(); };
    }

    // 13.-14. No device yet; the window's icon.
    setDeviceModel(7);
    if (window != nullptr)
        window->setIcon(pictures::windowIcon());
    resized();
}

RemoteControl::~RemoteControl()
{
    // The communicator goes before the pages it talks to; a sweep queues
    // from its own thread, so it ends first.
    if (utilityPage != nullptr)
        utilityPage->endSweep();
    setOutbox(nullptr);
    context.com = nullptr;
    com.reset();
    tabs.clearTabs();
    context.mainPanel = nullptr;
    context.configPage = nullptr;
    context.xoverPage = nullptr;
    context.peqPage = nullptr;
    context.deqPage = nullptr;
    context.setupPage = nullptr;
    context.utilityPage = nullptr;
}

void RemoteControl::setupLabel(juce::Label& label, const juce::String& text)
{
    label.setName("new label");
    label.setText(text, juce::dontSendNotification);
    label.setFont(juce::Font("Arial Black", 20.0f, juce::Font::bold));
    label.setJustificationType(juce::Justification::centred);
    label.setColour(juce::Label::textColourId, palette::text);
    addAndMakeVisible(label);
}

void RemoteControl::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.setColour(palette::panel);
    g.fillRoundedRectangle(static_cast<float>(columnX), 8.0f, static_cast<float>(columnWidth),
                           500.0f, 10.0f);
    g.drawImageAt(header, columnX + 5, 14);

    const bool zephyl = modelIndex >= 4 && modelIndex <= 6;
    if (zephyl)
    {
        g.drawImageAt(zephylLogo, columnX + 10, 48);
        g.drawImageAt(zephylBadge, columnX + (columnWidth - 73) / 2, 436);
    }
    else
    {
        g.drawImageAt(vornLogo, columnX + 10, 52);
        g.drawImageAt(vornBadge, columnX + (columnWidth - 102) / 2, 479);
    }

    // The scales sit on rounded boxes between the meters of each group.
    for (const int top : {outputsTop, inputsTop})
    {
        g.setColour(juce::Colour(0xff262626));
        g.fillRoundedRectangle(static_cast<float>(scaleX - 2),
                               static_cast<float>(top + meterOffsetY - pictures::scaleMeterTop - 2),
                               40.0f, 138.0f, 5.0f);
        g.drawImageAt(scale, scaleX, top + meterOffsetY - pictures::scaleMeterTop);
    }

    // Rounded tracks behind the gain sliders.
    if (gainA.isVisible())
    {
        g.setColour(juce::Colour(0xff262626));
        for (auto* s : {&gainA, &gainB})
            g.fillRoundedRectangle(s->getBounds().toFloat().expanded(1.0f, 3.0f), 6.0f);
    }
}

void RemoteControl::resized()
{
    tabs.setBounds(8, 8, 720, 500);
    versionLabel.setBounds(columnX + columnWidth - 50, 48, 44, 20);

    outputsGroup.setBounds(groupX, outputsTop, groupWidth, 172);
    inputsGroup.setBounds(groupX, inputsTop, groupWidth, modelIndex < 4 ? 226 : 172);

    auto placeMeters = [&](int top, int meterA, int meterB, int ledA, int ledB, juce::Label& labelA,
                           juce::Label& labelB)
    {
        const int y = top + meterOffsetY;
        if (meters[0] == nullptr)
            return;
        meters[static_cast<std::size_t>(meterA)]->setBounds(meterAX, y, 14, pictures::meterHeight);
        meters[static_cast<std::size_t>(meterB)]->setBounds(meterBX, y, 14, pictures::meterHeight);
        leds[static_cast<std::size_t>(ledA)]->setBounds(meterAX, y - 6, 14, 3);
        leds[static_cast<std::size_t>(ledB)]->setBounds(meterBX, y - 6, 14, 3);
        labelA.setBounds(meterAX - 10, top + 14, 34, 22);
        labelB.setBounds(meterBX - 10, top + 14, 34, 22);
    };
    placeMeters(outputsTop, 2, 3, 2, 3, outputALabel, outputBLabel);
    placeMeters(inputsTop, 0, 1, 0, 1, inputALabel, inputBLabel);

    const int sliderTop = inputsTop + 24;
    gainA.setBounds(groupX + 8, sliderTop, 22, 142);
    gainB.setBounds(groupX + groupWidth - 30, sliderTop, 22, 142);
    gainAText.setBounds(groupX + 8, inputsTop + 174, 56, 22);
    dbLabel.setBounds(groupX + 66, inputsTop + 174, 24, 22);
    gainBText.setBounds(groupX + groupWidth - 64, inputsTop + 174, 56, 22);
    muteAButton.setBounds(groupX + 6, inputsTop + 200, 44, 20);
    linkButton.setBounds(groupX + 55, inputsTop + 200, 44, 20);
    muteBButton.setBounds(groupX + 104, inputsTop + 200, 44, 20);
}

void RemoteControl::setDeviceModel(int i)
{
    modelIndex = i;
    if (context.configPage != nullptr)
        context.configPage->setDeviceModel(i);
    if (utilityPage != nullptr)
        utilityPage->setDeviceModel(i);

    title = deviceLabels[static_cast<std::size_t>(i >= 0 && i < 8 ? i : 7)];
    if (window != nullptr)
        window->setName(title);

    const bool vorn = i >= 0 && i < 4;
    if (vorn && tabs.getNumTabs() == 5)
        tabs.addTab("Utility", palette::tab, utilityPage.get(), false);
    else if (! vorn && tabs.getNumTabs() == 6)
    {
        tabs.removeTab(5);
        // The Utility tab was the one shown: without this no tab is
        // selected and the page area stays empty.
        if (tabs.getCurrentTabIndex() < 0)
            tabs.setCurrentTabIndex(4);
    }

    for (juce::Component* c :
         std::initializer_list<juce::Component*> {&gainA, &gainB, &muteAButton, &muteBButton,
                                                  &gainAText, &gainBText, &linkButton, &dbLabel})
        c->setVisible(vorn);
    inputBLabel.setVisible(i > 3);
    inputALabel.setVisible(i > 3);
    inputsGroup.setSize(groupWidth, vorn ? 226 : 172);
    repaint();
}

void RemoteControl::queueGain()
{
    if (com != nullptr)
        com->queueGain(static_cast<float>(gainA.getValue()), static_cast<float>(gainB.getValue()),
                       muteA ? 1 : 0, muteB ? 1 : 0);
}

void RemoteControl::sliderValueChanged(juce::Slider* slider)
{
    if (link && slider == &gainA)
    {
        double a = gainA.getValue();
        if (linkOffset > 0 && a < linkOffset - 60)
            a = linkOffset - 60;
        if (linkOffset < 0 && a > linkOffset)
            a = linkOffset;
        gainA.setValue(a, juce::sendNotificationAsync);
        gainB.setValue(a - linkOffset, juce::sendNotificationAsync);
    }
    else if (link && slider == &gainB)
    {
        double b = gainB.getValue();
        if (linkOffset < 0 && b < -linkOffset - 60)
            b = -linkOffset - 60;
        if (linkOffset > 0 && b > -linkOffset)
            b = -linkOffset;
        gainB.setValue(b, juce::sendNotificationAsync);
        gainA.setValue(b + linkOffset, juce::sendNotificationAsync);
    }
    queueGain();
}

void RemoteControl::buttonClicked(juce::Button* button)
{
    if (button == &muteAButton)
    {
        muteA = muteAButton.getToggleState();
        queueGain();
    }
    else if (button == &muteBButton)
    {
        muteB = muteBButton.getToggleState();
        queueGain();
    }
    else if (button == &linkButton)
    {
        link = linkButton.getToggleState();
        linkOffset = gainA.getValue() - gainB.getValue();
    }
}

void RemoteControl::setGainState(float a, float b, bool ma, bool mb)
{
    gainA.setValue(a, juce::dontSendNotification);
    gainB.setValue(b, juce::dontSendNotification);
    gainAText.setText(juce::String(gainA.getValue(), 1), false);
    gainBText.setText(juce::String(gainB.getValue(), 1), false);
    muteAButton.setToggleState(ma, juce::dontSendNotification);
    muteBButton.setToggleState(mb, juce::dontSendNotification);
    muteA = ma;
    muteB = mb;
    linkOffset = gainA.getValue() - gainB.getValue();
}

void RemoteControl::showMeterLevels(float a, float b, float c, float d)
{
    const float values[] = {a, b, c, d};
    for (std::size_t i = 0; i < 4; ++i)
    {
        const float x = values[i];
        // Silence for anything that is not a level: 0, negative, NaN, infinity.
        int level = -60;
        if (std::isfinite(x) && x > 0.0f)
            level = static_cast<int>(20.0 * std::log10(static_cast<double>(x)) + 1.2);
        if (level <= -60)
            level = -60;
        meters[i]->level = level;
        meters[i]->repaint();
    }
}

void RemoteControl::setLeds(bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB)
{
    const bool states[] = {inputClipA, inputClipB, outputLimitA, outputLimitB};
    for (std::size_t i = 0; i < 4; ++i)
    {
        leds[i]->state = states[i];
        leds[i]->repaint();
    }
}

} // namespace velmora

#include "CDeqPage.h"

#include "Palette.h"
#include "ScalePictures.h"

namespace velmora
{
namespace
{

// Keeps this page's scale pictures apart from the other graphs' in the cache.
constexpr int pictureId = 0x65;

juce::Image levelScalePictureFor()
{
    // The labels sit at the Dynamic graph's six inner grid lines, 10 dB
    // apart from 0 down to -50: the graph (150 high) starts 11 pixels above
    // the picture and draws its lines at trunc(i x 150 / 7).
    std::vector<std::pair<int, const char*>> labels;
    const char* const texts[6] = {"0 dB", "-10", "-20", "-30", "-40", "-50"};
    for (int i = 1; i <= 6; ++i)
        labels.emplace_back(static_cast<int>(i * (150.0 / 7.0)) - 11, texts[i - 1]);
    return pictures::levelScale(pictureId, 24, 127, labels);
}

juce::Image frequencyScalePictureFor()
{
    // The graph's left edge lies 8 pixels into the picture.
    return pictures::frequencyScale(pictureId, 334, 15, 8, 320,
                                    {{20.0f, "20"},
                                     {40.0f, "40"},
                                     {60.0f, "60"},
                                     {100.0f, "100"},
                                     {200.0f, "200"},
                                     {500.0f, "500"},
                                     {1000.0f, "1k"},
                                     {2000.0f, "2k"},
                                     {3000.0f, "3k"},
                                     {4000.0f, "4k"},
                                     {6000.0f, "6k"},
                                     {10000.0f, "10k"},
                                     {20000.0f, "20k"}});
}

void setUpGraph(EQGraph& graph, int digit, int index)
{
    for (auto& c : graph.curveColour)
        c = palette::amber;
    graph.fillColour[0] = palette::amber.withAlpha(0.5f);
    graph.fillMode = 0;
    graph.setHandleCount(1);
    graph.addHandle(pictures::markerDigit(digit), index);
}

void styleFrame(juce::GroupComponent& frame, const juce::String& text)
{
    frame.setText(text);
    frame.setTextLabelPosition(juce::Justification::centred);
    frame.setColour(juce::GroupComponent::outlineColourId, palette::outline);
    frame.setColour(juce::GroupComponent::textColourId, palette::text);
    frame.setInterceptsMouseClicks(false, false);
}

} // namespace

CDeqPage::CDeqPage(AppContext& ctx)
    : Page("Dynamic EQ", ctx), band1Graph(Dynamic, &markerHost, ctx.responses.selectedHandle),
      band2Graph(Dynamic, &markerHost, ctx.responses.selectedHandle)
{
    band1Graph.responseFunction = [this](int curve, float frequency)
    { return context.responses.deqResponse(0, curve, frequency); };
    band2Graph.responseFunction = [this](int curve, float frequency)
    { return context.responses.deqResponse(1, curve, frequency); };
    setUpGraph(band1Graph, 1, 0);
    setUpGraph(band2Graph, 2, -1);
    context.responses.deqGraphs = {&band1Graph, &band2Graph};
    addAndMakeVisible(band1Graph);
    addAndMakeVisible(band2Graph);

    tabA = std::make_unique<CDeqTab>(context, 0);
    tabB = std::make_unique<CDeqTab>(context, 1);
    tabs.setTabBarDepth(30);
    tabs.setOutline(0);
    tabs.addTab("Channel A", palette::tab, tabA.get(), false);
    tabs.addTab("Channel B", palette::tab, tabB.get(), false);
    tabs.setCurrentTabIndex(0);
    tabs.onChange = [this]
    {
        showChannel(tabs.getCurrentTabIndex() == 1 ? 1 : 0);
        repaint();
    };
    addAndMakeVisible(tabs);

    styleFrame(band1Frame, "DEQ Band 1");
    styleFrame(band2Frame, "DEQ Band 2");
    addAndMakeVisible(band1Frame);
    addAndMakeVisible(band2Frame);

    frequencyScalePicture = frequencyScalePictureFor();
    levelScalePicture = levelScalePictureFor();

    // Both bands of both channels are computed before the first paint,
    // whatever the tree holds yet.
    tabB->refreshAll();
    tabA->refreshAll();
    showChannel(0);
    context.ampModeFollowers[AppContext::deqFollower] = this;
    resized();
}

CDeqPage::~CDeqPage()
{
    if (context.ampModeFollowers[AppContext::deqFollower] == this)
        context.ampModeFollowers[AppContext::deqFollower] = nullptr;
    context.responses.deqGraphs = {};
    tabs.onChange = nullptr;
    tabs.clearTabs();
}

void CDeqPage::resized()
{
    band1Graph.setBounds(32, 10, 320, 150);
    band2Graph.setBounds(390, 10, 320, 150);
    tabs.setBounds(0, 176, 720, 296);
    band1Frame.setBounds(4, 208, 356, 258);
    band2Frame.setBounds(360, 208, 356, 258);
}

void CDeqPage::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.setColour(juce::Colours::black);
    g.fillRect(4, 4, 354, 180);
    g.fillRect(362, 4, 354, 180);
    g.drawImageAt(frequencyScalePicture, 24, 160);
    g.drawImageAt(frequencyScalePicture, 382, 160);
    g.drawImageAt(levelScalePicture, 5, 21);
    g.drawImageAt(levelScalePicture, 363, 21);
    g.setColour(palette::panel);
    g.fillRect(0, 176, 720, 32);
    showChannel(tabs.getCurrentTabIndex() == 1 ? 1 : 0);
}

void CDeqPage::showChannel(int channel)
{
    auto& store = context.responses;
    const juce::Colour colour = channel == 0 ? palette::amber : palette::blue;
    const auto ch = static_cast<std::size_t>(channel);
    // Called from paint too: the graphs are repainted only when something
    // they show changed (a band of the other channel was computed last, say),
    // or every paint would ask for the next one.
    bool changed = store.deqDisplayChannel != channel;
    store.deqDisplayChannel = channel;
    for (EQGraph* graph : {&band1Graph, &band2Graph})
        for (auto& c : graph->curveColour)
        {
            changed = changed || c != colour;
            c = colour;
        }
    const float f1 = store.deqFrequency[ch][0], f2 = store.deqFrequency[ch][1];
    changed = changed || band1Graph.handleFrequency[0] != f1 || band2Graph.handleFrequency[0] != f2;
    band1Graph.handleFrequency[0] = f1;
    band2Graph.handleFrequency[0] = f2;
    if (changed)
    {
        band1Graph.repaint();
        band2Graph.repaint();
    }
}

CDeqTab& CDeqPage::shownTab()
{
    return tabs.getCurrentTabIndex() == 1 ? *tabB : *tabA;
}

void CDeqPage::setChannelLayout(int ampMode)
{
    if (layOutChannelTabs(tabs, *tabB, ampMode))
        tabB->refreshAll();
    showChannel(0);
    tabA->linkChannels(ampMode);
}

} // namespace velmora

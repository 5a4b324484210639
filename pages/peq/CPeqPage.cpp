#include "CPeqPage.h"

#include "Palette.h"
#include "ScalePictures.h"

namespace velmora
{
namespace
{

// Keeps this page's scale pictures apart from the other graphs' in the cache.
constexpr int pictureId = 0x64;

const juce::Colour channelAColour = juce::Colour(0xfffdbb30).darker(0.2f);

juce::Image levelScalePictureFor()
{
    // The labels sit at the graph's seven horizontal grid lines: the graph
    // (150 high) starts 12 pixels above the picture, its lines lie at
    // trunc(i x 150 / 8), 5 dB apart from +15 down to -15.
    std::vector<std::pair<int, const char*>> labels;
    const char* const texts[7] = {"+15", "+10", "+5", "0", "-5", "-10", "-15"};
    for (int i = 1; i <= 7; ++i)
        labels.emplace_back(static_cast<int>(i * (150.0 / 8.0)) - 12, texts[i - 1]);
    return pictures::levelScale(pictureId, 24, 127, labels);
}

juce::Image frequencyScalePictureFor()
{
    // The graph's left edge lies 7 pixels into the picture.
    return pictures::frequencyScale(
        pictureId, 673, 19, 7, 660,
        {{20.0f, "20"},   {40.0f, "40"},   {60.0f, "60"},   {80.0f, "80"},     {100.0f, "100"},
         {200.0f, "200"}, {300.0f, "300"}, {400.0f, "400"}, {500.0f, "500"},   {600.0f, "600"},
         {800.0f, "800"}, {1000.0f, "1k"}, {2000.0f, "2k"}, {3000.0f, "3k"},   {4000.0f, "4k"},
         {5000.0f, "5k"}, {6000.0f, "6k"}, {8000.0f, "8k"}, {10000.0f, "10k"}, {20000.0f, "20k"}});
}

} // namespace

CPeqPage::CPeqPage(AppContext& ctx)
    : Page("Parametric EQ", ctx), graph(Parametric, this, ctx.responses.selectedHandle)
{
    graph.responseFunction = [this](int curve, float frequency)
    { return context.responses.peqResponse(curve, frequency); };
    graph.curveColour[0] = channelAColour;
    graph.fillColour[0] = channelAColour;
    graph.fillMode = 1;
    graph.setHandleCount(8);
    for (int b = 0; b < 8; ++b)
        graph.addHandle(pictures::markerDigit(b + 1), b);
    context.responses.peqGraph = &graph;
    addAndMakeVisible(graph);

    tabA = std::make_unique<CPeqTab>(context, 0);
    tabB = std::make_unique<CPeqTab>(context, 1);
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

    levelScalePicture = levelScalePictureFor();
    frequencyScalePicture = frequencyScalePictureFor();

    // The bands' coefficients exist before the first paint, whatever the
    // tree holds yet.
    tabB->refreshAll();
    tabA->refreshAll();
    showChannel(0);
    context.ampModeFollowers[AppContext::peqFollower] = this;
    resized();
}

CPeqPage::~CPeqPage()
{
    if (context.ampModeFollowers[AppContext::peqFollower] == this)
        context.ampModeFollowers[AppContext::peqFollower] = nullptr;
    if (context.responses.peqGraph == &graph)
        context.responses.peqGraph = nullptr;
    tabs.onChange = nullptr;
    tabs.clearTabs();
}

void CPeqPage::resized()
{
    graph.setBounds(50, 10, 660, 150);
    tabs.setBounds(0, 176, 720, 296);
}

void CPeqPage::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
    g.setColour(juce::Colours::black);
    g.fillRect(4, 4, 712, 180);
    g.drawImageWithin(levelScalePicture, 19, 22, 24, 127, juce::RectanglePlacement::centred);
    g.drawImageAt(frequencyScalePicture, 43, 160);
    g.setColour(palette::panel);
    g.fillRect(0, 176, 720, 32);
    showChannel(tabs.getCurrentTabIndex() == 1 ? 1 : 0);
}

void CPeqPage::showChannel(int channel)
{
    auto& store = context.responses;
    const juce::Colour colour = channel == 0 ? channelAColour : palette::blue;
    // Called from paint too: the graph is repainted only when something it
    // shows changed (an answer for the other channel moved its markers, say),
    // or every paint would ask for the next one.
    bool changed = store.peqDisplayChannel != channel || graph.curveColour[0] != colour ||
                   graph.fillColour[0] != colour;
    store.peqDisplayChannel = channel;
    graph.curveColour[0] = colour;
    graph.fillColour[0] = colour;
    for (std::size_t b = 0; b < 8; ++b)
    {
        const float f = store.peqFrequency[static_cast<std::size_t>(channel)][b];
        changed = changed || graph.handleFrequency[b] != f;
        graph.handleFrequency[b] = f;
    }
    if (changed)
        graph.repaint();
}

CPeqTab& CPeqPage::shownTab()
{
    return tabs.getCurrentTabIndex() == 1 ? *tabB : *tabA;
}

void CPeqPage::nudgeFrequency(int filterIndex, int steps)
{
    shownTab().nudgeFrequency(filterIndex, steps);
}

void CPeqPage::nudgeGain(int filterIndex, int amount)
{
    shownTab().nudgeGain(filterIndex, amount);
}

void CPeqPage::nudgeQuality(int filterIndex, int steps)
{
    shownTab().nudgeQuality(filterIndex, steps);
}

void CPeqPage::setChannelLayout(int ampMode)
{
    if (layOutChannelTabs(tabs, *tabB, ampMode))
        tabB->refreshAll();
    showChannel(0);
    tabA->linkChannels(ampMode);
}

} // namespace velmora

#include <sstream>

#include "CDeqPage.h"
#include "PageFixture.h"

#include <osc/OscOutboundPacketStream.h>

using namespace velmora;
using namespace velmora::test;

namespace
{

std::string blockAddress(int channel, int band, const char* block)
{
    return "/channel/" + std::to_string(channel + 1) + "/deq/" + std::to_string(band + 1) + "/" +
           block;
}

// The values of one message as the amplifier received it: ",ff 20 500" or
// ",sff \"OFF\" 1000 1"; the string argument is kept apart.
struct Sent
{
    std::string text;
    std::vector<float> numbers;
};

Sent parseSent(const std::string& arguments)
{
    std::istringstream in(arguments);
    std::string tags, word;
    in >> tags;
    Sent out;
    while (in >> word)
        if (word.front() == '"')
            out.text = word.substr(1, word.size() - 2);
        else
            out.numbers.push_back(std::stof(word));
    return out;
}

bool samePixels(const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                return false;
    return true;
}

bool hasColour(const juce::Image& image, juce::Colour colour)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt(x, y) == colour)
                return true;
    return false;
}

class DeqPage : public PageFixture
{
protected:
    CDeqPage& page() { return *context.deqPage; }
    CDeqTab& tab(int c = 0) { return page().tab(c); }
    CDeqTab::Band& band(int b, int c = 0) { return tab(c).band(b); }
    Cdeq& treeBand(int c, int b)
    {
        return *context.root->channels[static_cast<std::size_t>(c)]
                    ->deq->bands[static_cast<std::size_t>(b)];
    }

    void connectDual(const std::function<void(sim::Amplifier&)>& prepare = {})
    {
        connect(1,
                [&](sim::Amplifier& a)
                {
                    a.tree().ampmode->mode().readText("DUAL");
                    if (prepare)
                        prepare(a);
                });
    }

    // What both graphs show, as the page paints them (the page's paint
    // decides which channel they draw).
    std::array<juce::Image, 2> graphPictures()
    {
        return {page().createComponentSnapshot(page().band1Graph.getBounds(), true, 1.0f),
                page().createComponentSnapshot(page().band2Graph.getBounds(), true, 1.0f)};
    }

    std::vector<Sent> sent(int c, int b, const char* block) const
    {
        std::vector<Sent> out;
        for (const auto& a : received(blockAddress(c, b, block)))
            out.push_back(parseSent(a));
        return out;
    }

    // The addresses of every dynamic band message received, in order.
    std::vector<std::string> deqMessages() const
    {
        std::vector<std::string> out;
        for (const auto& e : sim->log())
            if (e.address.find("/deq/") != std::string::npos)
                out.push_back(e.address);
        return out;
    }
};

TEST_F(DeqPage, ATypeChosenWhileTheBandIsOffAppliesAtOnceAndTheButtonWaits)
{
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/deq/1/filt OFF 1000 1.0"); });
    CDeqTab::Band& x = band(0);
    ASSERT_FALSE(x.deq.getToggleState());
    sim->clearLog();
    x.type.setSelectedId(5, juce::sendNotificationSync); // "HP12"
    EXPECT_FALSE(x.deq.getToggleState());
    EXPECT_EQ(treeBand(0, 0).filt->type().getStep(), 5);
    EXPECT_FALSE(x.qual.isVisible());

    // The button follows when the block next reports: the amplifier's
    // answer to the send.
    settle();
    const auto filt = received(blockAddress(0, 0, "filt"));
    ASSERT_EQ(filt.size(), 1u);
    EXPECT_NE(filt[0].find("HP12"), std::string::npos) << filt[0];
    EXPECT_EQ(deqMessages().size(), 1u);
    EXPECT_TRUE(x.deq.getToggleState());
    EXPECT_EQ(x.type.getText(), "HP12");
}

TEST_F(DeqPage, TheRatioBoxShowsTheFirstRatioAtLeastTheReceivedOne)
{
    const struct
    {
        const char* ratio;
        const char* shown;
    } cases[] = {{"2.0", "1:2.0"}, {"4.0", "1:5.0"}, {"10.0", "1:10"}, {"12.0", ""}};
    connectDual();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.ratio);
        // As the amplifier reports it.
        char buffer[64];
        osc::OutboundPacketStream p(buffer, sizeof buffer);
        p << osc::BeginMessage("/channel/1/deq/2/comp") << 3.0f << -36.0f << std::stof(c.ratio)
          << osc::EndMessage;
        sim->sendToEditor(sim::Bytes(p.Data(), p.Data() + p.Size()));
        ASSERT_TRUE(pumpUntil(
            [&] { return treeBand(0, 1).comp->ratio().getValue() == std::stof(c.ratio); }));
        pumpFor(30);
        EXPECT_EQ(band(1).ratio.getText(), c.shown);
    }
    // A ratio above 10 stays in the parameter and goes out unchanged.
    sim->clearLog();
    band(1).gain.setValue(-7.5, juce::sendNotificationSync);
    settle();
    const auto comp = received(blockAddress(0, 1, "comp"));
    ASSERT_EQ(comp.size(), 1u);
    EXPECT_NE(comp[0].find(" 12"), std::string::npos) << comp[0];
    EXPECT_EQ(treeBand(0, 1).comp->ratio().getValue(), 12.0f);
}

TEST_F(DeqPage, QualityControlsShowOnlyForBandPass)
{
    connectDual();
    const struct
    {
        int id;
        bool shown;
    } cases[] = {{2, false}, {3, false}, {4, false}, {5, false}, {1, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        band(0).type.setSelectedId(c.id, juce::sendNotificationSync);
        EXPECT_EQ(band(0).qual.isVisible(), c.shown);
        EXPECT_EQ(band(0).qualBox.isVisible(), c.shown);
        EXPECT_EQ(band(0).qualLabel.isVisible(), c.shown);
    }
}

TEST_F(DeqPage, LinkingCopiesExactStepsAndBridgeDrivesChannelTwo)
{
    connectDual();
    typeAndReturn(band(0).freqBox, "1000");
    settle();
    band(1).qual.setValue(3.0, juce::sendNotificationSync);
    page().setChannelLayout(4);
    EXPECT_EQ(page().tabs.getNumTabs(), 1);
    EXPECT_EQ(page().tabs.getTabNames()[0], "Channel A");
    EXPECT_TRUE(tab().isLinked());
    // The fixture's channels differ in every block; linking copies all three.
    for (int b = 0; b < 2; ++b)
    {
        SCOPED_TRACE(b);
        const std::pair<Cblock*, Cblock*> blocks[] = {{treeBand(0, b).filt, treeBand(1, b).filt},
                                                      {treeBand(0, b).comp, treeBand(1, b).comp},
                                                      {treeBand(0, b).time, treeBand(1, b).time}};
        for (const auto& [one, two] : blocks)
            for (std::size_t i = 0; i < one->getChildren().size(); ++i)
                EXPECT_EQ(two->param(i).rawStep(), one->param(i).rawStep())
                    << one->getPath() << " parameter " << i;
    }
    EXPECT_EQ(treeBand(1, 0).filt->freq().getValue(), treeBand(0, 0).filt->freq().getValue());
    EXPECT_NEAR(treeBand(1, 0).filt->freq().getValue(), 1000.0f, 0.01f);

    // Typed while linked: channel B's copy takes the exact step too.
    typeAndReturn(band(1).freqBox, "1000");
    settle();
    EXPECT_EQ(treeBand(1, 1).filt->freq().getValue(), treeBand(0, 1).filt->freq().getValue());

    sim->clearLog();
    band(1).gain.setValue(-4.5, juce::sendNotificationSync);
    settle();
    EXPECT_EQ(treeBand(1, 1).comp->mgain().getValue(), -4.5f);
    EXPECT_EQ(deqMessages(), std::vector<std::string> {blockAddress(0, 1, "comp")});
}

TEST_F(DeqPage, ControlsWhereTheLayoutPutsThem)
{
    using Rect = juce::Rectangle<int>;
    EXPECT_EQ(page().getName(), "Dynamic EQ");
    EXPECT_EQ(page().getLocalBounds(), Rect(0, 0, 720, 470));
    const struct
    {
        const char* what;
        juce::Component& c;
        Rect bounds;
    } pageCases[] = {{"left graph", page().band1Graph, {32, 10, 320, 150}},
                     {"right graph", page().band2Graph, {390, 10, 320, 150}},
                     {"tabs", page().tabs, {0, 176, 720, 296}},
                     {"band 1 frame", page().band1Frame, {4, 208, 356, 258}},
                     {"band 2 frame", page().band2Frame, {360, 208, 356, 258}}};
    for (const auto& c : pageCases)
        EXPECT_EQ(c.c.getBounds(), c.bounds) << c.what;

    EXPECT_EQ(page().tabs.getTabBarDepth(), 30);
    EXPECT_EQ(page().tabs.getTabNames(), juce::StringArray({"Channel A", "Channel B"}));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(page().tabs.getTabBackgroundColour(i), juce::Colour(0xff606060)) << i;
    // The frames lie over the tab, framing its halves.
    const juce::GroupComponent* frames[] = {&page().band1Frame, &page().band2Frame};
    for (int b = 0; b < 2; ++b)
    {
        const auto& f = *frames[b];
        EXPECT_EQ(f.getText(), "DEQ Band " + juce::String(b + 1));
        EXPECT_EQ(f.getTextLabelPosition(), juce::Justification(juce::Justification::centred));
        EXPECT_EQ(f.findColour(juce::GroupComponent::outlineColourId), juce::Colour(0xff5c5c5c));
        EXPECT_EQ(f.findColour(juce::GroupComponent::textColourId), juce::Colour(0xffa8a8a8));
        EXPECT_GT(page().getIndexOfChildComponent(&f),
                  page().getIndexOfChildComponent(&page().tabs));
    }
    // One marker each; the right graph's sits in slot 0 and belongs to band 2.
    const EQGraph* graphs[] = {&page().band1Graph, &page().band2Graph};
    for (int b = 0; b < 2; ++b)
    {
        const EQGraph& g = *graphs[b];
        ASSERT_NE(g.getHandle(0), nullptr);
        EXPECT_EQ(g.getHandle(0)->getFilterIndex(), b);
        EXPECT_EQ(g.getHandle(1), nullptr);
        EXPECT_EQ(g.fillMode, 0);
        EXPECT_EQ(g.fillColour[0], juce::Colour(0xfffdbb30).withAlpha(0.5f));
        for (const auto& colour : g.curveColour)
            EXPECT_EQ(colour, juce::Colour(0xfffdbb30));
    }

    // Band 2's controls sit 356 to 360 pixels right of band 1's.
    const auto placed = [](CDeqTab::Band& x)
    {
        return std::array<juce::Component*, 11> {&x.deq,     &x.gain, &x.thres,   &x.freq,
                                                 &x.freqBox, &x.qual, &x.qualBox, &x.att,
                                                 &x.rel,     &x.type, &x.ratio};
    };
    const struct
    {
        const char* what;
        Rect band1, band2;
    } where[] = {{"DEQ", {152, 48, 52, 24}, {512, 48, 52, 24}},
                 {"gain", {64, 40, 48, 60}, {420, 40, 48, 60}},
                 {"threshold", {244, 40, 48, 60}, {604, 40, 48, 60}},
                 {"frequency", {28, 144, 40, 40}, {388, 144, 40, 40}},
                 {"frequency box", {24, 184, 48, 20}, {384, 184, 48, 20}},
                 {"quality", {104, 144, 40, 40}, {463, 144, 40, 40}},
                 {"quality box", {100, 184, 48, 20}, {460, 184, 48, 20}},
                 {"attack", {200, 144, 48, 60}, {560, 144, 48, 60}},
                 {"release", {280, 144, 48, 60}, {640, 144, 48, 60}},
                 {"type", {57, 216, 65, 20}, {416, 216, 65, 20}},
                 {"ratio", {240, 216, 64, 20}, {600, 216, 64, 20}}};
    for (int c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < std::size(where); ++i)
        {
            SCOPED_TRACE(std::string(where[i].what) + " channel " + std::to_string(c));
            EXPECT_EQ(placed(band(0, c))[i]->getBounds(), where[i].band1);
            EXPECT_EQ(placed(band(1, c))[i]->getBounds(), where[i].band2);
        }

    // Ranges, steps and the value boxes of the knobs.
    const auto knobsOf = [](CDeqTab::Band& x)
    { return std::array<kit::Knob*, 6> {&x.gain, &x.thres, &x.freq, &x.qual, &x.att, &x.rel}; };
    const struct
    {
        const char* what;
        double minimum, maximum, interval;
        bool valueBox;
    } ranges[] = {{"gain", -15, 15, 0.5, true},    {"threshold", -60, 0, 1, true},
                  {"frequency", 0, 600, 1, false}, {"quality", 0, 18, 1, false},
                  {"attack", 0, 200, 0.5, true},   {"release", 20, 4000, 2.5, true}};
    for (int b = 0; b < 2; ++b)
        for (std::size_t i = 0; i < std::size(ranges); ++i)
        {
            const auto& k = ranges[i];
            SCOPED_TRACE(std::string(k.what) + " band " + std::to_string(b + 1));
            const kit::Knob& knob = *knobsOf(band(b))[i];
            EXPECT_TRUE(knob.isRotary());
            EXPECT_EQ(knob.getMinimum(), k.minimum);
            EXPECT_EQ(knob.getMaximum(), k.maximum);
            EXPECT_EQ(knob.getInterval(), k.interval);
            if (k.valueBox)
            {
                EXPECT_EQ(knob.getTextBoxPosition(), juce::Slider::TextBoxBelow);
                EXPECT_TRUE(knob.isTextBoxEditable());
                EXPECT_EQ(knob.getTextBoxWidth(), 55);
                EXPECT_EQ(knob.getTextBoxHeight(), 20);
            }
            else
                EXPECT_EQ(knob.getTextBoxPosition(), juce::Slider::NoTextBox);
        }

    // Texts.
    const auto items = [](const juce::ComboBox& list)
    {
        juce::StringArray out;
        for (int i = 0; i < list.getNumItems(); ++i)
            out.add(list.getItemText(i) + "=" + juce::String(list.getItemId(i)));
        return out;
    };
    for (int b = 0; b < 2; ++b)
    {
        SCOPED_TRACE(b);
        CDeqTab::Band& x = band(b);
        EXPECT_EQ(x.deq.getButtonText(), "DEQ " + juce::String(b + 1));
        EXPECT_EQ(x.deq.getTooltip(), "enable/disable");
        EXPECT_TRUE(x.deq.getClickingTogglesState());
        EXPECT_EQ(items(x.type), juce::StringArray({"BP=1", "LP6=2", "LP12=3", "HP6=4", "HP12=5"}));
        EXPECT_EQ(items(x.ratio), juce::StringArray({"1:2.0=1", "1:3.0=2", "1:5.0=3", "1:10=4"}));
        for (const juce::ComboBox* list : {&x.type, &x.ratio})
        {
            EXPECT_EQ(list->getTextWhenNothingSelected(), "");
            EXPECT_EQ(list->getTextWhenNoChoicesAvailable(), "(no choices)");
        }
        EXPECT_FALSE(x.freqBox.isReadOnly());
        EXPECT_TRUE(x.qualBox.isReadOnly());
        juce::StringArray labels;
        for (const juce::Label* l : {&x.gainLabel, &x.gainUnit, &x.thresLabel, &x.thresUnit,
                                     &x.freqLabel, &x.hz, &x.qualLabel, &x.attLabel, &x.attUnit,
                                     &x.relLabel, &x.relUnit, &x.typeLabel, &x.ratioLabel})
            labels.add(l->getText());
        EXPECT_EQ(labels,
                  juce::StringArray({"Gain", "dB", "Threshold", "dB", "Frequency", "Hz", "Quality",
                                     "Attack", "ms", "Release", "ms", "Type", "Ratio"}));
    }
}

TEST_F(DeqPage, AttackAndReleaseSendTheTimeBlockAndLeaveTheGraphsAlone)
{
    // Band 1: -4 dB at -24 dB, 1:3, BP at 80 Hz; band 2: +3 dB, HP12 at 3 kHz.
    connectDual();
    const auto before = graphPictures();
    for (const auto& picture : before)
        ASSERT_TRUE(hasColour(picture, juce::Colour(0xfffdbb30))); // curves drawn
    const auto levels = context.responses.deqLevelFactor;
    const auto frequencies = context.responses.deqFrequency;

    band(0).att.setValue(37.5, juce::sendNotificationSync);
    band(1).rel.setValue(1002.5, juce::sendNotificationSync);
    const auto moved = graphPictures();
    settle(); // and the amplifier's answers are shown
    const auto after = graphPictures();
    for (std::size_t i = 0; i < 2; ++i)
    {
        EXPECT_TRUE(samePixels(before[i], moved[i])) << "graph " << i << " while moving";
        EXPECT_TRUE(samePixels(before[i], after[i])) << "graph " << i << " after the answer";
    }
    EXPECT_EQ(context.responses.deqLevelFactor, levels);
    EXPECT_EQ(context.responses.deqFrequency, frequencies);

    EXPECT_EQ(deqMessages(),
              (std::vector<std::string> {blockAddress(0, 0, "time"), blockAddress(0, 1, "time")}));
    const auto t1 = sent(0, 0, "time");
    const auto t2 = sent(0, 1, "time");
    ASSERT_EQ(t1.size(), 1u);
    ASSERT_EQ(t2.size(), 1u);
    EXPECT_EQ(t1[0].numbers, (std::vector<float> {37.5f, 500.0f}));
    EXPECT_EQ(t2[0].numbers, (std::vector<float> {30.0f, 1002.5f}));
    EXPECT_EQ(treeBand(0, 0).time->att().getValue(), 37.5f);
    EXPECT_EQ(treeBand(0, 1).time->rel().getValue(), 1002.5f);
}

TEST_F(DeqPage, AnOffBandsMarkerMovesOnlyAlongTheFrequencies)
{
    connectDual([](sim::Amplifier& a) { a.setBlock("/channel/1/deq/1/filt OFF 1k00 1.0"); });
    filter_drag& off = *page().band1Graph.getHandle(0);
    const int centre = off.getWidth() / 2;
    const int step = treeBand(0, 0).filt->freq().getStep();

    // Neither the wheel nor a vertical drag does anything...
    off.wheel(1.0f);
    off.wheel(-1.0f);
    off.dragTo(centre, 8);
    off.dragTo(centre, 2);
    settle();
    EXPECT_TRUE(deqMessages().empty());
    EXPECT_EQ(treeBand(0, 0).comp->mgain().getValue(), -4.0f);
    EXPECT_EQ(treeBand(0, 0).filt->qual().getValue(), 1.0f);
    EXPECT_EQ(band(0).gain.getValue(), -4.0);

    // ...while a horizontal one moves the frequency, two steps a pixel.
    off.dragTo(centre + 5, 2);
    settle();
    EXPECT_EQ(treeBand(0, 0).filt->freq().getStep(), step + 10);
    EXPECT_EQ(band(0).freq.getValue(), step + 10);
    EXPECT_EQ(band(0).freqBox.getText(), juce::String(treeBand(0, 0).filt->freq().text()));
    EXPECT_EQ(deqMessages(), std::vector<std::string> {blockAddress(0, 0, "filt")});
    const auto filt = sent(0, 0, "filt");
    ASSERT_EQ(filt.size(), 1u);
    EXPECT_EQ(filt[0].text, "OFF");
    EXPECT_FALSE(band(0).deq.getToggleState());
    EXPECT_EQ(page().band1Graph.handleFrequency[0], treeBand(0, 0).filt->freq().getValue());

    // The right graph's marker drives band 2 (HP12, +3 dB, Q 0.7): 4 pixels
    // down take 2 dB off, the wheel steps the quality up the table.
    filter_drag& on = *page().band2Graph.getHandle(0);
    sim->clearLog();
    on.dragTo(centre, 4);
    on.wheel(1.0f);
    settle();
    EXPECT_EQ(treeBand(0, 1).comp->mgain().getValue(), 1.0f);
    EXPECT_EQ(band(1).gain.getValue(), 1.0);
    EXPECT_EQ(treeBand(0, 1).filt->qual().getValue(), 0.8f);
    EXPECT_EQ(deqMessages(),
              (std::vector<std::string> {blockAddress(0, 1, "comp"), blockAddress(0, 1, "filt")}));
    const auto comp = sent(0, 1, "comp");
    ASSERT_EQ(comp.size(), 1u);
    EXPECT_EQ(comp[0].numbers, (std::vector<float> {1.0f, -36.0f, 4.0f}));

    // With the channel B tab on show the markers act on channel B.
    page().tabs.setCurrentTabIndex(1);
    sim->clearLog();
    on.dragTo(centre, 6);
    settle();
    EXPECT_EQ(deqMessages(), std::vector<std::string> {blockAddress(1, 1, "comp")});
}

} // namespace

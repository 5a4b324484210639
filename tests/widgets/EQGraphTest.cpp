#include <cmath>

#include <gtest/gtest.h>

#include "EQGraph.h"
#include "ResponseMaths.h"

using namespace velmora;

namespace
{

// A page of the test's own: records what the markers ask for.
struct RecordingHost : EqGraphHost
{
    std::vector<std::string> calls;
    void nudgeFrequency(int i, int steps) override
    {
        calls.push_back("freq " + std::to_string(i) + " " + std::to_string(steps));
    }
    void nudgeGain(int i, int amount) override
    {
        calls.push_back("gain " + std::to_string(i) + " " + std::to_string(amount));
    }
    void nudgeQuality(int i, int steps) override
    {
        calls.push_back("qual " + std::to_string(i) + " " + std::to_string(steps));
    }
    void crossoverWheel(int i, int step) override
    {
        calls.push_back("wheel " + std::to_string(i) + " " + std::to_string(step));
    }
};

float flat(int, float)
{
    return 0.0f;
}

float minusInfinity(int, float)
{
    return -std::numeric_limits<float>::infinity();
}

juce::Image marker()
{
    juce::Image image(juce::Image::ARGB, 13, 13, true);
    juce::Graphics g(image);
    g.fillAll(juce::Colours::black);
    g.setColour(juce::Colours::white);
    g.drawText("1", 0, 0, 13, 13, juce::Justification::centred);
    return image;
}

class Graph : public ::testing::Test
{
protected:
    RecordingHost host;
    ResponseStore store;

    std::unique_ptr<EQGraph> make(int kind, int w, int h)
    {
        auto graph = std::make_unique<EQGraph>(kind, &host, store.selectedHandle);
        graph->setSize(w, h);
        graph->responseFunction = flat;
        graph->fillMode = 0;
        graph->curveColour.fill(juce::Colours::transparentBlack);
        return graph;
    }

    static juce::Image render(EQGraph& g)
    {
        return g.createComponentSnapshot(g.getLocalBounds(), true);
    }
    static juce::Colour at(const juce::Image& i, int x, int y) { return i.getPixelAt(x, y); }
    const juce::Colour grid {0xff555555};
};

TEST_F(Graph, KindsSetTheirRanges)
{
    const struct
    {
        int kind, halfRange;
        float zero;
        unsigned curves;
    } cases[] = {{Parametric, 40, 0.5f, 1},
                 {Crossover, 30, 0.5f, 2},
                 {Dynamic, 60, 6.0f / 7.0f, 6},
                 {9, 30, 0.5f, 1}};
    for (const auto& c : cases)
    {
        EQGraph g(c.kind, &host, store.selectedHandle);
        EXPECT_EQ(g.halfRange, c.halfRange);
        EXPECT_FLOAT_EQ(g.zeroPosition, c.zero);
        EXPECT_EQ(g.curveCount, c.curves);
        EXPECT_EQ(g.fillMode, 1);
        EXPECT_EQ(g.strokeThickness, 1.5f);
    }
}

TEST_F(Graph, AxesAsPainted)
{
    auto g = make(Parametric, 660, 150);
    EXPECT_EQ(g->positionOf(20.0f), 0.0f);
    EXPECT_FLOAT_EQ(g->positionOf(20000.0f), 1.0f);
    EXPECT_FLOAT_EQ(g->frequencyAt(660), 20000.0f);
    EXPECT_FLOAT_EQ(g->frequencyAt(0), 20.0f);
    EXPECT_FLOAT_EQ(g->frequencyAt(2000), 20000.0f); // held at the right edge
    EXPECT_EQ(g->rowOf(0.0f), 75);
    EXPECT_EQ(g->rowOf(40.0f), 0);
    EXPECT_EQ(g->rowOf(-40.0f), 150);
    EXPECT_LT(g->positionOf(0.0f), -2.0f); // 0 Hz: as 0.00001 Hz, far off the left edge
    EXPECT_GT(g->rowOf(-std::numeric_limits<float>::infinity()), 100000);
    EXPECT_GT(g->rowOf(std::nanf("")), 100000);

    auto d = make(Dynamic, 320, 140);
    EXPECT_EQ(d->rowOf(0.0f), 20); // 0 dB one seventh from the top
    EXPECT_EQ(d->rowOf(-60.0f), 140);
}

TEST_F(Graph, GridLinesWhereTheAxesPutThem)
{
    auto g = make(Parametric, 660, 150);
    const auto image = render(*g);
    for (float f : {30.0f, 100.0f, 1000.0f, 2000.0f, 10000.0f})
    {
        const int x = static_cast<int>(g->positionOf(f) * 660.0f);
        EXPECT_EQ(at(image, x, 10), grid) << f;
        EXPECT_EQ(at(image, x + 2, 10), juce::Colours::black) << f;
    }
    // 20 Hz on the left edge.
    EXPECT_EQ(at(image, 0, 10), grid);
    // Horizontal divisions at trunc(i * 150 / 8) and the 2-pixel 0 line.
    for (int i : {1, 2, 3, 5, 6, 7})
        EXPECT_EQ(at(image, 300, static_cast<int>(i * (150.0 / 8))), grid) << i;
    EXPECT_EQ(at(image, 300, 74), grid);
    EXPECT_EQ(at(image, 300, 75), grid);
    EXPECT_EQ(at(image, 300, 30), juce::Colours::black);
    EXPECT_EQ(at(image, 1, 18), juce::Colours::black); // horizontal lines start at x = 2
}

TEST_F(Graph, TheGridGoesWithItsColourOrItsHeight)
{
    auto g = make(Parametric, 660, 150);
    g->gridColour = g->backgroundColour;
    const auto none = render(*g);
    for (int y : {10, 18, 74, 75})
        EXPECT_EQ(at(none, static_cast<int>(g->positionOf(1000.0f) * 660.0f), y),
                  juce::Colours::black);
    EXPECT_EQ(at(none, 300, 75), juce::Colours::black);

    auto low = make(Parametric, 660, 20); // below 3 x 8 rows: no divisions, still the 0 line
    const auto image = render(*low);
    EXPECT_EQ(at(image, 300, 9), grid);
    EXPECT_EQ(at(image, 300, 10), grid);
    for (int y = 0; y < 20; ++y)
    {
        if (y != 9 && y != 10)
        {
            EXPECT_EQ(at(image, 300, y), juce::Colours::black) << y;
        }
    }
}

TEST_F(Graph, CurvesFillAndStroke)
{
    auto g = make(Parametric, 660, 150);
    g->gridColour = g->backgroundColour;
    g->responseFunction = [](int, float f) { return f > 1000.0f ? 20.0f : 0.0f; };
    g->fillMode = 1;
    g->fillColour[0] = juce::Colours::red;
    g->curveColour[0] = juce::Colours::white;
    const auto image = render(*g);
    const int high = static_cast<int>(g->positionOf(5000.0f) * 660.0f);
    EXPECT_EQ(at(image, high, 60), juce::Colours::red); // between curve (y 50) and the middle
    EXPECT_EQ(at(image, high, 100), juce::Colours::black);
    EXPECT_EQ(at(image, high, 50).getBrightness(), 1.0f); // the stroke

    g->fillMode = 2; // down to the bottom edge
    EXPECT_EQ(at(render(*g), high, 120), juce::Colours::red);
}

TEST_F(Graph, ACurveOfMinusInfinityStaysOffTheGraph)
{
    // A band never computed has all-zero coefficients: the log of 0.
    auto g = make(Parametric, 660, 150);
    g->responseFunction = [this](int c, float f) { return store.peqResponse(c, f); };
    g->curveColour[0] = juce::Colours::white;
    g->fillColour[0] = juce::Colours::red;
    g->fillMode = 1;
    const auto image = render(*g);
    EXPECT_EQ(at(image, 300, 10), juce::Colours::black);
    g->responseFunction = minusInfinity;
    EXPECT_EQ(at(render(*g), 300, 10), juce::Colours::black);
}

TEST_F(Graph, MarkersSitOnTheirFrequencies)
{
    auto g = make(Parametric, 660, 150);
    g->setHandleCount(8);
    for (int i = 0; i < 8; ++i)
        g->addHandle(marker(), i);
    g->handleFrequency = {20.0f, 20000.0f, 1500.0f, 0.0f, -5.0f, 150.0f, 250.0f, 450.0f};
    store.selectedHandle = 2;
    const auto image = render(*g);
    EXPECT_EQ(g->getHandle(0)->getX(), -6); // centred on the left edge
    EXPECT_EQ(g->getHandle(0)->getY(), 3);
    EXPECT_EQ(g->getHandle(1)->getX(), 660 - 6);
    const int x1k = static_cast<int>(static_cast<double>(g->positionOf(1500.0f)) * 660);
    EXPECT_EQ(g->getHandle(2)->getX(),
              static_cast<int>(static_cast<double>(g->positionOf(1500.0f)) * 660 - 6));
    EXPECT_LT(g->getHandle(3)->getX(), -1300);
    EXPECT_EQ(g->getHandle(4)->getX(), g->getHandle(3)->getX());
    // The selected marker's dotted line is white; the others grey.
    EXPECT_EQ(at(image, x1k, 17), juce::Colours::white);
    EXPECT_EQ(at(image, x1k, 20), juce::Colours::black);
    const int x100 = static_cast<int>(static_cast<double>(g->positionOf(150.0f)) * 660);
    EXPECT_EQ(at(image, x100, 21), juce::Colour(0xff808080));

    store.selectedHandle = 9; // beyond the count: nothing highlighted
    EXPECT_EQ(at(render(*g), x1k, 17), juce::Colour(0xff808080));
}

TEST_F(Graph, HandleCountShowsAndHidesMarkers)
{
    auto g = make(Parametric, 660, 150);
    g->setHandleCount(8);
    for (int i = 0; i < 8; ++i)
        g->addHandle(marker(), i);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(g->getHandle(i)->isVisible()) << i;
    g->setHandleCount(2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(g->getHandle(i)->isVisible(), i < 2) << i;
    g->setHandleCount(4);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(g->getHandle(i)->isVisible(), i < 4) << i;
    EXPECT_EQ(g->handleHalfWidth, 6u);

    // The dynamic page's second graph: one marker for filter 1 in slot 0.
    auto d = make(Dynamic, 320, 140);
    d->setHandleCount(1);
    d->addHandle(marker(), -1);
    EXPECT_EQ(d->getHandle(0)->getFilterIndex(), 1);
}

TEST_F(Graph, MarkerGesturesBecomeNudges)
{
    auto g = make(Parametric, 660, 150);
    g->setHandleCount(4);
    for (int i = 0; i < 4; ++i)
        g->addHandle(marker(), i);
    auto& m = *g->getHandle(3);
    store.selectedHandle = 0;

    // Down 1 pixel: nothing; 2 and 3 pixels: 0.5 dB lower (amount 1).
    const struct
    {
        int dy;
        std::vector<std::string> calls;
    } vertical[] = {{1, {}}, {-1, {}}, {2, {"gain 3 1"}}, {3, {"gain 3 1"}}, {-4, {"gain 3 -2"}}};
    for (const auto& c : vertical)
    {
        host.calls.clear();
        m.mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(),
                                     {6.0f, 6.0f}, {}, 0, 0, 0, 0, 0, &m, &m, juce::Time(),
                                     {6.0f, 6.0f}, juce::Time(), 1, false));
        m.dragTo(6, 6 + c.dy);
        EXPECT_EQ(host.calls, c.calls) << c.dy;
    }
    EXPECT_EQ(store.selectedHandle, 3);

    // Slow movement adds up: 1 pixel, then another.
    m.mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {6.0f, 6.0f},
                                 {}, 0, 0, 0, 0, 0, &m, &m, juce::Time(), {6.0f, 6.0f},
                                 juce::Time(), 1, false));
    host.calls.clear();
    m.dragTo(6, 7);
    m.dragTo(6, 8); // 2 below the last processed position
    EXPECT_EQ(host.calls, std::vector<std::string>({"gain 3 1"}));

    // Horizontal: the offset from the marker's centre, in steps.
    host.calls.clear();
    m.dragTo(10, 8);
    EXPECT_EQ(host.calls, std::vector<std::string>({"freq 3 4"}));

    host.calls.clear();
    m.wheel(0.0f);
    m.wheel(-0.2f);
    EXPECT_EQ(host.calls, std::vector<std::string>({"qual 3 1", "qual 3 -1"}));

    // Dynamic: two steps per pixel, every vertical pixel.
    auto d = make(Dynamic, 320, 140);
    d->addHandle(marker(), 0);
    host.calls.clear();
    d->getHandle(0)->dragTo(8, 1);
    EXPECT_EQ(host.calls, std::vector<std::string>({"freq 0 4", "gain 0 1"}));

    auto x = make(Crossover, 660, 150);
    x->addHandle(marker(), 1);
    host.calls.clear();
    x->getHandle(1)->dragTo(3, 9);
    x->getHandle(1)->wheel(1.0f);
    EXPECT_EQ(host.calls, std::vector<std::string>({"freq 1 -3", "wheel 1 1"}));
}

} // namespace

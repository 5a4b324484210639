#include "EQGraph.h"

#include <cmath>

namespace velmora
{

namespace
{

constexpr double lnThousand = 6.907755278982137;

// Curve values far outside any visible range (a band of all-zero
// coefficients gives -infinity) are held here, still off the graph but finite.
constexpr double farOff = 1.0e6;

} // namespace

// --- filter_drag -------------------------------------------------------------

filter_drag::filter_drag(const juce::Image& picture, int index, int kind, EqGraphHost* h,
                         int& selection)
    : juce::Component("filter_drag"),
      handleImage(picture.rescaled(picture.getWidth(), picture.getHeight(),
                                   juce::Graphics::mediumResamplingQuality)),
      filterIndex(index), graphKind(kind), host(h), selectedHandle(selection)
{
    setSize(picture.getWidth(), picture.getHeight());
}

void filter_drag::mouseDown(const juce::MouseEvent& e)
{
    // Grabbing a marker leaves a value box the user was typing into, as a
    // click elsewhere would (the marker takes no keyboard focus).
    if (auto* focused = juce::Component::getCurrentlyFocusedComponent())
        focused->giveAwayKeyboardFocus();
    lastMouseX = e.x;
    lastMouseY = e.y;
}

void filter_drag::mouseUp(const juce::MouseEvent&)
{
    lastMouseX = 0;
    lastMouseY = 0;
}

void filter_drag::mouseDrag(const juce::MouseEvent& e)
{
    dragTo(e.x, e.y);
}

void filter_drag::dragTo(int mx, int my)
{
    if (host == nullptr)
        return;
    // The offset from the marker's centre, not the movement since the last
    // event: the marker follows the mouse as the host repaints.
    const int dx = mx - width / 2;
    const int dy = my - lastMouseY;
    switch (graphKind)
    {
        case Parametric:
            if (dx != 0)
            {
                host->nudgeFrequency(filterIndex, dx);
                selectedHandle = filterIndex;
                lastMouseX = mx;
            }
            // A pixel up or down is ignored, so slow movements add up.
            if (dy > 1 || dy < -1)
            {
                host->nudgeGain(filterIndex, dy / 2);
                selectedHandle = filterIndex;
                lastMouseY = my;
            }
            break;
        case Dynamic:
            if (dx != 0)
                host->nudgeFrequency(filterIndex, 2 * dx);
            if (dy != 0)
                host->nudgeGain(filterIndex, dy);
            lastMouseX = mx;
            lastMouseY = my;
            break;
        case Crossover:
            if (dx != 0)
                host->crossoverNudgeFrequency(filterIndex, dx);
            lastMouseX = mx;
            lastMouseY = my;
            break;
        default:
            break;
    }
}

void filter_drag::mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails& details)
{
    wheel(details.deltaY);
}

void filter_drag::wheel(float incrementY)
{
    if (host == nullptr)
        return;
    const int step = incrementY >= 0.0f ? 1 : -1;
    switch (graphKind)
    {
        case Parametric:
            host->nudgeQuality(filterIndex, step);
            selectedHandle = filterIndex;
            break;
        case Dynamic:
            host->nudgeQuality(filterIndex, step);
            break;
        case Crossover:
            host->crossoverWheel(filterIndex, step);
            break;
        default:
            break;
    }
}

// --- EQGraph --------------------------------------------------------------------

EQGraph::EQGraph(int graphKind, EqGraphHost* h, int& selection)
    : juce::Component("EQGraph"), selectedHandle(selection), kind(graphKind), host(h)
{
    switch (kind)
    {
        case Parametric:
            halfRange = 40;
            zeroPosition = 0.5f;
            curveCount = 1;
            break;
        case Dynamic:
            halfRange = 60;
            zeroPosition = 6.0f / 7.0f;
            curveCount = 6;
            break;
        default: // Crossover, and any other
            halfRange = 30;
            zeroPosition = 0.5f;
            curveCount = kind == Crossover ? 2 : 1;
            break;
    }
    curveColour.fill(juce::Colours::white);
    fillColour.fill(juce::Colours::transparentBlack);
    selectedHandle = 0;
}

EQGraph::~EQGraph()
{
    for (auto& h : handles)
        if (h != nullptr)
            removeChildComponent(h.get());
}

float EQGraph::positionOf(float frequency) const
{
    const double f = frequency < 0.00001f ? 0.00001 : static_cast<double>(frequency);
    return static_cast<float>(std::log(f / 20.0) / lnThousand);
}

float EQGraph::frequencyAt(int x) const
{
    const float w = static_cast<float>(getWidth());
    float fraction = static_cast<float>(x) / w;
    if (fraction > 1.0f)
        fraction = 1.0f;
    const float power = static_cast<float>(std::pow(1000.0, static_cast<double>(fraction)));
    return static_cast<float>(20.0 * power);
}

int EQGraph::rowOf(float value) const
{
    double v = value;
    if (std::isnan(v))
        v = -farOff;
    v = juce::jlimit(-farOff, farOff, v);
    const float h = static_cast<float>(getHeight());
    const double scaled =
        (v / halfRange + 1.0) * static_cast<double>(h) * static_cast<double>(zeroPosition) + 0.25;
    return getHeight() - static_cast<int>(scaled);
}

void EQGraph::setHandleCount(unsigned n)
{
    if (n > 8)
        n = 8;
    if (handleCount == 0)
        handleCount = n;
    while (handleCount > n)
    {
        --handleCount;
        if (auto& h = handles[handleCount])
            h->setVisible(false);
    }
    while (handleCount < n)
    {
        if (auto& h = handles[handleCount])
            h->setVisible(true);
        ++handleCount;
    }
    markerColour = juce::Colour(0xff808080);
}

void EQGraph::addHandle(const juce::Image& picture, int index)
{
    const int slot = index >= 0 ? index : 0;
    if (slot > 7)
        return;
    auto& h = handles[static_cast<std::size_t>(slot)];
    if (h != nullptr)
        removeChildComponent(h.get());
    h = std::make_unique<filter_drag>(picture, index >= 0 ? index : 1, kind, host, selectedHandle);
    addAndMakeVisible(*h);
    handleHalfWidth = static_cast<unsigned>(picture.getWidth() * 0.5);
}

void EQGraph::drawMarkerLine(juce::Graphics& g, int x, juce::Colour colour) const
{
    const int h = getHeight();
    if (h - 2 <= 17)
        return;
    g.setColour(colour);
    for (int y = 17; y < h - 2; y += 2)
        g.fillRect(x, y, 1, 1);
}

void EQGraph::paint(juce::Graphics& g)
{
    const int w = getWidth();
    const int h = getHeight();
    g.fillAll(backgroundColour);

    if (gridColour != backgroundColour)
    {
        g.setColour(gridColour);
        auto vertical = [&](float f)
        {
            const float p = positionOf(f);
            if (p >= 0.0f && p <= 1.0f)
                g.drawVerticalLine(static_cast<int>(p * static_cast<float>(w)), 0.0f,
                                   static_cast<float>(h));
        };
        for (float decade : {10.0f, 100.0f, 1000.0f})
            for (int i = 1; i <= 9; ++i)
                vertical(decade * static_cast<float>(i));
        vertical(10000.0f);
        vertical(20000.0f);

        const float zeroY = (1.0f - zeroPosition) * static_cast<float>(h);
        g.drawLine(2.0f, zeroY, static_cast<float>(w - 2), zeroY, 2.0f);

        const int n = kind == Dynamic ? 7 : (halfRange < 100 ? halfRange / 5 : halfRange / 10);
        if (n > 0 && h >= 3 * n)
            for (int i = 1; i < n; ++i)
                g.drawHorizontalLine(static_cast<int>(i * (static_cast<double>(h) / n)), 2.0f,
                                     static_cast<float>(w - 2));
    }

    if (responseFunction != nullptr)
    {
        for (unsigned c = 0; c < curveCount && c < 6; ++c)
        {
            const int curve = static_cast<int>(c);
            juce::Path path;
            path.startNewSubPath(0.0f, static_cast<float>(rowOf(responseFunction(curve, 20.0f))));
            for (int x = 2; x < w; ++x)
            {
                const float f = frequencyAt(x);
                if (f > 48000.0f)
                    break;
                path.lineTo(static_cast<float>(x),
                            static_cast<float>(rowOf(responseFunction(curve, f))));
            }
            if (fillMode != 0)
            {
                juce::Path area(path);
                const float base =
                    fillMode == 1 ? static_cast<float>(h) * 0.5f : static_cast<float>(h);
                area.lineTo(static_cast<float>(w), base);
                area.lineTo(0.0f, base);
                area.closeSubPath();
                g.setColour(fillColour[c]);
                g.fillPath(area);
            }
            g.setColour(curveColour[c]);
            g.strokePath(path, juce::PathStrokeType(strokeThickness, juce::PathStrokeType::mitered,
                                                    juce::PathStrokeType::butt));
        }
    }

    for (unsigned i = 0; i < handleCount; ++i)
    {
        const double xd = static_cast<double>(positionOf(handleFrequency[i])) * w;
        if (auto& handle = handles[i])
            handle->setTopLeftPosition(
                static_cast<int>(juce::jlimit(-1.0e6, 1.0e6, xd - handleHalfWidth)), 3);
        drawMarkerLine(g, static_cast<int>(juce::jlimit(-1.0e6, 1.0e6, xd)), markerColour);
    }

    if (selectedHandle >= 0 && static_cast<unsigned>(selectedHandle) < handleCount)
    {
        const auto i = static_cast<std::size_t>(selectedHandle);
        if (handles[i] != nullptr)
            handles[i]->toFront(false);
        const double xd = static_cast<double>(positionOf(handleFrequency[i])) * w;
        drawMarkerLine(g, static_cast<int>(juce::jlimit(-1.0e6, 1.0e6, xd)), juce::Colours::white);
    }
}

} // namespace velmora

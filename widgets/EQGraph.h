#pragma once

#include <array>
#include <functional>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmora
{

enum EqGraphKind
{
    Parametric = 0,
    Crossover = 1,
    Dynamic = 2,
};

// What a graph's markers ask of the page that hosts the graph.
class EqGraphHost
{
public:
    virtual ~EqGraphHost() = default;
    // Move the filter's frequency by whole steps of its frequency parameter.
    virtual void nudgeFrequency(int filterIndex, int steps) = 0;
    // Lower the filter's gain by 0.5 dB x amount.
    virtual void nudgeGain(int filterIndex, int amount) = 0;
    // Move the filter's quality along the quality table.
    virtual void nudgeQuality(int filterIndex, int steps) = 0;
    // The crossover's own reactions: a frequency nudge, and a wheel step that
    // moves the filter's type to the next or previous choice.
    virtual void crossoverNudgeFrequency(int filterIndex, int steps)
    {
        nudgeFrequency(filterIndex, steps);
    }
    virtual void crossoverWheel(int filterIndex, int step) = 0;
};

class EQGraph;

// A small draggable marker, one per filter, placed by its graph at the
// filter's frequency. Turns mouse gestures into nudges for the host.
class filter_drag : public juce::Component
{
public:
    filter_drag(const juce::Image& picture, int filterIndex, int graphKind, EqGraphHost* host,
                int& selectedHandle);

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint(juce::Graphics& g) override { g.drawImageAt(handleImage, 0, 0); }
    void resized() override { width = getWidth(); }

    int getFilterIndex() const { return filterIndex; }

    // The gesture handling with the mouse position relative to the marker.
    void dragTo(int mx, int my);
    void wheel(float incrementY);

private:
    int lastMouseX = 0;
    int lastMouseY = 0;
    int width = 0;
    juce::Image handleImage;
    int filterIndex;
    int graphKind;
    EqGraphHost* host;
    int& selectedHandle;
};

// The frequency-response display of the filter pages: up to six curves over
// 20 Hz ... 20 kHz on a logarithmic axis, a grid, and up to eight markers.
class EQGraph : public juce::Component
{
public:
    using ResponseFunction = std::function<float(int curve, float frequency)>;

    // selectedHandle is the marker highlighted, one for all graphs of an
    // editor: it lives in the editor's response store and outlives the graph.
    EQGraph(int kind, EqGraphHost* host, int& selectedHandle);
    ~EQGraph() override;

    void paint(juce::Graphics& g) override;
    void resized() override { repaint(); }

    void setHandleCount(unsigned n);
    void addHandle(const juce::Image& picture, int index);
    filter_drag* getHandle(int i) const { return handles[static_cast<std::size_t>(i)].get(); }

    // The axes, as painted.
    float positionOf(float frequency) const; // fraction of the width, single precision
    float frequencyAt(int x) const;
    int rowOf(float value) const;

    ResponseFunction responseFunction;
    int& selectedHandle;
    int kind;
    int halfRange;
    float zeroPosition;
    unsigned curveCount;
    unsigned handleCount = 0;
    unsigned handleHalfWidth = 0;
    std::array<float, 8> handleFrequency {};
    EqGraphHost* host;
    juce::Colour backgroundColour {0xff000000};
    juce::Colour gridColour {0xff555555};
    std::array<juce::Colour, 6> curveColour;
    std::array<juce::Colour, 6> fillColour;
    juce::Colour markerColour {0xff808080};
    int fillMode = 1;
    float strokeThickness = 1.5f;

private:
    void drawMarkerLine(juce::Graphics& g, int x, juce::Colour colour) const;

    std::array<std::unique_ptr<filter_drag>, 8> handles;
};

} // namespace velmora

// A full repaint of the Parametric graph (660 x 150, eight bands, grid, fill,
// stroke, eight markers) into an image, and one parametric response curve.
#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "EQGraph.h"
#include "ResponseMaths.h"

using namespace velmora;

namespace
{

struct Host : EqGraphHost
{
    void nudgeFrequency(int, int) override {}
    void nudgeGain(int, int) override {}
    void nudgeQuality(int, int) override {}
    void crossoverWheel(int, int) override {}
};

void computeEightBands(ResponseStore& store)
{
    const int types[] = {3, 1, 1, 1, 1, 1, 1, 5};
    const float f[] = {40, 100, 200, 400, 1000, 2000, 4000, 10000};
    const float g[] = {3, -2, 4, -6, 2.5f, -1, 6, -3};
    for (int b = 0; b < 8; ++b)
        store.computePeqBand(0, b, types[b], f[b], g[b], 1.4f);
}

void ParametricRepaint(benchmark::State& state)
{
    ResponseStore store;
    Host host;
    EQGraph graph(Parametric, &host, store.selectedHandle);
    graph.setSize(660, 150);
    graph.responseFunction = [&store](int c, float f) { return store.peqResponse(c, f); };
    graph.curveColour[0] = juce::Colour(0xfffdbb30);
    graph.fillColour[0] = juce::Colour(0x40fdbb30);
    juce::Image marker(juce::Image::ARGB, 13, 13, true);
    graph.setHandleCount(8);
    for (int i = 0; i < 8; ++i)
        graph.addHandle(marker, i);
    store.peqGraph = &graph;
    computeEightBands(store);

    juce::Image image(juce::Image::RGB, 660, 150, true);
    for (auto _ : state)
    {
        juce::Graphics g(image);
        graph.paintEntireComponent(g, false);
        benchmark::DoNotOptimize(image.getPixelAt(300, 75));
    }
    store.peqGraph = nullptr;
}
BENCHMARK(ParametricRepaint)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void PeqResponseCurve(benchmark::State& state)
{
    ResponseStore store;
    computeEightBands(store);
    EQGraph graph(Parametric, nullptr, store.selectedHandle);
    graph.setSize(660, 150);
    for (auto _ : state)
    {
        float sum = 0;
        for (int x = 2; x < 660; ++x)
            sum += store.peqResponse(0, graph.frequencyAt(x));
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(PeqResponseCurve)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

#pragma once

#include <utility>
#include <vector>

#include <juce_graphics/juce_graphics.h>

// The pictures around the filter pages' response graphs, drawn in code once
// per process: the numbered markers and the frequency and level scales.
namespace velmora::pictures
{

// 13 x 13: a white digit on black, the marker of filter `digit` (1 ... 8).
juce::Image markerDigit(int digit);

// A row of frequency labels under a graph: each label centred under the
// graph's position of its frequency (20 Hz at the graph's left edge, 20 kHz
// at its right), the graph's left edge lying `graphLeft` pixels into the
// picture. `id` keeps pictures of different pages apart in the cache.
juce::Image frequencyScale(int id, int width, int height, int graphLeft, int graphWidth,
                           const std::vector<std::pair<float, const char*>>& labels);

// A column of level labels beside a graph, each centred at its height in the
// picture (right-aligned, so that the numbers end next to the graph).
juce::Image levelScale(int id, int width, int height,
                       const std::vector<std::pair<int, const char*>>& labels);

} // namespace velmora::pictures

#pragma once

#include <juce_graphics/juce_graphics.h>

// The scales around the crossover page's response graph.
namespace velmora::pictures
{

// 673 x 19: 20 Hz ... 20 kHz under a 660-pixel graph that starts 7 pixels
// into the picture.
juce::Image xoverFrequencyScale();

// 24 x 162: +15 dB ... -15 dB in 5 dB steps beside a 150-pixel graph that
// starts 6 pixels below the picture's top.
juce::Image xoverLevelScale();

} // namespace velmora::pictures

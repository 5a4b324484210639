#pragma once

#include <juce_graphics/juce_graphics.h>

// The pictures of the Configuration page's signal-flow diagram, drawn in code
// once per process.
namespace velmora::pictures
{

// 580 x 99: inputs A and B on the left, the outputs and loudspeakers on the
// right, and the signal's road through the middle, where the block pictures
// are drawn over it, for mode 0 DUAL, 1 STEREO, 2 BIAMP1, 3 BIAMP2, 4 BRIDGE.
juce::Image flowBackground(int mode);

enum class FlowBlock
{
    filter,
    xover,
    peq,
    deq,
    delay,
    limit
};

// 50 x 48: one function of a channel, grey while it does nothing, amber while
// it is in use.
juce::Image flowBlock(FlowBlock block, bool lit);

} // namespace velmora::pictures

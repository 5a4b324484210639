#include "led_meter.h"

namespace velmora
{

void led_meter::paint(juce::Graphics& g)
{
    if (segments < 2)
        return;
    const int w = getWidth();
    const int segmentHeight = getHeight() / segments;
    const auto step = static_cast<float>((maxDb - minDb) / (segments - 1));

    // The wash shows through the 2-pixel gaps between segments.
    g.fillAll(juce::Colour(0x20fdbb30));
    for (int i = 0; i < segments; ++i)
    {
        const double threshold = maxDb - i * static_cast<double>(step);
        const bool lit = threshold < level;
        const bool top = i < 3;
        g.setColour(top ? (lit ? litTopColour : darkTopColour) : (lit ? litColour : darkColour));
        g.fillRect(0, i * segmentHeight, w, segmentHeight - 2);
    }
}

} // namespace velmora

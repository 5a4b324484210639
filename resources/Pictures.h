#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <juce_graphics/juce_graphics.h>

// The pictures of the main panel's column and the window icon. They are drawn
// in code once per process (kept in JUCE's image cache) rather than shipped as
// bitmaps.
namespace velmora::pictures
{

// A picture drawn once by `draw` at w x h and kept in JUCE's image cache
// under `hash` (each picture file keeps its own range of hashes).
juce::Image cachedPicture(juce::int64 hash, int w, int h,
                          const std::function<void(juce::Graphics&, int, int)>& draw);

juce::Image header();      // 164 x 32, the product name
juce::Image vornLogo();    // 90 x 16, near the top for the Vorn series (and no device)
juce::Image vornBadge();   // 102 x 25, at the bottom for the Vorn series
juce::Image zephylLogo();  // 90 x 23, near the top for the Zephyl line
juce::Image zephylBadge(); // 73 x 60, at the bottom for the Zephyl line
juce::Image meterScale();  // 36 x 134, dB marks between two meters
juce::Image windowIcon();  // 32 x 32

// The window icon as shapes on a square of iconUnits, so that the installed
// icons (PNGs at every size and the SVG) are the same picture as the title
// bar's.
constexpr float iconUnits = 32.0f;
struct IconShape
{
    juce::Path path;
    juce::Colour colour;
    std::optional<juce::PathStrokeType> stroke; // filled when empty
};
std::vector<IconShape> windowIconShapes();
void drawWindowIcon(juce::Graphics& g, int size); // at (0, 0), size x size

// Where the scale's marks meet the meters: the meter's top edge lies this many
// pixels below the scale's top, and the meter is 105 pixels high.
constexpr int scaleMeterTop = 15;
constexpr int meterHeight = 105;

} // namespace velmora::pictures

#include "XoverPictures.h"

#include "ScalePictures.h"

namespace velmora::pictures
{
namespace
{

// Keeps these pictures apart from the other pages' in the picture cache.
constexpr int xoverScaleId = 0x63;

} // namespace

juce::Image xoverFrequencyScale()
{
    return frequencyScale(xoverScaleId, 673, 19, 7, 660,
                          {{20.0f, "20"},
                           {50.0f, "50"},
                           {100.0f, "100"},
                           {200.0f, "200"},
                           {500.0f, "500"},
                           {1000.0f, "1k"},
                           {2000.0f, "2k"},
                           {5000.0f, "5k"},
                           {10000.0f, "10k"},
                           {20000.0f, "20k"}});
}

juce::Image xoverLevelScale()
{
    // The graph's 0 line is at its middle (75 of 150 pixels); 5 dB is 25
    // pixels (a Crossover graph shows +-15 dB over its height).
    return levelScale(
        xoverScaleId, 24, 162,
        {{6, "+15"}, {31, "+10"}, {56, "+5"}, {81, "0"}, {106, "-5"}, {131, "-10"}, {156, "-15"}});
}

} // namespace velmora::pictures

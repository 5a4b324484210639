#include "ScalePictures.h"

#include <cmath>
#include <functional>

#include "Pictures.h"

namespace velmora::pictures
{
namespace
{

const juce::Colour grey(0xffa8a8a8);

juce::Image cached(juce::int64 id, int w, int h,
                   const std::function<void(juce::Graphics&, int, int)>& draw)
{
    return cachedPicture(0x56454c4d00002000LL + id, w, h, draw); // "VELM", scales and markers
}

} // namespace

juce::Image markerDigit(int digit)
{
    const int d = juce::jlimit(0, 9, digit);
    return cached(d, 13, 13,
                  [d](juce::Graphics& g, int w, int h)
                  {
                      g.fillAll(juce::Colours::black);
                      g.setColour(juce::Colours::white);
                      g.setFont(juce::Font(juce::Font::getDefaultSansSerifFontName(), 12.0f,
                                           juce::Font::bold));
                      g.drawText(juce::String(d), 0, 0, w, h, juce::Justification::centred, false);
                  });
}

juce::Image frequencyScale(int id, int width, int height, int graphLeft, int graphWidth,
                           const std::vector<std::pair<float, const char*>>& labels)
{
    return cached(0x100 + id, width, height,
                  [=](juce::Graphics& g, int w, int h)
                  {
                      g.setColour(grey);
                      // Small enough that "400", "500" and "600", 21 pixels
                      // apart on the Parametric EQ's scale, stay apart.
                      g.setFont(juce::Font(juce::jmin(11.0f, static_cast<float>(h) - 6.0f))
                                    .withHorizontalScale(0.85f));
                      for (const auto& [frequency, text] : labels)
                      {
                          const double p = std::log(frequency / 20.0) / std::log(1000.0);
                          const int x = graphLeft + static_cast<int>(p * graphWidth);
                          const int textWidth = 30;
                          // Labels at the ends stay inside the picture.
                          const int left = juce::jlimit(0, w - textWidth, x - textWidth / 2);
                          g.drawText(text, left, 0, textWidth, h,
                                     left == 0               ? juce::Justification::centredLeft
                                     : left == w - textWidth ? juce::Justification::centredRight
                                                             : juce::Justification::centred,
                                     false);
                      }
                  });
}

juce::Image levelScale(int id, int width, int height,
                       const std::vector<std::pair<int, const char*>>& labels)
{
    return cached(0x200 + id, width, height,
                  [=](juce::Graphics& g, int w, int)
                  {
                      g.setColour(grey);
                      g.setFont(juce::Font(11.0f));
                      for (const auto& [y, text] : labels)
                          g.drawText(text, 0, y - 6, w - 2, 12, juce::Justification::centredRight,
                                     false);
                  });
}

} // namespace velmora::pictures

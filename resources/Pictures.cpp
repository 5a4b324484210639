#include "Pictures.h"

#include <functional>

namespace velmora::pictures
{
namespace
{

const juce::Colour amber(0xfffdbb30);
const juce::Colour grey(0xffa8a8a8);
const juce::Colour panel(0xff333333);

juce::Image cached(juce::int64 id, int w, int h,
                   const std::function<void(juce::Graphics&, int, int)>& draw)
{
    return cachedPicture(0x56454c4d00000000LL + id, w, h, draw); // "VELM"
}

juce::Font font(float height, bool bold = true)
{
    return juce::Font(juce::Font::getDefaultSansSerifFontName(), height,
                      bold ? juce::Font::bold : juce::Font::plain);
}

// A small sine burst, the mark of the editor.
juce::Path wavePath(juce::Rectangle<float> r)
{
    juce::Path wave;
    const int points = 40;
    for (int i = 0; i <= points; ++i)
    {
        const float t = static_cast<float>(i) / points;
        const float envelope = std::sin(t * juce::MathConstants<float>::pi);
        const float y = r.getCentreY() - envelope * r.getHeight() * 0.5f *
                                             std::sin(t * 6.0f * juce::MathConstants<float>::pi);
        const float x = r.getX() + t * r.getWidth();
        if (i == 0)
            wave.startNewSubPath(x, y);
        else
            wave.lineTo(x, y);
    }
    return wave;
}

juce::PathStrokeType waveStroke(float thickness)
{
    return {thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded};
}

void drawWave(juce::Graphics& g, juce::Rectangle<float> r, juce::Colour colour, float thickness)
{
    g.setColour(colour);
    g.strokePath(wavePath(r), waveStroke(thickness));
}

} // namespace

juce::Image cachedPicture(juce::int64 hash, int w, int h,
                          const std::function<void(juce::Graphics&, int, int)>& draw)
{
    auto image = juce::ImageCache::getFromHashCode(hash);
    if (image.isValid())
        return image;
    image = juce::Image(juce::Image::ARGB, w, h, true);
    {
        juce::Graphics g(image);
        draw(g, w, h);
    }
    juce::ImageCache::addImageToCache(image, hash);
    return image;
}

juce::Image header()
{
    return cached(
        1, 164, 32,
        [](juce::Graphics& g, int w, int h)
        {
            g.setGradientFill(juce::ColourGradient(juce::Colour(0xff1c1c1c), 0, 0,
                                                   juce::Colour(0xff2a2a2a), 0,
                                                   static_cast<float>(h), false));
            g.fillRoundedRectangle(0, 0, static_cast<float>(w), static_cast<float>(h), 5.0f);
            drawWave(g, {6.0f, 6.0f, 28.0f, 20.0f}, amber, 1.6f);
            g.setColour(amber);
            g.setFont(font(19.0f));
            g.drawText("VELMORA", 38, 2, w - 40, h - 10, juce::Justification::centredLeft);
            g.setColour(grey);
            g.setFont(font(8.5f, false));
            g.drawText("AMPLIFIER REMOTE", 39, h - 11, w - 40, 9, juce::Justification::centredLeft);
            g.setColour(amber.withAlpha(0.5f));
            g.drawHorizontalLine(h - 1, 4.0f, static_cast<float>(w - 4));
        });
}

juce::Image vornLogo()
{
    return cached(2, 90, 16,
                  [](juce::Graphics& g, int w, int h)
                  {
                      g.setColour(grey);
                      g.setFont(font(13.0f));
                      g.drawText("VORN", 0, 0, 44, h, juce::Justification::centredLeft);
                      g.setColour(amber);
                      g.setFont(font(10.0f, false));
                      g.drawText("SERIES", 44, 1, w - 44, h, juce::Justification::centredLeft);
                  });
}

juce::Image vornBadge()
{
    return cached(3, 102, 25,
                  [](juce::Graphics& g, int w, int h)
                  {
                      g.setColour(panel.brighter(0.15f));
                      g.fillRoundedRectangle(0.5f, 0.5f, w - 1.0f, h - 1.0f, 4.0f);
                      g.setColour(amber);
                      g.drawRoundedRectangle(0.5f, 0.5f, w - 1.0f, h - 1.0f, 4.0f, 1.0f);
                      g.setFont(font(11.0f));
                      g.drawText("2 x DSP POWER", 0, 0, w, h, juce::Justification::centred);
                  });
}

juce::Image zephylLogo()
{
    return cached(4, 90, 23,
                  [](juce::Graphics& g, int w, int h)
                  {
                      g.setColour(grey);
                      g.setFont(font(15.0f));
                      g.drawText("ZEPHYL", 0, 0, w, 17, juce::Justification::centred);
                      g.setColour(amber);
                      g.fillRect(10, h - 4, w - 20, 2);
                  });
}

juce::Image zephylBadge()
{
    return cached(5, 73, 60,
                  [](juce::Graphics& g, int w, int h)
                  {
                      // An amplifier front in miniature: two rack units with meters.
                      for (int unit = 0; unit < 2; ++unit)
                      {
                          const float y = 6.0f + unit * 24.0f;
                          g.setColour(panel.brighter(0.2f));
                          g.fillRoundedRectangle(3.0f, y, w - 6.0f, 20.0f, 3.0f);
                          g.setColour(grey.withAlpha(0.6f));
                          g.drawRoundedRectangle(3.0f, y, w - 6.0f, 20.0f, 3.0f, 1.0f);
                          for (int s = 0; s < 8; ++s)
                          {
                              g.setColour(s < 5 - unit ? amber : juce::Colour(0xff101010));
                              g.fillRect(10 + s * 6, static_cast<int>(y) + 8, 4, 4);
                          }
                          g.setColour(juce::Colours::black);
                          g.fillEllipse(w - 16.0f, y + 5.0f, 10.0f, 10.0f);
                      }
                      g.setColour(grey);
                      g.setFont(font(8.0f, false));
                      g.drawText("LINE", 0, h - 10, w, 10, juce::Justification::centred);
                  });
}

juce::Image meterScale()
{
    return cached(6, 36, 134,
                  [](juce::Graphics& g, int w, int)
                  {
                      g.setFont(font(9.0f, false));
                      // One mark every other 3 dB segment of a 21-segment, 105-pixel meter.
                      for (int i = 0; i <= 20; i += 2)
                      {
                          const int y = scaleMeterTop + i * (meterHeight / 21) + 1;
                          g.setColour(grey.withAlpha(0.7f));
                          g.drawHorizontalLine(y, 0.0f, 3.0f);
                          g.drawHorizontalLine(y, static_cast<float>(w - 3), static_cast<float>(w));
                          g.setColour(grey);
                          g.drawText(juce::String(-3 * i), 3, y - 5, w - 6, 10,
                                     juce::Justification::centred);
                      }
                      g.setColour(amber);
                      g.drawText("dB", 0, 1, w, 10, juce::Justification::centred);
                  });
}

std::vector<IconShape> windowIconShapes()
{
    juce::Path back;
    back.addRoundedRectangle(0.0f, 0.0f, iconUnits, iconUnits, 6.0f);
    juce::Path rim;
    rim.addRoundedRectangle(1.0f, 1.0f, iconUnits - 2.0f, iconUnits - 2.0f, 5.0f);
    return {{back, juce::Colour(0xff222222), std::nullopt},
            {rim, amber, juce::PathStrokeType(1.5f)},
            {wavePath({4.0f, 8.0f, 24.0f, 16.0f}), amber, waveStroke(2.0f)}};
}

void drawWindowIcon(juce::Graphics& g, int size)
{
    juce::Graphics::ScopedSaveState state(g);
    g.addTransform(juce::AffineTransform::scale(static_cast<float>(size) / iconUnits));
    for (const auto& shape : windowIconShapes())
    {
        g.setColour(shape.colour);
        if (shape.stroke)
            g.strokePath(shape.path, *shape.stroke);
        else
            g.fillPath(shape.path);
    }
}

juce::Image windowIcon()
{
    return cached(7, 32, 32, [](juce::Graphics& g, int w, int) { drawWindowIcon(g, w); });
}

} // namespace velmora::pictures

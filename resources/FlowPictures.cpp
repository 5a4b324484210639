#include "FlowPictures.h"

#include <functional>

#include "Pictures.h"

namespace velmora::pictures
{
namespace
{

const juce::Colour amber(0xfffdbb30);
const juce::Colour grey(0xffa8a8a8);
const juce::Colour dim(0xff5c5c5c);
const juce::Colour ground(0xff141414);

juce::Image cached(juce::int64 id, int w, int h,
                   const std::function<void(juce::Graphics&, int, int)>& draw)
{
    return cachedPicture(0x56454c4d00001000LL + id, w, h, draw); // "VELM", flow pictures
}

juce::Font font(float height, bool bold = true)
{
    return juce::Font(juce::Font::getDefaultSansSerifFontName(), height,
                      bold ? juce::Font::bold : juce::Font::plain);
}

// In the background's coordinates the blocks of a row span x 79 ... 365 (the
// diagram is drawn at x 120 on the page, the blocks from x 199 to 485).
constexpr float chainStart = 79.0f;
constexpr float chainEnd = 365.0f;
constexpr float rowCentre[2] = {24.0f, 75.0f};
constexpr float singleCentre = 49.0f;

void wire(juce::Graphics& g, juce::Path path, juce::Colour colour = grey)
{
    g.setColour(colour);
    g.strokePath(path, juce::PathStrokeType(1.6f, juce::PathStrokeType::curved,
                                            juce::PathStrokeType::rounded));
}

juce::Path line(float x0, float y0, float x1, float y1)
{
    juce::Path p;
    p.startNewSubPath(x0, y0);
    p.lineTo(x1, y1);
    return p;
}

// An input socket with its letter.
void input(juce::Graphics& g, float y, const char* letter)
{
    g.setColour(grey);
    g.drawEllipse(8.0f, y - 6.0f, 12.0f, 12.0f, 1.4f);
    g.fillEllipse(12.0f, y - 2.0f, 4.0f, 4.0f);
    g.setFont(font(11.0f));
    g.drawText(juce::String("IN ") + letter, 22, static_cast<int>(y) - 7, 34, 14,
               juce::Justification::centredLeft);
}

// An output stage: a triangle with its letter.
void output(juce::Graphics& g, float x, float y, const char* letter)
{
    juce::Path amp;
    amp.addTriangle(x, y - 8.0f, x, y + 8.0f, x + 14.0f, y);
    g.setColour(grey);
    g.strokePath(amp, juce::PathStrokeType(1.4f));
    g.setFont(font(10.0f));
    g.drawText(letter, static_cast<int>(x) + 1, static_cast<int>(y) - 5, 8, 10,
               juce::Justification::centred);
}

// A loudspeaker: magnet and cone; `tweeter` draws a horn driver, `label`
// goes under it.
void speaker(juce::Graphics& g, float x, float y, bool tweeter, const juce::String& label)
{
    g.setColour(grey);
    g.drawRect(x, y - 5.0f, 6.0f, 10.0f, 1.4f);
    juce::Path cone;
    const float spread = tweeter ? 7.0f : 12.0f;
    const float depth = tweeter ? 14.0f : 10.0f;
    cone.startNewSubPath(x + 6.0f, y - 5.0f);
    cone.lineTo(x + 6.0f + depth, y - spread);
    cone.lineTo(x + 6.0f + depth, y + spread);
    cone.lineTo(x + 6.0f, y + 5.0f);
    g.strokePath(cone, juce::PathStrokeType(1.4f));
    g.setFont(font(8.5f, false));
    g.drawText(label, static_cast<int>(x) - 12, static_cast<int>(y + spread) + 1, 46, 10,
               juce::Justification::centred);
}

void drawBackground(juce::Graphics& g, int mode)
{
    g.setColour(ground);
    g.fillRoundedRectangle(0.0f, 0.0f, 580.0f, 99.0f, 6.0f);
    g.setColour(dim);
    g.drawRoundedRectangle(0.5f, 0.5f, 579.0f, 98.0f, 6.0f, 1.0f);

    const float inA = rowCentre[0], inB = rowCentre[1];
    input(g, inA, "A");
    input(g, inB, "B");
    const float outX = 392.0f, speakerX = 470.0f;

    switch (mode)
    {
        case 0: // DUAL: A to A, B to B
            for (int r = 0; r < 2; ++r)
            {
                const float y = rowCentre[r];
                wire(g, line(56.0f, y, chainStart, y));
                wire(g, line(chainEnd, y, outX, y));
                output(g, outX, y, r == 0 ? "A" : "B");
                wire(g, line(outX + 14.0f, y, speakerX, y));
                speaker(g, speakerX, y, false, r == 0 ? "A" : "B");
            }
            break;
        case 1: // STEREO: both inputs into one chain, split to both outputs
        {
            juce::Path join;
            join.startNewSubPath(56.0f, inA);
            join.quadraticTo(90.0f, inA, 104.0f, singleCentre);
            join.startNewSubPath(56.0f, inB);
            join.quadraticTo(90.0f, inB, 104.0f, singleCentre);
            wire(g, join);
            g.setColour(grey);
            g.fillEllipse(101.0f, singleCentre - 3.0f, 6.0f, 6.0f);
            wire(g, line(104.0f, singleCentre, 107.0f, singleCentre));
            juce::Path split;
            split.startNewSubPath(chainEnd, singleCentre);
            split.quadraticTo(378.0f, singleCentre, outX - 4.0f, inA);
            split.lineTo(outX, inA);
            split.startNewSubPath(chainEnd, singleCentre);
            split.quadraticTo(378.0f, singleCentre, outX - 4.0f, inB);
            split.lineTo(outX, inB);
            wire(g, split);
            for (int r = 0; r < 2; ++r)
            {
                output(g, outX, rowCentre[r], r == 0 ? "A" : "B");
                wire(g, line(outX + 14.0f, rowCentre[r], speakerX, rowCentre[r]));
                speaker(g, speakerX, rowCentre[r], false, r == 0 ? "L" : "R");
            }
            break;
        }
        case 2: // BIAMP1: input A feeds both chains; A full range, B high
        case 3: // BIAMP2: the paths cross; A high, B full range
        {
            juce::Path feed;
            feed.startNewSubPath(56.0f, inA);
            feed.lineTo(chainStart, inA);
            feed.startNewSubPath(66.0f, inA);
            feed.quadraticTo(66.0f, inB, chainStart, inB);
            wire(g, feed);
            g.setColour(grey);
            g.fillEllipse(63.0f, inA - 3.0f, 6.0f, 6.0f);
            // Input B is not used: dimmed.
            g.setColour(ground);
            g.fillRect(6.0f, inB - 8.0f, 52.0f, 16.0f);
            g.setColour(dim);
            g.drawEllipse(8.0f, inB - 6.0f, 12.0f, 12.0f, 1.4f);
            g.setFont(font(11.0f));
            g.drawText("IN B", 22, static_cast<int>(inB) - 7, 34, 14,
                       juce::Justification::centredLeft);
            // Each channel's chain drives its own output. In BIAMP2 the
            // wires cross after the outputs: output A drives the
            // high-frequency driver, output B the full-range speaker.
            const bool crossed = mode == 3;
            for (int r = 0; r < 2; ++r)
                wire(g, line(chainEnd, rowCentre[r], outX, rowCentre[r]));
            output(g, outX, inA, "A");
            output(g, outX, inB, "B");
            for (int r = 0; r < 2; ++r)
            {
                const float from = rowCentre[r];
                const float to = crossed ? rowCentre[1 - r] : from;
                juce::Path cable;
                cable.startNewSubPath(outX + 14.0f, from);
                cable.cubicTo(438.0f, from, 438.0f, to, speakerX, to);
                wire(g, cable);
                const bool high = r == 1;
                speaker(g, speakerX, rowCentre[r], high, high ? "HIGH" : "FULL");
            }
            break;
        }
        case 4: // BRIDGE: summed into one chain, A and B in opposite polarity
        {
            // The one chain runs along the first row.
            const float chain = inA;
            juce::Path join;
            join.startNewSubPath(56.0f, inA);
            join.lineTo(61.0f, chain);
            join.startNewSubPath(48.0f, inB);
            join.quadraticTo(66.0f, inB, 66.0f, chain + 5.0f);
            join.startNewSubPath(71.0f, chain);
            join.lineTo(chainStart, chain);
            wire(g, join);
            g.setColour(grey);
            g.drawEllipse(61.0f, chain - 5.0f, 10.0f, 10.0f, 1.2f);
            g.setFont(font(9.0f));
            g.drawText("+", 61, static_cast<int>(chain) - 5, 10, 10, juce::Justification::centred);
            juce::Path split;
            split.startNewSubPath(chainEnd, chain);
            split.lineTo(outX, inA);
            split.startNewSubPath(chainEnd + 8.0f, chain);
            split.quadraticTo(chainEnd + 14.0f, inB, outX, inB);
            wire(g, split);
            g.setColour(grey);
            g.fillEllipse(chainEnd + 5.0f, chain - 3.0f, 6.0f, 6.0f);
            output(g, outX, inA, "+");
            output(g, outX, inB, "-");
            // One speaker between the two outputs.
            juce::Path bridge;
            bridge.startNewSubPath(outX + 14.0f, inA);
            bridge.lineTo(speakerX - 10.0f, inA);
            bridge.lineTo(speakerX - 10.0f, singleCentre - 3.0f);
            bridge.lineTo(speakerX, singleCentre - 3.0f);
            bridge.startNewSubPath(outX + 14.0f, inB);
            bridge.lineTo(speakerX - 10.0f, inB);
            bridge.lineTo(speakerX - 10.0f, singleCentre + 3.0f);
            bridge.lineTo(speakerX, singleCentre + 3.0f);
            wire(g, bridge);
            speaker(g, speakerX, singleCentre, false, "BRIDGED");
            break;
        }
        default:
            break;
    }

    // Where the blocks go, the road continues under them.
    g.setColour(dim);
    if (mode == 1)
        g.drawHorizontalLine(static_cast<int>(singleCentre), chainStart, chainEnd);
    else if (mode == 4)
        g.drawHorizontalLine(static_cast<int>(inA), chainStart, chainEnd);
    else
        for (float y : rowCentre)
            g.drawHorizontalLine(static_cast<int>(y), chainStart, chainEnd);
}

const char* blockName(FlowBlock block)
{
    switch (block)
    {
        case FlowBlock::filter:
            return "Filter";
        case FlowBlock::xover:
            return "XOver";
        case FlowBlock::peq:
            return "PEQ";
        case FlowBlock::deq:
            return "DEQ";
        case FlowBlock::delay:
            return "Delay";
        case FlowBlock::limit:
            return "Limit";
    }
    return "";
}

// A small sign of what the block does, in the top half.
void drawSign(juce::Graphics& g, FlowBlock block, juce::Rectangle<float> r, juce::Colour c)
{
    juce::Path p;
    const float x0 = r.getX(), x1 = r.getRight(), y0 = r.getY(), y1 = r.getBottom();
    const float ym = r.getCentreY(), xm = r.getCentreX(), w = r.getWidth();
    switch (block)
    {
        case FlowBlock::filter: // a high-pass and low-pass shoulder
            p.startNewSubPath(x0, y1);
            p.quadraticTo(x0 + w * 0.2f, y0, x0 + w * 0.4f, y0);
            p.lineTo(x0 + w * 0.6f, y0);
            p.quadraticTo(x0 + w * 0.8f, y0, x1, y1);
            break;
        case FlowBlock::xover: // two crossing slopes
            p.startNewSubPath(x0, y0);
            p.lineTo(xm - w * 0.1f, y0);
            p.quadraticTo(xm + w * 0.15f, y0, x1, y1);
            p.startNewSubPath(x0, y1);
            p.quadraticTo(xm - w * 0.15f, y0, xm + w * 0.1f, y0);
            p.lineTo(x1, y0);
            break;
        case FlowBlock::peq: // a peak and a dip
            p.startNewSubPath(x0, ym);
            p.quadraticTo(x0 + w * 0.25f, ym, x0 + w * 0.3f, y0);
            p.quadraticTo(x0 + w * 0.35f, ym, xm, ym);
            p.quadraticTo(x0 + w * 0.65f, ym, x0 + w * 0.7f, y1);
            p.quadraticTo(x0 + w * 0.75f, ym, x1, ym);
            break;
        case FlowBlock::deq: // a peak that gives way
            p.startNewSubPath(x0, ym);
            p.quadraticTo(xm - w * 0.1f, ym, xm, y0);
            p.quadraticTo(xm + w * 0.1f, ym, x1, ym);
            p.startNewSubPath(x0 + w * 0.2f, ym + 3.0f);
            p.quadraticTo(xm - w * 0.05f, ym + 3.0f, xm, y0 + 5.0f);
            p.quadraticTo(xm + w * 0.05f, ym + 3.0f, x1 - w * 0.2f, ym + 3.0f);
            break;
        case FlowBlock::delay: // a clock
        {
            const float d = juce::jmin(w, r.getHeight());
            g.setColour(c);
            g.drawEllipse(xm - d / 2, ym - d / 2, d, d, 1.3f);
            p.startNewSubPath(xm, ym - d * 0.35f);
            p.lineTo(xm, ym);
            p.lineTo(xm + d * 0.3f, ym);
            break;
        }
        case FlowBlock::limit: // a level held under a ceiling
            p.startNewSubPath(x0, y1);
            p.lineTo(xm, y0 + 3.0f);
            p.lineTo(x1, y0 + 3.0f);
            g.setColour(c.withAlpha(0.6f));
            g.drawHorizontalLine(static_cast<int>(y0), x0, x1);
            break;
    }
    g.setColour(c);
    g.strokePath(
        p, juce::PathStrokeType(1.4f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void drawBlock(juce::Graphics& g, FlowBlock block, bool lit, int w, int h)
{
    const juce::Colour face = lit ? amber : juce::Colour(0xff3a3a3a);
    const juce::Colour ink = lit ? juce::Colour(0xff1a1a1a) : grey;
    g.setColour(face);
    g.fillRoundedRectangle(1.0f, 1.0f, w - 2.0f, h - 2.0f, 5.0f);
    g.setColour(lit ? amber.brighter(0.4f) : dim);
    g.drawRoundedRectangle(1.0f, 1.0f, w - 2.0f, h - 2.0f, 5.0f, 1.0f);
    drawSign(g, block, {12.0f, 7.0f, w - 24.0f, 14.0f}, ink);
    g.setColour(ink);
    g.setFont(font(11.0f));
    g.drawText(blockName(block), 0, h - 21, w, 16, juce::Justification::centred);
}

} // namespace

juce::Image flowBackground(int mode)
{
    const int m = mode >= 0 && mode <= 4 ? mode : 0;
    return cached(m, 580, 99, [m](juce::Graphics& g, int, int) { drawBackground(g, m); });
}

juce::Image flowBlock(FlowBlock block, bool lit)
{
    const int id = 16 + static_cast<int>(block) * 2 + (lit ? 1 : 0);
    return cached(id, 50, 48,
                  [block, lit](juce::Graphics& g, int w, int h)
                  { drawBlock(g, block, lit, w, h); });
}

} // namespace velmora::pictures

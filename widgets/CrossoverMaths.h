#pragma once

#include <array>

namespace velmora
{

// One second-order stage of the crossover picture:
// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
// The default is a pass-through stage.
struct XoverStage
{
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The stages of one crossover filter (a high-pass or a low-pass), filled in
// order; the stages a choice does not use pass the signal through.
using XoverFilterStages = std::array<XoverStage, 4>;

// Designs the picture of one crossover filter at 96 kHz. `type` is the
// filter's choice: 0 OFF, 1 BUT6, 2 BUT12, 3 BES12, 4 LR12, 5 BUT18, 6 BUT24,
// 7 BES24, 8 LR24, 9 BUT48, 10 LR48 (anything else draws as OFF).
XoverFilterStages designXoverFilter(int type, bool highPass, float frequency);

// What the crossover graph draws: per channel (0 A, 1 B) eight stages, the
// high-pass in 0..3 and the low-pass in 4..7, and the crossover gain. The
// stages are designed once per change of a filter and only evaluated per
// pixel column. One per crossover page, so that every editor (and every
// test) has its own.
struct CrossoverResponse
{
    std::array<std::array<XoverStage, 8>, 2> xoverStages {};
    std::array<float, 2> xoverGainDb {};
    // Last frequency of each section (0 A high-pass, 1 A low-pass,
    // 2 B high-pass, 3 B low-pass), in Hz.
    std::array<float, 4> sectionFrequency {};

    // Section k's filter with its choice `type` and corner `frequency`.
    void designSection(int k, int type, float frequency);

    // Twice the level in dB of channel `curve` at `frequency` (the scale of
    // the crossover graph), -100 where the picture has no level left.
    float xoverResponse(int curve, float frequency) const;
};

} // namespace velmora

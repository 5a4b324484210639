#pragma once

#include <array>

namespace velmora
{

class EQGraph;

// Second-order filter coefficients: H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
struct Biquad
{
    float b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The level-curve constants of one dynamic band.
struct DeqCurve
{
    float V = 0, Z = 0, W = 0, X = 0, Y = 0, S = 0, U = 0;
};

// What the Parametric and Dynamic EQ graphs draw: coefficients computed once
// per change of a band, evaluated at every pixel column. One store per
// running editor (its context owns it), so every test starts from a fresh
// one. Channels are 0 (A) and 1 (B); bands count from 0.
struct ResponseStore
{
    std::array<std::array<Biquad, 8>, 2> peqCoefficients {};
    std::array<std::array<float, 8>, 2> peqFrequency {};
    std::array<std::array<Biquad, 2>, 2> deqCoefficients {};
    std::array<std::array<float, 2>, 2> deqFrequency {};
    std::array<std::array<DeqCurve, 2>, 2> deqCurve {};
    std::array<std::array<std::array<float, 6>, 2>, 2> deqLevelFactor {};
    int peqDisplayChannel = 0;
    int deqDisplayChannel = 0;

    // The marker highlighted, one for all graphs of the editor.
    int selectedHandle = 0;

    // The graphs whose markers follow the bands (set by their pages, and
    // cleared by them before the graphs go).
    EQGraph* peqGraph = nullptr;
    std::array<EQGraph*, 2> deqGraphs {};

    void computePeqBand(int channel, int band, int type, float frequency, float gain,
                        float quality);
    void computeDeqBand(int channel, int band, int type, float frequency, float quality, float gain,
                        float threshold, float ratio);

    // Response functions of the graphs: twice the level in dB for the
    // parametric cascade (curve index ignored); the output level in dB of
    // dynamic band 0 or 1 for inputs of -50 ... 0 dB (curves 0 ... 5).
    float peqResponse(int curve, float frequency) const;
    float deqResponse(int band, int curve, float frequency) const;
};

constexpr float sampleRate = 96000.0f;

// |H|^2 of one biquad at `frequency` Hz, single precision as the amplifier's
// editor has always drawn it.
float magnitudeSquared(const Biquad& filter, float frequency);

// The designs, exposed for checks against another tool.
// type: 0 OFF, 1 PEQ, 2 LS6, 3 LS12, 4 HS6, 5 HS12.
Biquad designPeqBand(int type, float frequency, float gain, float quality);
// type: 0 OFF, 1 BP, 2 LP6, 3 LP12, 4 HP6, 5 HP12.
Biquad designDeqBand(int type, float frequency, float quality, float gain);

} // namespace velmora

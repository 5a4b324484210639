// Properties of the crossover picture that hold whatever the formulas:
// where the corner lies for each family, the slope far from it, and a
// Linkwitz-Riley pair summing flat. xover_crosscheck.py compares the
// designs with scipy's.
#include <cmath>

#include <gtest/gtest.h>

#include "CrossoverMaths.h"

using namespace velmora;

namespace
{

struct Choice
{
    int type;
    const char* name;
    int order;            // dB per octave / 6
    double cornerLevelDb; // level at the corner frequency
};

// Butterworth: half power at the corner; Linkwitz-Riley (a Butterworth
// squared): half amplitude; Bessel with its corner at the phase midpoint:
// |H(j)|^2 = 1/3 for the second order.
const Choice choices[] = {
    {1, "BUT6", 1, -3.0103},       {2, "BUT12", 2, -3.0103}, {3, "BES12", 2, -4.7712},
    {4, "LR12", 2, -6.0206},       {5, "BUT18", 3, -3.0103}, {6, "BUT24", 4, -3.0103},
    {7, "BES24", 4, std::nan("")}, {8, "LR24", 4, -6.0206},  {9, "BUT48", 8, -3.0103},
    {10, "LR48", 8, -6.0206},
};

// The level in dB that the graph draws for one filter alone.
double levelOf(int type, bool highPass, float corner, float at)
{
    CrossoverResponse r;
    r.designSection(highPass ? 0 : 1, type, corner);
    return r.xoverResponse(0, at) / 2.0;
}

TEST(CrossoverMaths, EachFamilyHasItsLevelAtTheCorner)
{
    for (const Choice& c : choices)
    {
        if (std::isnan(c.cornerLevelDb))
            continue;
        for (bool hp : {true, false})
            for (float corner : {100.0f, 1000.0f, 5000.0f, 15000.0f})
            {
                SCOPED_TRACE(std::string(c.name) + (hp ? " high-pass at " : " low-pass at ") +
                             std::to_string(corner));
                EXPECT_NEAR(levelOf(c.type, hp, corner, corner), c.cornerLevelDb, 0.02);
                // An octave into the pass band the filter passes nearly all
                // (Butterworth least of all at first order).
                const float inside = hp ? corner * 2.0f : corner / 2.0f;
                EXPECT_GT(levelOf(c.type, hp, corner, inside), c.order == 1 ? -1.0 : -2.1);
            }
    }
}

TEST(CrossoverMaths, SlopePerOctaveFarFromTheCorner)
{
    for (const Choice& c : choices)
    {
        SCOPED_TRACE(c.name);
        const double expected = 6.0206 * c.order;
        // Four octaves into the stop band, where the bilinear transform
        // barely bends the frequency axis.
        const double low =
            levelOf(c.type, false, 50.0f, 800.0f) - levelOf(c.type, false, 50.0f, 1600.0f);
        EXPECT_NEAR(low, expected, 0.15) << "low-pass";
        const double high =
            levelOf(c.type, true, 6400.0f, 400.0f) - levelOf(c.type, true, 6400.0f, 200.0f);
        EXPECT_NEAR(high, expected, 0.15) << "high-pass";
    }
}

TEST(CrossoverMaths, LinkwitzRileyPairsSumFlatInMagnitude)
{
    // |LP| = 1 / (1 + x^n) and |HP| = x^n / (1 + x^n): they add up to 1.
    // (Corners below a few hundred hertz blur it in single precision.)
    for (int type : {4, 8, 10})
        for (float corner : {400.0f, 632.46f, 2500.0f, 12000.0f})
        {
            CrossoverResponse r;
            r.designSection(1, type, corner); // channel A: the low-pass
            r.designSection(2, type, corner); // channel B: the high-pass
            // -100 is the picture's floor for "no level left".
            auto magnitude = [&](int curve, float f)
            {
                const float v = r.xoverResponse(curve, f);
                return v == -100.0f ? 0.0 : std::pow(10.0, v / 40.0);
            };
            for (float f = 20.0f; f <= 20000.0f; f *= 1.25f)
            {
                const double lp = magnitude(0, f);
                const double hp = magnitude(1, f);
                EXPECT_NEAR(lp + hp, 1.0, 2e-3) << type << " " << corner << " at " << f;
            }
        }
}

TEST(CrossoverMaths, OffIsFlatAndTheGainCountsTwice)
{
    CrossoverResponse r;
    for (float f : {20.0f, 1000.0f, 20000.0f})
        EXPECT_EQ(r.xoverResponse(0, f), 0.0f);
    r.xoverGainDb[1] = -4.5f;
    EXPECT_FLOAT_EQ(r.xoverResponse(1, 1000.0f), -9.0f);
    EXPECT_EQ(r.xoverResponse(0, 1000.0f), 0.0f);
    // Curves that do not exist draw nothing.
    EXPECT_EQ(r.xoverResponse(2, 1000.0f), -100.0f);
}

TEST(CrossoverMaths, ASectionKeepsToItsOwnStagesAndForgetsLongerDesigns)
{
    CrossoverResponse r;
    r.designSection(3, 10, 2000.0f); // channel B low-pass LR48: four stages
    r.designSection(2, 2, 200.0f);   // channel B high-pass BUT12
    EXPECT_NEAR(r.xoverResponse(1, 2000.0f) / 2, -6.0206, 0.02);
    // Channel A is untouched.
    EXPECT_EQ(r.xoverResponse(0, 2000.0f), 0.0f);

    // A shorter design leaves no stage of the longer one behind.
    r.designSection(3, 1, 2000.0f); // BUT6
    CrossoverResponse fresh;
    fresh.designSection(2, 2, 200.0f);
    fresh.designSection(3, 1, 2000.0f);
    for (float f : {100.0f, 2000.0f, 16000.0f})
        EXPECT_FLOAT_EQ(r.xoverResponse(1, f), fresh.xoverResponse(1, f)) << f;
    r.designSection(3, 0, 2000.0f);
    EXPECT_NEAR(r.xoverResponse(1, 10000.0f), 0.0f, 1e-3f);
    EXPECT_EQ(r.sectionFrequency[3], 2000.0f);
}

TEST(CrossoverMaths, HighPassAtTwentyHertzStaysFinite)
{
    // Far below a high corner the product underflows; the picture says -100
    // instead of minus infinity or not-a-number.
    const float v = static_cast<float>(levelOf(10, true, 20000.0f, 20.0f));
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_LE(v, -50.0f);
}

} // namespace

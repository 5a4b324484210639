#include <cmath>

#include <gtest/gtest.h>

#include "EQGraph.h"
#include "ResponseMaths.h"

using namespace velmora;

namespace
{

class Maths : public ::testing::Test
{
protected:
    ResponseStore store;

    void SetUp() override
    {
        for (int c = 0; c < 2; ++c)
            for (int b = 0; b < 8; ++b)
                store.computePeqBand(c, b, 0, 1000.0f, 0.0f, 1.0f);
    }

    // The r value behind a level factor.
    static float rOf(float factor, float gainDb)
    {
        const float m = std::pow(10.0f, gainDb / 20.0f);
        return -std::log((1.0f - factor) / (1.0f - m)) / 0.1151293f;
    }
};

TEST_F(Maths, ParametricBandsAsTheGraphShowsThem)
{
    EXPECT_EQ(store.peqResponse(0, 1000.0f), 0.0f); // all bands OFF
    EXPECT_EQ(store.peqResponse(0, 20.0f), 0.0f);

    store.computePeqBand(0, 2, 1, 1000.0f, 6.0f, 1.0f);
    EXPECT_NEAR(store.peqResponse(0, 1000.0f), 12.0f, 0.01f);
    EXPECT_NEAR(store.peqResponse(0, 100.0f), 0.13f, 0.02f);
    EXPECT_NEAR(store.peqResponse(0, 20.0f), 0.0f, 0.01f);
    EXPECT_EQ(store.selectedHandle, 2);
    EXPECT_EQ(store.peqFrequency[0][2], 1000.0f);

    // The other channel is not drawn until it is the display channel.
    store.computePeqBand(1, 0, 1, 1000.0f, -6.0f, 1.0f);
    EXPECT_NEAR(store.peqResponse(0, 1000.0f), 12.0f, 0.01f);
    store.peqDisplayChannel = 1;
    EXPECT_NEAR(store.peqResponse(0, 1000.0f), -12.0f, 0.01f);
}

TEST_F(Maths, GainZeroIsExactlyFlat)
{
    for (int type : {1, 2, 3, 4, 5})
    {
        const Biquad h = designPeqBand(type, 1000.0f, 0.0f, 1.0f);
        for (float f : {20.0f, 300.0f, 1000.0f, 9000.0f, 20000.0f})
            EXPECT_NEAR(magnitudeSquared(h, f), 1.0f, 1e-5f) << type << " " << f;
    }
    const Biquad peq = designPeqBand(1, 1000.0f, 0.0f, 1.0f);
    EXPECT_EQ(peq.b1, peq.a1);
    EXPECT_EQ(peq.b2, peq.a2);
    EXPECT_EQ(peq.b0, 1.0f);
}

TEST_F(Maths, ShelvesAndTheHighShelfCutUsingKg)
{
    store.computePeqBand(0, 0, 3, 200.0f, 6.0f, 1.0f); // LS12 +6
    EXPECT_NEAR(store.peqResponse(0, 20.0f), 12.0f, 0.1f);
    EXPECT_NEAR(store.peqResponse(0, 20000.0f), 0.0f, 0.01f);
    store.computePeqBand(0, 0, 3, 200.0f, -6.0f, 1.0f); // LS12 -6
    EXPECT_NEAR(store.peqResponse(0, 20.0f), -12.0f, 0.1f);
    EXPECT_NEAR(store.peqResponse(0, 20000.0f), 0.0f, 0.01f);

    store.computePeqBand(0, 0, 4, 2000.0f, -6.0f, 1.0f); // HS6 -6
    EXPECT_NEAR(store.peqResponse(0, 20000.0f), -11.95f, 0.02f);
    EXPECT_NEAR(store.peqResponse(0, 1000.0f), -4.06f, 0.02f);
    EXPECT_NEAR(store.peqResponse(0, 20.0f), 0.0f, 0.01f);
}

TEST_F(Maths, EveryDesignHasItsPromisedGain)
{
    // At DC for the low shelves, at 48 kHz for the high shelves, at the
    // centre for the peaking band: |H|^2 = g^2.
    for (float f : {40.0f, 315.0f, 2500.0f, 12000.0f})
        for (float gain : {-15.0f, -6.0f, -0.5f, 0.5f, 6.0f, 15.0f})
            for (float q : {0.3f, 1.0f, 5.0f})
            {
                const float g2 = std::pow(10.0f, gain / 10.0f);
                const auto at = [&](int type, float where)
                { return magnitudeSquared(designPeqBand(type, f, gain, q), where); };
                EXPECT_NEAR(at(1, f) / g2, 1.0f, 3e-3f) << "PEQ " << f << " " << gain << " " << q;
                EXPECT_NEAR(at(2, 0.0f) / g2, 1.0f, 2e-3f) << "LS6 " << f << " " << gain;
                // At DC a low second-order shelf sums terms near 1 to a result
                // of K^2: single precision keeps fewer digits the lower the shelf.
                EXPECT_NEAR(at(3, 0.0f) / g2, 1.0f, f < 100.0f ? 0.06f : 2e-3f)
                    << "LS12 " << f << " " << gain;
                EXPECT_NEAR(at(4, 48000.0f) / g2, 1.0f, 2e-3f) << "HS6 " << f << " " << gain;
                EXPECT_NEAR(at(5, 48000.0f) / g2, 1.0f, 2e-3f) << "HS12 " << f << " " << gain;
            }
    // The dynamic band filters: unity peak, pass bands of 1.
    for (float f : {50.0f, 1000.0f, 8000.0f})
    {
        EXPECT_NEAR(magnitudeSquared(designDeqBand(1, f, 1.0f, -6.0f), f), 1.0f, 1e-3f);
        EXPECT_NEAR(magnitudeSquared(designDeqBand(1, f, 2.0f, 6.0f), f), 1.0f, 1e-3f);
        for (int lp : {2, 3})
            EXPECT_NEAR(magnitudeSquared(designDeqBand(lp, f, 1.0f, 0.0f), 0.0f), 1.0f,
                        f < 100.0f ? 0.03f : 1e-3f);
        for (int hp : {4, 5})
            EXPECT_NEAR(magnitudeSquared(designDeqBand(hp, f, 1.0f, 0.0f), 48000.0f), 1.0f, 1e-3f);
        EXPECT_EQ(magnitudeSquared(designDeqBand(0, f, 1.0f, 0.0f), f), 0.0f);
    }
}

TEST_F(Maths, DynamicBandThatCuts)
{
    store.computeDeqBand(0, 0, 1, 1000.0f, 1.0f, -6.0f, -30.0f, 2.0f);
    const auto& d = store.deqCurve[0][0];
    EXPECT_NEAR(d.S, -2.1667f, 1e-3f);
    EXPECT_NEAR(d.U, -3.8333f, 1e-3f);
    const float r[] = {4.0f, 2.75f, 1.5f, 0.31f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(rOf(store.deqLevelFactor[0][0][static_cast<std::size_t>(i)], -6.0f), r[i],
                    0.01f)
            << i;
    EXPECT_NEAR(store.deqLevelFactor[0][0][4], std::pow(10.0f, -6.0f / 20.0f),
                1e-5f); // r = 0
    const float levels[] = {-53.3f, -43.9f, -34.7f, -25.7f, -16.0f, -6.0f};
    for (int c = 0; c < 6; ++c)
        EXPECT_NEAR(store.deqResponse(0, c, 1000.0f), levels[c], 0.06f) << c;
    EXPECT_EQ(store.deqFrequency[0][0], 1000.0f);
}

TEST_F(Maths, DynamicBandThatBoostsFadesAsTheLevelRises)
{
    store.computeDeqBand(1, 1, 1, 1000.0f, 1.0f, 6.0f, -30.0f, 2.0f);
    EXPECT_EQ(store.deqDisplayChannel, 1);
    const auto& d = store.deqCurve[1][1];
    EXPECT_NEAR(d.S, 7.8333f, 1e-3f);
    EXPECT_NEAR(d.U, 6.1667f, 1e-3f);
    const float r[] = {0.0f, 1.225f, 6.0f, 11.0f, 16.0f, 21.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(rOf(store.deqLevelFactor[1][1][static_cast<std::size_t>(i)], 6.0f), r[i], 0.01f)
            << i;
    const float levels[] = {-44.0f, -34.6f, -26.5f, -17.9f, -8.7f, 0.7f};
    for (int c = 0; c < 6; ++c)
        EXPECT_NEAR(store.deqResponse(1, c, 1000.0f), levels[c], 0.06f) << c;
}

TEST_F(Maths, DynamicBandOffOrWithoutGainDrawsSixFlatLines)
{
    store.computeDeqBand(0, 0, 0, 1000.0f, 1.0f, -6.0f, -30.0f, 2.0f);
    store.computeDeqBand(0, 1, 1, 1000.0f, 1.0f, 0.0f, -30.0f, 2.0f);
    for (float f : {20.0f, 1000.0f, 15000.0f})
        for (int c = 0; c < 6; ++c)
        {
            EXPECT_NEAR(store.deqResponse(0, c, f), -50.0f + 10.0f * c, 1e-3f) << f;
            EXPECT_NEAR(store.deqResponse(1, c, f), -50.0f + 10.0f * c, 1e-3f) << f;
        }
}

} // namespace

namespace
{

TEST(MathsBeforeTheFirstCompute, ParametricCurveStaysFiniteAndFarBelowTheGraph)
{
    // A fresh store has all-zero coefficients: |H|^2 = 0/1 for every band.
    ResponseStore fresh;
    for (float f : {20.0f, 1000.0f, 20000.0f})
    {
        const float v = fresh.peqResponse(0, f);
        EXPECT_TRUE(std::isfinite(v)) << f;
        EXPECT_LT(v, -400.0f) << f; // the graph shows +-40 units
    }
    // One computed band is not enough: the other seven still give 0.
    fresh.computePeqBand(0, 0, 1, 1000.0f, 6.0f, 1.0f);
    EXPECT_TRUE(std::isfinite(fresh.peqResponse(0, 1000.0f)));
}

} // namespace

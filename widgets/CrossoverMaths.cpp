#include "CrossoverMaths.h"

#include <cmath>

namespace velmora
{
namespace
{

constexpr double pi = 3.141592653589793;
constexpr double rate = 96000.0;

// The bilinear transform's pre-warped corner: tan of the corner as a
// fraction of the sample rate, in single precision like the rest of the
// picture. `scale` moves a stage's corner away from the filter's (the two
// stages of the fourth-order Bessel sit either side of it).
float warped(float frequency, double scale)
{
    const float argument = static_cast<float>(static_cast<double>(frequency) * scale / rate);
    return static_cast<float>(std::tan(static_cast<double>(argument)));
}

XoverStage firstOrder(float k, bool highPass)
{
    const double K = k;
    XoverStage s;
    s.a1 = static_cast<float>((K - 1.0) / (K + 1.0));
    if (highPass)
    {
        s.b0 = static_cast<float>(1.0 / (K + 1.0));
        s.b1 = -s.b0;
    }
    else
    {
        s.b0 = static_cast<float>(K / (K + 1.0));
        s.b1 = s.b0;
    }
    s.b2 = 0.0f;
    s.a2 = 0.0f;
    return s;
}

// A second-order stage with damping d (1/Q).
XoverStage secondOrder(float k, double d, bool highPass)
{
    const double K = k;
    const double K2 = K * K;
    const double g = K2 + d * K + 1.0;
    XoverStage s;
    if (highPass)
    {
        s.b0 = static_cast<float>(1.0 / g);
        s.b1 = static_cast<float>(-2.0 / g);
    }
    else
    {
        s.b0 = static_cast<float>(K2 / g);
        s.b1 = static_cast<float>(2.0 * K2 / g);
    }
    s.b2 = s.b0;
    s.a1 = static_cast<float>(2.0 * (K2 - 1.0) / g);
    s.a2 = static_cast<float>((K2 - d * K + 1.0) / g);
    return s;
}

} // namespace

XoverFilterStages designXoverFilter(int type, bool hp, float frequency)
{
    XoverFilterStages stages {};
    const float k = warped(frequency, pi);
    const double root2 = 1.4142135623730951;
    auto second = [&](std::size_t i, double d) { stages[i] = secondOrder(k, d, hp); };
    switch (type)
    {
        case 1: // BUT6
            stages[0] = firstOrder(k, hp);
            break;
        case 2: // BUT12
            second(0, root2);
            break;
        case 3: // BES12
            second(0, 1.7320508075688772);
            break;
        case 4: // LR12: BUT6 twice
            stages[0] = firstOrder(k, hp);
            stages[1] = firstOrder(k, hp);
            break;
        case 5: // BUT18
            stages[0] = firstOrder(k, hp);
            second(1, 1.0);
            break;
        case 6: // BUT24
            second(0, 1.8477590650225735);
            second(1, 0.7653668647301796);
            break;
        case 7: // BES24: each stage at its own corner
        {
            const float k1 = warped(frequency, 3.326373338699341);
            const float k2 = warped(frequency, 2.967076539993286);
            stages[0] = secondOrder(k1, hp ? 1.241405963897705 : 1.9159488677978516, hp);
            stages[1] = secondOrder(k2, hp ? 1.9159488677978516 : 1.241405963897705, hp);
            break;
        }
        case 8: // LR24: BUT12 twice
            second(0, root2);
            second(1, root2);
            break;
        case 9: // BUT48
            for (std::size_t i = 0; i < 4; ++i)
                second(i, 2.0 * std::cos(static_cast<double>(2 * i + 1) * pi / 16.0));
            break;
        case 10: // LR48: BUT24 twice
            for (std::size_t i = 0; i < 4; ++i)
                second(i, 2.0 * std::cos((i % 2 == 0 ? 1.0 : 3.0) * pi / 8.0));
            break;
        default: // OFF
            break;
    }
    return stages;
}

void CrossoverResponse::designSection(int k, int type, float frequency)
{
    if (k < 0 || k > 3)
        return;
    const bool highPass = k % 2 == 0;
    const XoverFilterStages stages = designXoverFilter(type, highPass, frequency);
    auto& channel = xoverStages[static_cast<std::size_t>(k / 2)];
    const std::size_t first = highPass ? 0 : 4;
    for (std::size_t i = 0; i < 4; ++i)
        channel[first + i] = stages[i];
    sectionFrequency[static_cast<std::size_t>(k)] = frequency;
}

float CrossoverResponse::xoverResponse(int curve, float frequency) const
{
    if (curve < 0 || curve > 1)
        return -100.0f;
    // One sine and one cosine per call; cos 2w and sin 2w follow from them.
    const float w = 6.2831854820251465f * frequency / 96000.0f;
    const float s = std::sin(w);
    const float c = std::cos(w);
    const float c2 = c * c - s * s;
    const float s2 = 2.0f * s * c;
    float p = 1.0f;
    for (const XoverStage& st : xoverStages[static_cast<std::size_t>(curve)])
    {
        const float nr = c * st.b1 + st.b0 + c2 * st.b2;
        const float ni = s * st.b1 + s2 * st.b2;
        const float dr = 1.0f + c * st.a1 + c2 * st.a2;
        const float di = s * st.a1 + s2 * st.a2;
        p = p * (nr * nr + ni * ni) / (dr * dr + di * di);
    }
    if (! (p > 0.0f))
        return -100.0f;
    return 20.0f * std::log(p) / 2.302585093f + 2.0f * xoverGainDb[static_cast<std::size_t>(curve)];
}

} // namespace velmora

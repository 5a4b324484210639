#include "ResponseMaths.h"

#include <cmath>
#include <limits>

#include "EQGraph.h"

namespace velmora
{
namespace
{

constexpr float pi = 3.1415927f;
constexpr float twoPi = 6.2831855f;
constexpr float sqrt2 = 1.4142137f;
constexpr float dbToLn = 0.1151293f;
constexpr double ln10 = 2.302585093;

float f32(double x)
{
    return static_cast<float>(x);
}

// The bilinear tangent.
float tangent(float frequency)
{
    const float x = f32(static_cast<double>(pi) * frequency / sampleRate);
    return f32(std::tan(static_cast<double>(x)));
}

float linearGain(float db)
{
    return f32(std::exp(static_cast<double>(db) * dbToLn));
}

float sqrtf32(float x)
{
    return f32(std::sqrt(static_cast<double>(x)));
}

} // namespace

namespace
{
// sin, cos and cos 2w of one frequency: the same for every band there.
struct Point
{
    float s, c, c2;
};

Point pointAt(float frequency)
{
    const float w = f32(static_cast<double>(frequency) * twoPi / sampleRate);
    const float s = f32(std::sin(static_cast<double>(w)));
    const float c = f32(std::cos(static_cast<double>(w)));
    return {s, c, c * c - s * s};
}

float magnitudeSquaredAt(const Biquad& h, const Point& p)
{
    const float s = p.s, c = p.c, c2 = p.c2;
    const float t = h.b0 + h.b1 * c + h.b2 * c2;
    const float u = -h.b1 * s - 2.0f * h.b2 * c * s;
    const float v = -1.0f - h.a1 * c - h.a2 * c2;
    const float x = 2.0f * h.a2 * c * s + h.a1 * s;
    return (t * t + u * u) / (v * v + x * x);
}
} // namespace

float magnitudeSquared(const Biquad& h, float frequency)
{
    return magnitudeSquaredAt(h, pointAt(frequency));
}

Biquad designPeqBand(int type, float frequency, float gainDb, float q)
{
    const float K = tangent(frequency);
    const float g = linearGain(gainDb);
    const float K2 = K * K;
    Biquad h;
    switch (type)
    {
        case 1: // PEQ
        {
            const float u = K / (sqrtf32(g) * q);
            const float n = 1.0f / (u + 1.0f + K2);
            h.a1 = 2.0f * (n * K2 - n);
            h.a2 = n * (1.0f - u + K2);
            const float d = (g - 1.0f) * u * n;
            h.b0 = 1.0f + d;
            h.b1 = h.a1;
            h.b2 = h.a2 - d;
            break;
        }
        case 2: // LS6
        {
            const float c = g <= 1.0f ? (K - g) / (K + g) : (K - 1.0f) / (K + 1.0f);
            const float d = (c + 1.0f) * (g - 1.0f) / 2.0f;
            h.b0 = 1.0f + d;
            h.b1 = c + d;
            h.a1 = c;
            break;
        }
        case 3: // LS12
            if (g > 1.0f)
            {
                const float D = 1.0f + sqrt2 * K + K2;
                const float r = sqrtf32(2.0f * g);
                h.b0 = (1.0f + r * K + g * K2) / D;
                h.b1 = 2.0f * (g * K2 - 1.0f) / D;
                h.b2 = (1.0f - r * K + g * K2) / D;
                h.a1 = 2.0f * (K2 - 1.0f) / D;
                h.a2 = (1.0f - sqrt2 * K + K2) / D;
            }
            else
            {
                const float v = 1.0f / g;
                const float r = sqrtf32(2.0f * v);
                const float D = 1.0f + r * K + v * K2;
                h.b0 = (1.0f + sqrt2 * K + K2) / D;
                h.b1 = 2.0f * (K2 - 1.0f) / D;
                h.b2 = (1.0f - sqrt2 * K + K2) / D;
                h.a1 = 2.0f * (v * K2 - 1.0f) / D;
                h.a2 = (1.0f - r * K + v * K2) / D;
            }
            break;
        case 4: // HS6
        {
            const float Kp = g <= 1.0f ? K * g : K;
            const float c = (Kp - 1.0f) / (Kp + 1.0f);
            h.b0 = 1.0f + (g - 1.0f) * (1.0f - c) / 2.0f;
            h.b1 = c + (g - 1.0f) * (c - 1.0f) / 2.0f;
            h.a1 = c;
            break;
        }
        case 5: // HS12
            if (g > 1.0f)
            {
                const float D = 1.0f + sqrt2 * K + K2;
                const float r = sqrtf32(2.0f * g);
                h.b0 = (g + r * K + K2) / D;
                h.b1 = 2.0f * (K2 - g) / D;
                h.b2 = (g - r * K + K2) / D;
                h.a1 = 2.0f * (K2 - 1.0f) / D;
                h.a2 = (1.0f - sqrt2 * K + K2) / D;
            }
            else
            {
                const float v = 1.0f / g;
                const float r = sqrtf32(2.0f * v);
                const float N = v + r * K + K2;
                h.b0 = (1.0f + sqrt2 * K + K2) / N;
                h.b1 = 2.0f * (K2 - 1.0f) / N;
                h.b2 = (1.0f - sqrt2 * K + K2) / N;
                const float r2 = sqrtf32(2.0f / v);
                const float D = 1.0f + r2 * K + K2 / v;
                h.a1 = 2.0f * (K2 / v - 1.0f) / D;
                h.a2 = (1.0f - r2 * K + K2 / v) / D;
            }
            break;
        default: // OFF: unity
            h.b0 = 1.0f;
            break;
    }
    return h;
}

Biquad designDeqBand(int type, float frequency, float q, float gainDb)
{
    const float K = tangent(frequency);
    const float m = linearGain(gainDb);
    const float K2 = K * K;
    Biquad h;
    switch (type)
    {
        case 1: // BP
        {
            const float u = m > 1.0f ? K / (q * sqrtf32(m)) : K / q;
            const float n = 1.0f / (u + 1.0f + K2);
            h.b0 = n * u;
            h.b2 = -n * u;
            h.a1 = 2.0f * (n * K2 - n);
            h.a2 = n * (1.0f - u + K2);
            break;
        }
        case 2: // LP6
        {
            const float r = 1.0f / K;
            h.b0 = h.b1 = 1.0f / (r + 1.0f);
            h.a1 = (1.0f - r) / (r + 1.0f);
            break;
        }
        case 3: // LP12
        {
            h.b0 = 1.0f / (sqrt2 / K + 1.0f + 1.0f / K2);
            h.b1 = 2.0f * h.b0;
            h.b2 = h.b0;
            const float D = 1.0f + sqrt2 * K + K2;
            h.a1 = 2.0f * (K2 - 1.0f) / D;
            h.a2 = (1.0f - sqrt2 * K + K2) / D;
            break;
        }
        case 4: // HP6
            h.b0 = 1.0f / (K + 1.0f);
            h.b1 = -h.b0;
            h.a1 = (K - 1.0f) / (K + 1.0f);
            break;
        case 5: // HP12
        {
            const float D = 1.0f + sqrt2 * K + K2;
            h.b0 = 1.0f / D;
            h.b1 = -2.0f * h.b0;
            h.b2 = h.b0;
            h.a1 = 2.0f * (K2 - 1.0f) / D;
            h.a2 = (1.0f - sqrt2 * K + K2) / D;
            break;
        }
        default: // OFF: blocks nothing, passes nothing through the band
            break;
    }
    return h;
}

void ResponseStore::computePeqBand(int channel, int band, int type, float frequency, float gain,
                                   float quality)
{
    if (channel < 0 || channel > 1 || band < 0 || band > 7)
        return;
    const auto c = static_cast<std::size_t>(channel);
    const auto b = static_cast<std::size_t>(band);
    peqCoefficients[c][b] = designPeqBand(type, frequency, gain, quality);
    peqFrequency[c][b] = frequency;
    if (peqGraph != nullptr)
        peqGraph->handleFrequency[b] = frequency;
    selectedHandle = band;
}

void ResponseStore::computeDeqBand(int channel, int band, int type, float frequency, float quality,
                                   float gain, float threshold, float ratio)
{
    if (channel < 0 || channel > 1 || band < 0 || band > 1)
        return;
    deqDisplayChannel = channel;
    const auto c = static_cast<std::size_t>(channel);
    const auto b = static_cast<std::size_t>(band);
    deqCoefficients[c][b] = designDeqBand(type, frequency, quality, gain);

    // The level model: a linear piece, a quadratic joint of +-5 dB around the
    // knee k, and no effect at all on the other side.
    const float s = 1.0f - 1.0f / ratio;
    const float k = threshold - gain / s;
    DeqCurve d;
    if (gain > 0.0f)
    {
        d.V = -s - 0.5f;
        d.S = (k - 5.0f) / -6.0f;
        d.U = (k + 5.0f) / -6.0f;
        d.W = d.V / (2.0f * (d.U - d.S));
        d.X = -2.0f * d.W * d.S;
        d.Y = -d.S * (d.W * d.S + d.X);
        d.Z = d.Y + (d.U * d.W + d.X - d.V) * d.U;
    }
    else
    {
        d.V = 0.5f - 0.5f / ratio;
        d.S = (k + 5.0f) / 6.0f;
        d.U = (k - 5.0f) / 6.0f;
        d.W = d.V / (2.0f * (d.S - d.U));
        d.X = 2.0f * d.S * d.W;
        d.Y = (d.X - d.W * d.S) * d.S;
        d.Z = d.Y - (d.X - d.U * d.W - d.V) * d.U;
    }
    deqCurve[c][b] = d;

    const float x[7] = {8.333333f, 6.666667f, 5.0f, 3.333333f, 1.666667f, 0.0f, -1.666667f};
    float r[7] = {};
    int i = 0;
    auto quadratic = [&](float v) { return 3.0f * (d.W * v * v + d.X * v + d.Y); };
    auto linear = [&](float v) { return 3.0f * (d.V * v + d.Z); };
    if (gain > 0.0f)
    {
        for (; i < 6 && x[i] >= d.S; ++i)
            r[i] = 0.0f;
        for (; i < 6 && x[i] >= d.U; ++i)
            r[i] = quadratic(x[i]);
        for (; i <= 6; ++i)
            r[i] = linear(x[i]);
    }
    else
    {
        for (; i <= 6 && x[i] >= -d.U; ++i)
            r[i] = linear(x[i]);
        for (; i <= 6 && x[i] >= -d.S; ++i)
            r[i] = quadratic(x[i]);
    }
    const float m = linearGain(gain);
    for (std::size_t j = 0; j < 6; ++j)
        deqLevelFactor[c][b][j] =
            1.0f - f32(std::exp(-static_cast<double>(r[j]) * dbToLn)) * (1.0f - m);

    deqFrequency[c][b] = frequency;
    if (deqGraphs[b] != nullptr)
        deqGraphs[b]->handleFrequency[0] = frequency;
}

float ResponseStore::peqResponse(int, float frequency) const
{
    const auto c = static_cast<std::size_t>(peqDisplayChannel & 1);
    const Point point = pointAt(frequency);
    float product = 1.0f;
    for (const auto& band : peqCoefficients[c])
        product *= magnitudeSquaredAt(band, point);
    // A band not computed yet (all-zero coefficients) makes the product 0, or
    // 0/0: the point is then held far below the graph instead of -infinity.
    if (! (product >= std::numeric_limits<float>::min()))
        product = std::numeric_limits<float>::min();
    return f32(20.0 * std::log(static_cast<double>(product)) / ln10);
}

namespace
{
constexpr float inputLevels[6] = {0.00316228f, 0.01f, 0.0316228f, 0.1f, 0.316228f, 1.0f};

float deqLevel(const ResponseStore& store, std::size_t band, int curve, float frequency)
{
    const auto c = static_cast<std::size_t>(store.deqDisplayChannel & 1);
    const auto level = static_cast<std::size_t>(curve < 0 ? 0 : (curve > 5 ? 5 : curve));
    const float h2 = magnitudeSquared(store.deqCoefficients[c][band], frequency);
    const float factor = store.deqLevelFactor[c][band][level];
    const float out = (1.0f - (1.0f - factor) * h2) * inputLevels[level];
    return f32(20.0 * std::log(static_cast<double>(out)) / ln10);
}
} // namespace

float ResponseStore::deqResponse(int band, int curve, float frequency) const
{
    return deqLevel(*this, static_cast<std::size_t>(band & 1), curve, frequency);
}

} // namespace velmora

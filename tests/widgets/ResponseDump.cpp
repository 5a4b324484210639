// Prints the coefficients of every design for a spread of settings, with our
// |H|^2 at a few frequencies, for tests/widgets/crosscheck.py to compare with
// scipy's evaluation of the same biquads.
#include <cstdio>

#include "ResponseMaths.h"

int main()
{
    using namespace velmora;
    const float frequencies[] = {20.0f, 63.0f, 250.0f, 1000.0f, 4000.0f, 12000.0f, 19000.0f};
    auto print = [&](const char* family, int type, float f, float gain, float q, const Biquad& h)
    {
        std::printf("%s %d %g %g %g %.9g %.9g %.9g %.9g %.9g", family, type, f, gain, q, h.b0, h.b1,
                    h.b2, h.a1, h.a2);
        for (float at : frequencies)
            std::printf(" %.9g", magnitudeSquared(h, at));
        std::printf("\n");
    };
    for (int type = 1; type <= 5; ++type)
        for (float f : {30.0f, 200.0f, 1000.0f, 5000.0f, 15000.0f})
            for (float gain : {-15.0f, -4.5f, 3.0f, 12.0f})
                for (float q : {0.4f, 1.0f, 4.0f})
                {
                    print("peq", type, f, gain, q, designPeqBand(type, f, gain, q));
                    print("deq", type, f, gain, q, designDeqBand(type, f, q, gain));
                }
    return 0;
}

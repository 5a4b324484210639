// Prints, for every crossover choice and a sweep of corner frequencies, the
// four stages designed for the high-pass and for the low-pass and what the
// crossover graph draws for that filter alone, for xover_crosscheck.py to
// compare with scipy's designs.
#include <cmath>
#include <cstdio>

#include "CrossoverMaths.h"

int main()
{
    using namespace velmora;
    const float corners[] = {20.0f,   50.0f,    200.0f,   632.46f, 1000.0f,
                             3000.0f, 10000.0f, 17825.0f, 20000.0f};
    // 31 points, three decades from 20 Hz.
    float at[31];
    for (int i = 0; i < 31; ++i)
        at[i] = 20.0f * static_cast<float>(std::pow(10.0, i / 10.0));
    for (int type = 0; type <= 10; ++type)
        for (int highPass = 1; highPass >= 0; --highPass)
            for (float f : corners)
            {
                CrossoverResponse curves;
                const int k = highPass ? 0 : 1; // channel A's high-pass or low-pass
                curves.designSection(k, type, f);
                std::printf("%d %d %.9g", type, highPass, f);
                for (std::size_t s = 0; s < 4; ++s)
                {
                    const XoverStage& st = curves.xoverStages[0][highPass ? s : 4 + s];
                    std::printf(" %.9g %.9g %.9g %.9g %.9g", st.b0, st.b1, st.b2, st.a1, st.a2);
                }
                for (float x : at)
                    std::printf(" %.9g %.9g", x, curves.xoverResponse(0, x));
                std::printf("\n");
            }
    return 0;
}

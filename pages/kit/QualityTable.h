#pragma once

#include <array>

namespace velmora::kit
{

// The qualities a quality knob can choose (its positions 0 ... 18), shared by
// the Parametric and Dynamic EQ pages.
inline constexpr std::array<float, 19> qualityTable {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f,
                                                     0.8f, 0.9f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f,
                                                     6.0f, 7.0f, 8.0f, 9.0f, 10.0f};

// The first position whose quality is at least `q`, compared in single
// precision (the parameter's 0.1 is the float 0.1f, which exceeds the double
// 0.1); 19 when `q` lies above the table.
inline int qualityPosition(float q)
{
    for (int i = 0; i < static_cast<int>(qualityTable.size()); ++i)
        if (q <= qualityTable[static_cast<std::size_t>(i)])
            return i;
    return static_cast<int>(qualityTable.size());
}

} // namespace velmora::kit

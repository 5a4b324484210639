#pragma once

#include <array>
#include <vector>

// How the crossover page's two lists, family and slope, map onto the eleven
// "type" choices of a crossover filter (0 "OFF", 1 "BUT6", 2 "BUT12",
// 3 "BES12", 4 "LR12", 5 "BUT18", 6 "BUT24", 7 "BES24", 8 "LR24", 9 "BUT48",
// 10 "LR48").
namespace velmora::xover
{

// Item ids of the family list.
enum Family
{
    off = 1,
    butterworth = 2,
    bessel = 3,
    linkwitzRiley = 4
};

// Slope indices 1..5 and their texts; the family list's items by id - 1.
constexpr std::array<const char*, 5> slopeTexts {"6 dB", "12 dB", "18 dB", "24 dB", "48 dB"};
constexpr std::array<const char*, 4> familyTexts {"OFF", "Butterworth", "Bessel", "Linkwitz-Riley"};

// The choice of each family (rows 1..4) and slope (columns 1..5); 0 where the
// family offers no such slope.
constexpr std::array<std::array<int, 6>, 5> choiceTable {{
    {0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0},  // OFF
    {0, 1, 2, 5, 6, 9},  // Butterworth
    {0, 0, 3, 0, 7, 0},  // Bessel
    {0, 0, 4, 0, 8, 10}, // Linkwitz-Riley
}};

inline bool validFamily(int family)
{
    return family >= off && family <= linkwitzRiley;
}

// The slopes a family offers, in list order (empty for "OFF").
inline std::vector<int> slopesOf(int family)
{
    std::vector<int> slopes;
    if (! validFamily(family))
        return slopes;
    for (int slope = 1; slope <= 5; ++slope)
        if (choiceTable[static_cast<std::size_t>(family)][static_cast<std::size_t>(slope)] != 0)
            slopes.push_back(slope);
    return slopes;
}

// The slope at list position `itemId` (1..) of the family's list, 0 where
// the family has none there.
inline int slopeAt(int family, int itemId)
{
    const auto slopes = slopesOf(family);
    return itemId >= 1 && itemId <= static_cast<int>(slopes.size())
               ? slopes[static_cast<std::size_t>(itemId - 1)]
               : 0;
}

// The choice of a family and slope: "OFF" (or no family) gives 0, and a slope
// the family does not offer its 12 dB choice.
inline int choiceOf(int family, int slope)
{
    if (! validFamily(family) || family == off)
        return 0;
    const auto& row = choiceTable[static_cast<std::size_t>(family)];
    if (slope >= 1 && slope <= 5 && row[static_cast<std::size_t>(slope)] != 0)
        return row[static_cast<std::size_t>(slope)];
    return row[2];
}

// The family (list id) and slope index (0 for "OFF") of a choice.
inline int familyOf(int choice)
{
    if (choice < 1)
        return off;
    for (int family = butterworth; family <= linkwitzRiley; ++family)
        for (int slope = 1; slope <= 5; ++slope)
            if (choiceTable[static_cast<std::size_t>(family)][static_cast<std::size_t>(slope)] ==
                choice)
                return family;
    return off;
}

inline int slopeOf(int choice)
{
    if (choice < 1)
        return 0;
    for (int family = butterworth; family <= linkwitzRiley; ++family)
        for (int slope = 1; slope <= 5; ++slope)
            if (choiceTable[static_cast<std::size_t>(family)][static_cast<std::size_t>(slope)] ==
                choice)
                return slope;
    return 0;
}

// The item id of a slope in its family's list (0 when it is not there).
inline int slopeItemOf(int family, int slope)
{
    const auto slopes = slopesOf(family);
    for (std::size_t i = 0; i < slopes.size(); ++i)
        if (slopes[i] == slope)
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace velmora::xover

#include <gtest/gtest.h>

#include "Blocks.h"
#include "QualityTable.h"

using namespace velmora;

namespace
{

// Every quality the band parameter can hold lands on the position the knob
// shows: the first table entry at least as large. The parameter's 0.1 is the
// float 0.1f, which a double comparison would put past 0.1.
TEST(QualityTable, EveryStoredQualityFindsItsPosition)
{
    Cpeq band(1, 1);
    auto& qual = band.qual();
    const struct
    {
        float q;
        int position;
    } cases[] = {{0.1f, 0},  {0.2f, 1},  {0.3f, 2},  {0.7f, 6},  {0.9f, 8},  {1.0f, 9},
                 {1.1f, 10}, {2.0f, 10}, {2.1f, 11}, {9.9f, 18}, {10.0f, 18}};
    for (const auto& c : cases)
    {
        qual.setValue(c.q);
        EXPECT_EQ(kit::qualityPosition(qual.getValue()), c.position) << c.q;
    }
    // Each table entry set into the parameter reads back at its own position.
    for (int i = 0; i < 19; ++i)
    {
        qual.setValue(kit::qualityTable[static_cast<std::size_t>(i)]);
        EXPECT_EQ(kit::qualityPosition(qual.getValue()), i) << i;
    }
    EXPECT_EQ(kit::qualityPosition(10.5f), 19);
}

} // namespace

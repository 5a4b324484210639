#pragma once

#include "Blocks.h"
#include "Pages.h"

namespace velmora
{

// The Dynamic EQ tab (still to come).
class CDeqPage : public Page
{
public:
    explicit CDeqPage(AppContext& context) : Page("Dynamic EQ", context) {}
};

} // namespace velmora

#pragma once

#include "Blocks.h"
#include "Pages.h"

namespace velmora
{

// The Parametric EQ tab (still to come).
class CPeqPage : public Page
{
public:
    explicit CPeqPage(AppContext& context) : Page("Parametric EQ", context) {}
};

} // namespace velmora

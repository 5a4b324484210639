#pragma once

#include "Blocks.h"
#include "Pages.h"

namespace velmora
{

// The Filter/Crossover tab (still to come).
class CXoverPage : public Page
{
public:
    explicit CXoverPage(AppContext& context) : Page("Filter/Crossover", context) {}
};

} // namespace velmora

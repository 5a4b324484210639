#pragma once

#include "Blocks.h"
#include "Pages.h"

namespace velmora
{

// The signal generator of the Vorn series (still to come). Owns the
// signal-generator block ("/siggen").
class CUtilityPage : public Page
{
public:
    explicit CUtilityPage(AppContext& context) : Page("Utility", context) {}
    Ciosiggen siggen;
};

} // namespace velmora

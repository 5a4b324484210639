#pragma once

#include <memory>

#include "Blocks.h"

namespace velmora
{

// The long-lived objects of one running editor, in the order they are made.
// The application owns one; tests build their own.
struct AppContext
{
    // The settings tree. Built, with its paths, before anything looks at it.
    std::unique_ptr<Croot> root;
};

} // namespace velmora

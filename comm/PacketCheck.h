#pragma once

#include <cstddef>

namespace velmora
{

// Checks that `data` holds one OSC message that the OSC library can decode
// without reading past `size`: a NUL-terminated address starting with "/", a
// type-tag string of only 'i', 'f' and 's', and every argument inside the
// data. Bundles are not understood and fail the check. Bytes after the last
// argument are allowed (a USB report carries whatever earlier reports left).
bool isSafeOscMessage(const char* data, std::size_t size);

} // namespace velmora

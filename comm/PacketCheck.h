#pragma once

#include <cstddef>

namespace velmora
{

// Checks that `data` holds one OSC message that the OSC library can decode
// without reading past `size`, and that the check and the library see the same
// fields: a NUL-terminated address starting with "/", a type-tag string of
// only 'i', 'f' and 's', and every argument inside the data. Every string must
// be padded with NULs to its 4-byte boundary, as OSC 1.0 writes them: the
// library finds a string's end by looking at the last byte of each 4-byte
// word, so padding with other bytes would make it read the fields elsewhere.
// Bundles are not understood and fail the check. Bytes after the last
// argument are allowed (a USB report carries whatever earlier reports left).
bool isSafeOscMessage(const char* data, std::size_t size);

} // namespace velmora

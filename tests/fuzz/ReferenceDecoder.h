#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velmora::fuzz
{

// A small OSC 1.0 message decoder written from the format alone, as a second
// opinion on what the OSC library reads: strings end at a NUL and are padded
// with NULs to a 4-byte boundary, int32 and float32 arguments are 4 bytes
// big-endian. Only the argument types the amplifiers use ('i', 'f', 's')
// are known. Bytes after the last argument are ignored. Every read is
// bounds-checked.
struct DecodedMessage
{
    // An int32, the bit pattern of a float32, or a string.
    using Argument = std::variant<std::int32_t, std::uint32_t, std::string>;

    std::string address;
    std::string typeTags; // without the leading ','
    std::vector<Argument> arguments;
};

std::optional<DecodedMessage> referenceDecode(const unsigned char* data, std::size_t size);

// For a message the editor's packet check accepts, whether the OSC library and
// the reference decoder read the same address, type tags and arguments.
// Returns a description of the first disagreement, or nothing. The data must be
// a buffer of exactly `size` bytes, so that a sanitizer sees any read beyond.
std::optional<std::string> disagreementWithLibrary(const char* data, std::size_t size);

} // namespace velmora::fuzz

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::fuzz
{

// The text inputs of the editor, each with the properties a reader must keep
// whatever the bytes. Each returns the first property broken, if any.

// A whole preset file read into a fresh tree: afterwards every parameter is
// inside its range, and the text the writer makes of the tree reads back into
// the same settings (a preset saved after loading any file loads unchanged).
std::optional<std::string> feedPresetText(const std::uint8_t* data, std::size_t size);

// The value parsers: they read no further than the text, and reading only the
// characters they took gives the same count and the same value. The integer
// reader also agrees with a plain 64-bit reference wrapped to 32 bits.
std::optional<std::string> feedNumberText(const std::uint8_t* data, std::size_t size);

// One parameter's readText, for every parameter of the tree and of the two
// blocks outside it (all four kinds): the first byte picks the parameter, the
// rest is the typed text. It reads no further than the text and leaves the
// parameter inside its range; its texts can still be written.
std::optional<std::string> feedParameterText(const std::uint8_t* data, std::size_t size);

// The preset text the writer makes of the default tree (a seed input).
std::string defaultPresetText();

} // namespace velmora::fuzz

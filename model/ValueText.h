#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace velmora
{

// One argument of formatText: a 32-bit integer for "d", "x" and "c", a double
// for "f", a text for "s".
using FormatArg = std::variant<std::int32_t, double, std::string_view>;

// printf-like formatter of the parameter texts. Unlike the C library it keeps a
// field at its width by dropping decimals, truncates digits instead of
// rounding, and knows the "k" thousands notation ("%k1f" of 1000 is "1k00").
// Appends to `out` and returns the number of characters written.
int formatText(std::string& out, std::string_view format, std::initializer_list<FormatArg> args);

inline std::string formatText(std::string_view format, std::initializer_list<FormatArg> args)
{
    std::string out;
    formatText(out, format, args);
    return out;
}

// Reads an optionally signed decimal integer from the start of `text`, wrapping
// at 32 bits. Returns the number of characters read (0: no number).
int parseInteger(std::string_view text, std::int32_t& result);

// Reads a decimal number from the start of `text`; accepts "1.5", ".5" and the
// "k" notation ("2k5" is 2500). Returns the number of characters read.
int parseFloat(std::string_view text, float& result);

} // namespace velmora

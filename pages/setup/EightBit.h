#pragma once

#include <cstdint>
#include <string>

#include <juce_core/juce_core.h>

namespace velmora
{

// Amplifier and preset names travel as 8-bit characters (code points below
// 256); one without an 8-bit form goes out as "?".
inline std::string eightBit(const juce::String& text)
{
    std::string out;
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = static_cast<std::uint32_t>(*p);
        out += c < 256 ? static_cast<char>(c) : '?';
    }
    return out;
}

// A name as the amplifier sends it back: the same 8-bit characters, so a
// name sent as "B\xFChne" reads "Bühne" again, not as broken UTF-8.
inline juce::String fromEightBit(const std::string& bytes)
{
    juce::String out;
    out.preallocateBytes(bytes.size() * 2);
    for (const char c : bytes)
        out += juce::String::charToString(
            static_cast<juce::juce_wchar>(static_cast<unsigned char>(c)));
    return out;
}

} // namespace velmora

#pragma once

// Small helpers on OSC addresses shared by the communicator's two halves.
#include <cstring>
#include <string_view>

namespace osc
{

inline std::string_view withoutSlash(std::string_view address)
{
    if (! address.empty() && address.front() == '/')
        address.remove_prefix(1);
    return address;
}

inline bool startsWith(const char* address, std::string_view prefix)
{
    return std::strncmp(address, prefix.data(), prefix.size()) == 0;
}

} // namespace osc

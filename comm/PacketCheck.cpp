#include "PacketCheck.h"

#include <cstring>

namespace velmora
{
namespace
{

// Returns the offset just past the string at `offset` (a multiple of 4) and
// its padding, or 0 when the string does not end inside the data or its
// padding holds anything but NULs.
std::size_t skipString(const char* data, std::size_t size, std::size_t offset)
{
    if (offset >= size)
        return 0;
    const void* found = std::memchr(data + offset, '\0', size - offset);
    if (found == nullptr)
        return 0;
    const auto nul = static_cast<std::size_t>(static_cast<const char*>(found) - data);
    const std::size_t padded = (nul + 4) & ~std::size_t {3};
    if (padded > size)
        return 0;
    for (std::size_t i = nul + 1; i < padded; ++i)
        if (data[i] != '\0')
            return 0;
    return padded;
}

} // namespace

bool isSafeOscMessage(const char* data, std::size_t size)
{
    if (data == nullptr || size < 8 || size % 4 != 0 || data[0] != '/')
        return false;

    const std::size_t tagsStart = skipString(data, size, 0);
    if (tagsStart == 0 || tagsStart >= size || data[tagsStart] != ',')
        return false;
    std::size_t argument = skipString(data, size, tagsStart);
    if (argument == 0)
        return false;

    for (const char* tag = data + tagsStart + 1; *tag != '\0'; ++tag)
    {
        switch (*tag)
        {
            case 'i':
            case 'f':
                if (size - argument < 4)
                    return false;
                argument += 4;
                break;
            case 's':
                argument = skipString(data, size, argument);
                if (argument == 0)
                    return false;
                break;
            default:
                return false;
        }
    }
    return true;
}

} // namespace velmora

#include "PacketCheck.h"

#include <cstring>

namespace velmora
{
namespace
{

// Returns the offset just past the padded NUL-terminated string at `offset`,
// or 0 when the string does not end inside the data.
std::size_t skipString(const char* data, std::size_t size, std::size_t offset)
{
    if (offset >= size)
        return 0;
    const void* end = std::memchr(data + offset, '\0', size - offset);
    if (end == nullptr)
        return 0;
    const auto length = static_cast<std::size_t>(static_cast<const char*>(end) - (data + offset));
    const std::size_t padded = offset + ((length + 4) & ~std::size_t {3});
    return padded <= size ? padded : 0;
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

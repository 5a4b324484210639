#include "ReferenceDecoder.h"

#include <cstring>

#include <osc/OscReceivedElements.h>

#include "PacketCheck.h"

namespace velmora::fuzz
{
namespace
{

struct Reader
{
    const unsigned char* data;
    std::size_t size;
    std::size_t at = 0;

    std::optional<std::string> string()
    {
        std::size_t end = at;
        while (end < size && data[end] != 0)
            ++end;
        if (end == size)
            return std::nullopt;
        std::string text(reinterpret_cast<const char*>(data + at), end - at);
        const std::size_t next = (end + 4) / 4 * 4;
        if (next > size)
            return std::nullopt;
        for (std::size_t i = end; i < next; ++i)
            if (data[i] != 0)
                return std::nullopt;
        at = next;
        return text;
    }

    std::optional<std::uint32_t> word()
    {
        if (size - at < 4)
            return std::nullopt;
        const std::uint32_t w = (std::uint32_t {data[at]} << 24) |
                                (std::uint32_t {data[at + 1]} << 16) |
                                (std::uint32_t {data[at + 2]} << 8) | std::uint32_t {data[at + 3]};
        at += 4;
        return w;
    }
};

} // namespace

std::optional<DecodedMessage> referenceDecode(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size % 4 != 0)
        return std::nullopt;
    Reader in {data, size};
    DecodedMessage m;
    auto address = in.string();
    if (! address || address->empty() || address->front() != '/')
        return std::nullopt;
    m.address = *address;
    auto tags = in.string();
    if (! tags || tags->empty() || tags->front() != ',')
        return std::nullopt;
    m.typeTags = tags->substr(1);
    for (const char tag : m.typeTags)
    {
        if (tag == 'i' || tag == 'f')
        {
            const auto w = in.word();
            if (! w)
                return std::nullopt;
            if (tag == 'i')
                m.arguments.emplace_back(static_cast<std::int32_t>(*w));
            else
                m.arguments.emplace_back(*w);
        }
        else if (tag == 's')
        {
            auto text = in.string();
            if (! text)
                return std::nullopt;
            m.arguments.emplace_back(std::move(*text));
        }
        else
            return std::nullopt;
    }
    return m;
}

std::optional<std::string> disagreementWithLibrary(const char* data, std::size_t size)
{
    if (! isSafeOscMessage(data, size))
        return std::nullopt;
    const auto reference = referenceDecode(reinterpret_cast<const unsigned char*>(data), size);
    if (! reference)
        return "the check accepts what the reference decoder rejects";
    try
    {
        const osc::ReceivedMessage m(
            osc::ReceivedPacket(data, static_cast<osc::osc_bundle_element_size_t>(size)));
        if (reference->address != m.AddressPattern())
            return "address: library '" + std::string(m.AddressPattern()) + "', reference '" +
                   reference->address + "'";
        const std::string libraryTags =
            m.ArgumentCount() > 0 ? std::string(m.TypeTags(), m.ArgumentCount()) : std::string();
        if (libraryTags != reference->typeTags)
            return "type tags: library '" + libraryTags + "', reference '" + reference->typeTags +
                   "'";
        std::size_t i = 0;
        for (auto a = m.ArgumentsBegin(); a != m.ArgumentsEnd(); ++a, ++i)
        {
            const auto& expected = reference->arguments.at(i);
            const char tag = a->TypeTag();
            bool same = false;
            if (tag == 'i')
                same = std::get<std::int32_t>(expected) == a->AsInt32();
            else if (tag == 'f')
            {
                const float f = a->AsFloat();
                std::uint32_t bits = 0;
                std::memcpy(&bits, &f, 4);
                same = std::get<std::uint32_t>(expected) == bits;
            }
            else if (tag == 's')
                same = std::get<std::string>(expected) == a->AsString();
            if (! same)
                return "argument " + std::to_string(i) + " of type '" + std::string(1, tag) +
                       "' differs";
        }
        if (i != reference->arguments.size())
            return "argument count differs";
    }
    catch (const osc::Exception& e)
    {
        return std::string("the library rejects what the check accepts: ") + e.what();
    }
    catch (const std::exception& e)
    {
        return std::string("decoding failed: ") + e.what();
    }
    return std::nullopt;
}

} // namespace velmora::fuzz

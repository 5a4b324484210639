#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::fuzz
{

// Feeds one received datagram through the whole path an amplifier's packet
// takes: the posted packet block, the check, the decoder and the dispatch to
// the tree, the pages' stand-ins and the page-owned blocks. The first byte of
// `data` chooses the transport (even: network, odd: USB) and whether the
// editor is online; the rest is the datagram. Before that, the bytes the
// packet check sees are decoded by the OSC library and by an independent
// decoder: if the check accepts them, both must read the same fields. Returns
// the first disagreement, if any.
std::optional<std::string> feedPacket(const std::uint8_t* data, std::size_t size);

} // namespace velmora::fuzz

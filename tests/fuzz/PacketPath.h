#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::fuzz
{

// Feeds one received datagram through the whole path an amplifier's packet
// takes: the posted packet block, the check, the decoder and the dispatch to
// the tree, the pages' stand-ins and the page-owned blocks. The first byte of
// `data` chooses the transport (even: network, odd: USB) and whether the
// editor is online; the rest is the datagram.
void feedPacket(const std::uint8_t* data, std::size_t size);

} // namespace velmora::fuzz

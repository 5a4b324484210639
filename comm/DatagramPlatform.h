#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora
{

// The few datagram socket operations the UDP transport uses, so that tests can
// replace them. Addresses are IPv4 in network byte order.
class DatagramPlatform
{
public:
    virtual ~DatagramPlatform() = default;

    // An IPv4 UDP socket. -1 on failure.
    virtual int createSocket() = 0;
    virtual bool bind(int fd, std::uint32_t address, std::uint16_t port) = 0;
    // Receive and send buffers of 65536 bytes, broadcast permitted.
    virtual bool setOptions(int fd, bool allowBroadcast) = 0;
    // Host name or dotted address to its first IPv4 address.
    virtual std::optional<std::uint32_t> resolve(const std::string& host) = 0;
    virtual bool sendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
                        std::uint16_t port) = 0;

    enum class Wait
    {
        readable,
        woken,
        error
    };
    // Blocks until `fd` is readable, `wakeFd` is signalled or an error shows.
    virtual Wait waitReadable(int fd, int wakeFd) = 0;
    // Receives one datagram of at most `capacity` bytes; returns its full
    // length (which may exceed `capacity`) or -1.
    virtual long receive(int fd, void* buffer, std::size_t capacity, std::uint32_t& from) = 0;
    virtual void close(int fd) = 0;

    // The directed broadcast address of every IPv4 interface that is up and
    // can broadcast, loopback left out, in the order the system lists them
    // and each once. A datagram to 255.255.255.255 leaves through one
    // interface only; these reach amplifiers behind the others.
    virtual std::vector<std::uint32_t> interfaceBroadcasts() = 0;
};

// The BSD sockets of the machine. The editor's socket does not allow address
// reuse: while it runs, no other process can bind port 3456 beside it and take
// the amplifier's answers (a second editor is kept away by the single-instance
// lock anyway).
DatagramPlatform& systemDatagramPlatform();

// The same, with address reuse: for a test or a demonstration that puts
// virtual amplifiers on loopback addresses of the editor's own host, each
// bound to port 3456.
DatagramPlatform& sharedPortDatagramPlatform();

// Dotted text of an address in network byte order ("192.168.1.20").
std::string dottedAddress(std::uint32_t address);

} // namespace velmora

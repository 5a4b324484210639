#include "DatagramPlatform.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace velmora
{
namespace
{

sockaddr_in endpoint(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = address;
    a.sin_port = htons(port);
    return a;
}

class BsdPlatform : public DatagramPlatform
{
public:
    explicit BsdPlatform(bool reuse) : shareAddress(reuse) {}

    int createSocket() override
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return -1;
        if (shareAddress)
        {
            const int yes = 1;
            ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        }
        return fd;
    }

    bool bind(int fd, std::uint32_t address, std::uint16_t port) override
    {
        const sockaddr_in a = endpoint(address, port);
        return ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    }

    bool setOptions(int fd, bool allowBroadcast) override
    {
        const int size = 65536;
        const int yes = 1;
        return ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size) == 0 &&
               ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size) == 0 &&
               (! allowBroadcast ||
                ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes) == 0);
    }

    std::optional<std::uint32_t> resolve(const std::string& host) override
    {
        in_addr dotted {};
        if (::inet_aton(host.c_str(), &dotted) != 0)
            return dotted.s_addr;

        addrinfo hints {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* result = nullptr;
        if (::getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
            return std::nullopt;
        const auto address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
        ::freeaddrinfo(result);
        return address;
    }

    bool sendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
                std::uint16_t port) override
    {
        const sockaddr_in a = endpoint(address, port);
        const auto sent =
            ::sendto(fd, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        return sent == static_cast<ssize_t>(size);
    }

    Wait waitReadable(int fd, int wakeFd) override
    {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        for (;;)
        {
            const int n = ::poll(fds, 2, -1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return Wait::error;
            if (fds[1].revents != 0)
                return Wait::woken;
            if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0)
            {
                int error = 0;
                socklen_t length = sizeof error;
                // A pending error (an ICMP answer to an earlier send) is
                // cleared by reading it; only a broken socket ends the thread.
                if ((fds[0].revents & POLLNVAL) != 0 ||
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    return Wait::error;
                if ((fds[0].revents & POLLIN) == 0)
                    continue;
            }
            if ((fds[0].revents & POLLIN) != 0)
                return Wait::readable;
        }
    }

    long receive(int fd, void* buffer, std::size_t capacity, std::uint32_t& from) override
    {
        sockaddr_in sender {};
        socklen_t length = sizeof sender;
        // MSG_TRUNC reports a datagram's whole length, so an oversized one can
        // be told apart from one that fits.
        const auto n = ::recvfrom(fd, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT,
                                  reinterpret_cast<sockaddr*>(&sender), &length);
        from = sender.sin_addr.s_addr;
        return static_cast<long>(n);
    }

    void close(int fd) override { ::close(fd); }

    std::vector<std::uint32_t> interfaceBroadcasts() override
    {
        std::vector<std::uint32_t> addresses;
        ifaddrs* list = nullptr;
        if (::getifaddrs(&list) != 0)
            return addresses;
        for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next)
        {
            const unsigned flags = i->ifa_flags;
            if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET ||
                (flags & IFF_UP) == 0 || (flags & IFF_BROADCAST) == 0 ||
                (flags & IFF_LOOPBACK) != 0 || i->ifa_broadaddr == nullptr ||
                i->ifa_broadaddr->sa_family != AF_INET)
                continue;
            const auto address =
                reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr;
            // Two addresses of one subnet share their broadcast address.
            if (address != 0 &&
                std::find(addresses.begin(), addresses.end(), address) == addresses.end())
                addresses.push_back(address);
        }
        ::freeifaddrs(list);
        return addresses;
    }

private:
    const bool shareAddress;
};

} // namespace

DatagramPlatform& systemDatagramPlatform()
{
    static BsdPlatform platform(false);
    return platform;
}

DatagramPlatform& sharedPortDatagramPlatform()
{
    static BsdPlatform platform(true);
    return platform;
}

std::string dottedAddress(std::uint32_t address)
{
    in_addr a {};
    a.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

} // namespace velmora

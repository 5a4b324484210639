#pragma once

// A UDP peer on port 3456 of a loopback address, standing in for an
// amplifier in the communicator's tests. Records what it receives and answers
// through a replaceable responder. Only for use inside a private network
// namespace (tests/support/in-netns.sh).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <osc/OscOutboundPacketStream.h>
#include <osc/OscReceivedElements.h>

namespace velmora::test
{

using Bytes = std::vector<char>;

struct PeerPacket
{
    std::chrono::steady_clock::time_point time;
    std::uint32_t from = 0;
    Bytes bytes;

    std::string address() const
    {
        return bytes.empty() ? std::string() : std::string(bytes.data());
    }
};

template <typename Fill> Bytes oscBytes(const char* address, Fill fill)
{
    char buffer[256];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage(address);
    fill(p);
    p << osc::EndMessage;
    return Bytes(p.Data(), p.Data() + p.Size());
}

inline Bytes oscBytes(const char* address)
{
    return oscBytes(address, [](osc::OutboundPacketStream&) {});
}

inline std::uint32_t ipv4(const char* dotted)
{
    in_addr a {};
    inet_aton(dotted, &a);
    return a.s_addr;
}

class FakePeer
{
public:
    // Called on the peer's thread for every packet; returns the answers to
    // send back to the packet's sender.
    using Responder = std::function<std::vector<Bytes>(const PeerPacket&)>;

    explicit FakePeer(const std::string& address, int port = 3456)
    {
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        // The kernel's arrival time, so a test's timing checks do not
        // depend on how soon this thread gets the processor.
        ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &yes, sizeof yes);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = ipv4(address.c_str());
        bound = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        thread = std::thread([this] { loop(); });
    }

    ~FakePeer()
    {
        stop = true;
        thread.join();
        ::close(fd);
    }

    bool isBound() const { return bound; }

    void setResponder(Responder r)
    {
        std::lock_guard<std::mutex> lock(mutex);
        responder = std::move(r);
    }

    void send(std::uint32_t to, const Bytes& bytes, int port = 3456)
    {
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = to;
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }

    // The editor's socket is bound to every address; from a loopback peer it
    // is reached on 127.0.0.1.
    void sendToEditor(const Bytes& bytes) { send(ipv4("127.0.0.1"), bytes); }

    std::vector<PeerPacket> received() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return packets;
    }

    std::vector<PeerPacket> received(const std::string& address) const
    {
        std::vector<PeerPacket> out;
        for (auto& p : received())
            if (p.address() == address)
                out.push_back(p);
        return out;
    }

    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        packets.clear();
    }

    // Waits (without the message loop) until `done` holds for what was received.
    bool waitFor(const std::function<bool(const std::vector<PeerPacket>&)>& done,
                 int timeoutMs) const
    {
        std::unique_lock<std::mutex> lock(mutex);
        return arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return done(packets); });
    }

private:
    void loop()
    {
        while (! stop)
        {
            pollfd p {fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buffer[2048];
            sockaddr_in from {};
            iovec data {buffer, sizeof buffer};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
            msghdr message {};
            message.msg_name = &from;
            message.msg_namelen = sizeof from;
            message.msg_iov = &data;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            const auto n = ::recvmsg(fd, &message, 0);
            if (n < 0)
                continue;
            PeerPacket packet {arrivalTime(message), from.sin_addr.s_addr,
                               Bytes(buffer, buffer + n)};
            Responder r;
            {
                std::lock_guard<std::mutex> lock(mutex);
                packets.push_back(packet);
                r = responder;
            }
            arrived.notify_all();
            if (r)
                for (const auto& answer : r(packet))
                {
                    sockaddr_in to = from;
                    ::sendto(fd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&to),
                             sizeof to);
                }
        }
    }

    // The kernel's stamp moved onto the steady clock; now, if there is none.
    static std::chrono::steady_clock::time_point arrivalTime(msghdr& message)
    {
        const auto now = std::chrono::steady_clock::now();
        for (auto* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c))
        {
            if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS)
                continue;
            timespec stamp {};
            std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
            timespec wall {};
            ::clock_gettime(CLOCK_REALTIME, &wall);
            const auto age = std::chrono::seconds(wall.tv_sec - stamp.tv_sec) +
                             std::chrono::nanoseconds(wall.tv_nsec - stamp.tv_nsec);
            if (age.count() >= 0)
                return now - std::chrono::duration_cast<std::chrono::steady_clock::duration>(age);
        }
        return now;
    }

    int fd = -1;
    bool bound = false;
    std::atomic<bool> stop {false};
    mutable std::mutex mutex;
    mutable std::condition_variable arrived;
    std::vector<PeerPacket> packets;
    Responder responder;
    std::thread thread;
};

} // namespace velmora::test

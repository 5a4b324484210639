#pragma once

// A UDP peer on port 3456 of a loopback address, standing in for an
// amplifier in the communicator's tests. Records what it receives and answers
// through a replaceable responder. Only for use inside a private network
// namespace (tests/support/in-netns.sh).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
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
            socklen_t length = sizeof from;
            const auto n = ::recvfrom(fd, buffer, sizeof buffer, 0,
                                      reinterpret_cast<sockaddr*>(&from), &length);
            if (n < 0)
                continue;
            PeerPacket packet {std::chrono::steady_clock::now(), from.sin_addr.s_addr,
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

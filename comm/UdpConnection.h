#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <juce_events/juce_events.h>

#include "DatagramPlatform.h"

namespace velmora
{

// One opened socket: bound to local port 3456 on every address, aimed at one
// peer (the connected amplifier, or the placeholder 0.0.0.1).
class UdpSocket
{
public:
    explicit UdpSocket(DatagramPlatform& platform);
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Resolves `hostName` and aims the socket at it, port 3456. On failure the
    // socket is closed.
    bool connect(const std::string& hostName);
    void close();

    bool isOpen() const { return open; }
    int descriptor() const { return fd; }
    const std::string& getHostName() const { return hostName; }
    std::optional<std::uint32_t> getPeer() const { return peer; }

private:
    DatagramPlatform& platform;
    std::string hostName;
    int port = 0;
    int fd = -1;
    bool open = false;
    bool allowBroadcast = true;
    std::optional<std::uint32_t> peer;
};

// The UDP transport: one socket on port 3456 for discovery, for the connected
// amplifier and for every datagram that arrives. Its thread blocks until a
// datagram arrives and posts each one, with its sender, to the communicator.
class UdpConnection : public juce::Thread
{
public:
    static constexpr std::size_t receiveArea = 128;
    static constexpr std::size_t packetBlockSize = 4 + receiveArea;

    UdpConnection(juce::MessageListener& listener, int messageMagic,
                  DatagramPlatform& platform = systemDatagramPlatform());
    ~UdpConnection() override;

    // Creates and aims a socket if there is none, then starts the thread (which
    // ends at once when the socket could not be opened).
    void openSocket(const std::string& hostName);
    // Replaces the socket by a new one aimed at `hostName`. The thread is
    // stopped first, so it never sees a closed or deleted record.
    void reopen(const std::string& hostName);

    // Sends one datagram to the peer. Any thread.
    bool sendToPeer(const char* data, std::size_t size);
    // Resolves `hostName` now and sends one datagram to it, port 3456.
    bool sendToAddress(const std::string& hostName, const char* data, std::size_t size);
    bool sendToAddress(std::uint32_t address, const char* data, std::size_t size);

    bool hasSocket() const;
    std::optional<std::uint32_t> peerAddress() const;

    void run() override;

private:
    void stop();
    void receiveOne(int fd);

    juce::MessageListener& listener;
    const int messageMagic;
    DatagramPlatform& platform;
    int wakeFd = -1;
    mutable std::mutex socketLock;
    std::unique_ptr<UdpSocket> socket;
};

} // namespace velmora

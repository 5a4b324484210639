#include "UdpConnection.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstring>

#include "Messages.h"
#include "PostedMessage.h"

namespace velmora
{

UdpSocket::UdpSocket(DatagramPlatform& p) : platform(p)
{
    fd = platform.createSocket();
    if (fd >= 0)
        platform.bind(fd, 0, static_cast<std::uint16_t>(msg::udpPort)); // a failed bind is ignored
}

UdpSocket::~UdpSocket()
{
    close();
}

bool UdpSocket::connect(const std::string& name)
{
    if (open)
        close();
    hostName = name;
    port = msg::udpPort;
    const auto address = platform.resolve(name);
    if (fd < 0)
        fd = platform.createSocket();
    if (! address || fd < 0 || ! platform.setOptions(fd, allowBroadcast))
    {
        close();
        return false;
    }
    peer = address;
    open = true;
    return true;
}

void UdpSocket::close()
{
    if (fd >= 0)
        platform.close(fd);
    fd = -1;
    open = false;
    hostName.clear();
    port = 0;
}

// ---------------------------------------------------------------------------

UdpConnection::UdpConnection(juce::MessageListener& l, int magic, DatagramPlatform& p)
    : juce::Thread("UDP connection"), listener(l), messageMagic(magic), platform(p)
{
    wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

UdpConnection::~UdpConnection()
{
    stop();
    {
        std::lock_guard<std::mutex> lock(socketLock);
        socket.reset();
    }
    if (wakeFd >= 0)
        ::close(wakeFd);
}

void UdpConnection::stop()
{
    signalThreadShouldExit();
    if (wakeFd >= 0)
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(wakeFd, &one, sizeof one);
    }
    stopThread(4000);
    if (wakeFd >= 0)
    {
        std::uint64_t drained = 0;
        [[maybe_unused]] const auto n = ::read(wakeFd, &drained, sizeof drained);
    }
}

void UdpConnection::openSocket(const std::string& hostName)
{
    {
        std::lock_guard<std::mutex> lock(socketLock);
        if (socket != nullptr)
            return;
        socket = std::make_unique<UdpSocket>(platform);
        socket->connect(hostName);
    }
    startThread();
}

void UdpConnection::reopen(const std::string& hostName)
{
    stop();
    {
        std::lock_guard<std::mutex> lock(socketLock);
        socket.reset();
    }
    openSocket(hostName);
}

bool UdpConnection::sendToPeer(const char* data, std::size_t size)
{
    std::lock_guard<std::mutex> lock(socketLock);
    if (socket == nullptr || ! socket->isOpen() || ! socket->getPeer())
        return false;
    return platform.sendTo(socket->descriptor(), data, size, *socket->getPeer(),
                           static_cast<std::uint16_t>(msg::udpPort));
}

bool UdpConnection::sendToAddress(const std::string& hostName, const char* data, std::size_t size)
{
    const auto address = platform.resolve(hostName);
    return address && sendToAddress(*address, data, size);
}

bool UdpConnection::sendToAddress(std::uint32_t address, const char* data, std::size_t size)
{
    std::lock_guard<std::mutex> lock(socketLock);
    if (socket == nullptr || ! socket->isOpen())
        return false;
    return platform.sendTo(socket->descriptor(), data, size, address,
                           static_cast<std::uint16_t>(msg::udpPort));
}

bool UdpConnection::hasSocket() const
{
    std::lock_guard<std::mutex> lock(socketLock);
    return socket != nullptr;
}

std::optional<std::uint32_t> UdpConnection::peerAddress() const
{
    std::lock_guard<std::mutex> lock(socketLock);
    return socket != nullptr ? socket->getPeer() : std::nullopt;
}

void UdpConnection::run()
{
    int fd = -1;
    {
        std::lock_guard<std::mutex> lock(socketLock);
        if (socket == nullptr || ! socket->isOpen())
        {
            socket.reset(); // an unusable record is released, not kept
            return;
        }
        fd = socket->descriptor();
    }

    while (! threadShouldExit())
    {
        switch (platform.waitReadable(fd, wakeFd))
        {
            case DatagramPlatform::Wait::woken:
                return;
            case DatagramPlatform::Wait::error:
            {
                std::lock_guard<std::mutex> lock(socketLock);
                socket.reset();
                return;
            }
            case DatagramPlatform::Wait::readable:
                if (threadShouldExit())
                    return;
                receiveOne(fd);
                break;
        }
    }
}

void UdpConnection::receiveOne(int fd)
{
    std::array<char, packetBlockSize> block {};
    std::uint32_t sender = 0;
    long length = platform.receive(fd, block.data() + 4, receiveArea, sender);
    if (length <= 0 || length > static_cast<long>(receiveArea))
        length = -1; // empty, failed or too long for the receive area
    std::memcpy(block.data(), &sender, 4);

    const long n = length + 4;
    if (n < 1 || n > static_cast<long>(packetBlockSize) || n % 4 != 0)
        return;
    auto copy = std::make_unique<juce::MemoryBlock>(block.data(), static_cast<std::size_t>(n));
    listener.postMessage(new PostedMessage(messageMagic, PostedMessage::packet,
                                           PostedMessage::fromUdp, std::move(copy)));
}

} // namespace velmora

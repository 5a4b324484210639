#include "UsbConnection.h"

#include <cstring>

#include "PostedMessage.h"

namespace velmora
{

UsbConnection::UsbConnection(juce::MessageListener& l, int magic, HidPlatform& p)
    : juce::Thread("USB connection"), listener(l), messageMagic(magic), platform(p)
{
    startThread();
}

UsbConnection::~UsbConnection()
{
    signalThreadShouldExit();
    wake.notify_all();
    stopThread(4000);
    device.reset();
}

void UsbConnection::setNoDevice()
{
    {
        std::lock_guard<std::mutex> lock(slotLock);
        state = -1;
        sendPending = false;
    }
    wake.notify_all();
}

void UsbConnection::clearSendSlot()
{
    std::lock_guard<std::mutex> lock(slotLock);
    sendPending = false;
}

bool UsbConnection::trySend(const char* data, std::size_t size)
{
    {
        std::lock_guard<std::mutex> lock(slotLock);
        if (state == -1 || sendPending || size > sendBuffer.size())
            return false;
        std::memcpy(sendBuffer.data(), data, size);
        sendLength = size;
        sendPending = true;
    }
    wake.notify_all();
    return true;
}

void UsbConnection::pause(int ms)
{
    std::unique_lock<std::mutex> lock(slotLock);
    wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return threadShouldExit(); });
}

std::unique_ptr<HidDevice> UsbConnection::findDevice(std::uint16_t productId, const char* letters)
{
    for (const auto& info : platform.enumerate())
    {
        if (info.vendorId != amplifierVendorId || info.productId != productId)
            continue;
        auto candidate = platform.open(info.path);
        if (candidate == nullptr)
            continue;
        // String descriptor 4, read into room for three UTF-16 units.
        const std::string text = candidate->indexedString(4, 3);
        if (text.size() >= 2 && text[0] == letters[0] && text[1] == letters[1])
            return candidate;
        // Not ours: closed by leaving scope.
    }
    return nullptr;
}

int UsbConnection::openDevice()
{
    device.reset();
    if ((device = findDevice(vornProductId, "FW")) != nullptr)
        return 1;
    if ((device = findDevice(zephylProductId, "AP")) != nullptr)
        return 2;
    return -1;
}

void UsbConnection::writeSlot()
{
    std::size_t length = 0;
    {
        std::lock_guard<std::mutex> lock(slotLock);
        if (! sendPending)
            return;
        length = sendLength;
        // A message of 63 or 64 bytes does not fit a report: it is dropped,
        // and the communicator's reply wait takes it as unanswered.
        if (length < 63)
        {
            output[0] = 0;
            output[1] = static_cast<std::uint8_t>(length);
            std::memcpy(output.data() + 2, sendBuffer.data(), length);
        }
    }
    // A write either goes through whole or fails (timed out, stalled or the
    // device gone); a failed one is tried again, five attempts in all. The
    // platform's write waits for its completion itself and cancels it on
    // its time-out.
    if (length < 63 && device != nullptr)
        for (int attempt = 0; attempt < writeAttempts && ! threadShouldExit(); ++attempt)
            if (device->write(output, writeWaitMs) == static_cast<int>(output.size()))
                break;
    std::lock_guard<std::mutex> lock(slotLock);
    sendPending = false;
}

void UsbConnection::readOne()
{
    HidReport input {};
    const int result = device != nullptr ? device->read(input, readWaitMs) : -1;
    if (result < 0)
    {
        // Unplugged: the communicator notices through its reply wait; do not
        // spin meanwhile.
        pause(readWaitMs);
        return;
    }
    if (result == 0)
        return;
    const std::size_t n = input[1];
    if (n >= 63 || input[2] != '/')
        return;
    // Later bytes of the block keep what earlier reports left there.
    std::memcpy(block.data() + 4, input.data() + 2, n);
    if (n == 0 || n % 4 != 0)
        return;
    auto copy = std::make_unique<juce::MemoryBlock>(block.data(), block.size());
    listener.postMessage(new PostedMessage(messageMagic, PostedMessage::packet,
                                           PostedMessage::fromUsb, std::move(copy)));
}

void UsbConnection::run()
{
    while (! threadShouldExit())
    {
        if (state == -1)
        {
            const int family = openDevice();
            if (family < 0)
            {
                announcePending = true;
                pause(probePauseMs);
            }
            else if (announcePending)
            {
                announcePending = false;
                state = family;
                listener.postMessage(
                    new PostedMessage(messageMagic, PostedMessage::status, family));
            }
            else
            {
                // Quiet probing after going offline: the device stays
                // unannounced until a discovery; a pause keeps this from
                // spinning.
                device.reset();
                pause(probePauseMs);
            }
            continue;
        }
        writeSlot();
        readOne();
    }
}

} // namespace velmora

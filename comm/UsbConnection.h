#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <juce_events/juce_events.h>

#include "HidPlatform.h"
#include "UsbLink.h"

namespace velmora
{

// The USB transport: finds and opens an amplifier among the HID devices,
// announces it once to the communicator, writes the one message of its send
// slot, and posts each report's message to the communicator.
class UsbConnection : public juce::Thread, public UsbLink
{
public:
    static constexpr int probePauseMs = 200;
    static constexpr int writeWaitMs = 200;
    static constexpr int writeAttempts = 5;
    static constexpr int readWaitMs = 5;
    static constexpr std::size_t packetBlockSize = 68;

    UsbConnection(juce::MessageListener& listener, int messageMagic, HidPlatform& platform);
    ~UsbConnection() override;

    int deviceState() const override { return state; }
    void setNoDevice() override;
    void clearSendSlot() override;
    void requestAnnouncement() override { announcePending = true; }
    bool trySend(const char* data, std::size_t size) override;

    void run() override;

private:
    // Opens a Vorn series device, or failing that a Zephyl line one. Returns
    // the family (1 or 2), or -1.
    int openDevice();
    std::unique_ptr<HidDevice> findDevice(std::uint16_t productId, const char* letters);
    void writeSlot();
    void readOne();
    void pause(int ms);

    juce::MessageListener& listener;
    const int messageMagic;
    HidPlatform& platform;

    std::atomic<int> state {-1};
    std::atomic<bool> announcePending {true};

    // The send slot: two writers (the communicator's thread and the GUI
    // thread), one reader (this thread).
    std::mutex slotLock;
    std::condition_variable wake;
    bool sendPending = false;
    std::array<char, 64> sendBuffer {};
    std::size_t sendLength = 0;

    // Owned by this thread.
    std::unique_ptr<HidDevice> device;
    HidReport output {};
    std::array<char, packetBlockSize> block {};
};

} // namespace velmora

#pragma once

#include <cstddef>

namespace velmora
{

// What the communicator needs of the USB transport.
class UsbLink
{
public:
    virtual ~UsbLink() = default;

    // -1: no device open; 1: a Vorn series device; 2: a Zephyl line device.
    virtual int deviceState() const = 0;
    // Forget the open device and probe again. The send slot is emptied: what
    // it held was meant for the device that is gone.
    virtual void setNoDevice() = 0;
    // Empties the send slot (going offline).
    virtual void clearSendSlot() = 0;
    // Announce the next device that is opened.
    virtual void requestAnnouncement() = 0;
    // Puts one message into the one-message send slot if a device is open and
    // the slot is free. Returns whether it did.
    virtual bool trySend(const char* data, std::size_t size) = 0;
};

} // namespace velmora

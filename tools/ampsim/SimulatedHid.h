#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "HidPlatform.h"

namespace velmora::sim
{

// A USB bus of virtual HID devices behind the same seam as the machine's:
// devices can be plugged and unplugged, see the reports written to them and
// send input reports.
class SimulatedHidBus : public HidPlatform
{
public:
    using WriteHandler = std::function<void(const HidReport&)>;

    // Plugs a device; returns its number.
    int plug(std::uint16_t vendorId, std::uint16_t productId, const std::string& string4,
             WriteHandler onWrite);
    void unplug(int device);
    // Queues an input report for the device's reader.
    void sendInput(int device, const HidReport& report);
    // Writes to the device take their full time and then fail (-1), as a
    // stalled hidapi write does.
    void setStalled(int device, bool stalled);
    // How many writes failed on a stall.
    int failedWrites(int device) const;
    // How many times a device was opened, over the bus's life.
    int openCount(int device) const;

    std::vector<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;

private:
    struct Device
    {
        std::uint16_t vendorId = 0, productId = 0;
        std::string string4;
        WriteHandler onWrite;
        std::deque<HidReport> input;
        bool attached = true;
        bool stalled = false;
        int opened = 0;
        int failedWrites = 0;
    };
    class Handle;

    mutable std::mutex lock;
    std::mutex writeLock; // taken by writes and by unplugging
    std::condition_variable arrived;
    std::map<int, std::shared_ptr<Device>> devices;
    int next = 1;
};

} // namespace velmora::sim

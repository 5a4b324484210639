#include "SimulatedHid.h"

#include <chrono>
#include <thread>

namespace velmora::sim
{

class SimulatedHidBus::Handle : public HidDevice
{
public:
    Handle(SimulatedHidBus& b, std::shared_ptr<Device> d) : bus(b), device(std::move(d)) {}

    std::string indexedString(int index, int units) override
    {
        std::lock_guard<std::mutex> l(bus.lock);
        if (! device->attached || index != 4)
            return {};
        return device->string4.substr(0, static_cast<std::size_t>(units));
    }

    int write(const HidReport& report, int timeoutMs) override
    {
        // Held through the handler, so that unplugging waits for a write in
        // progress and the handler's owner can go right after.
        std::lock_guard<std::mutex> writing(bus.writeLock);
        WriteHandler handler;
        bool stalled = false;
        {
            std::lock_guard<std::mutex> l(bus.lock);
            if (! device->attached)
                return -1;
            stalled = device->stalled;
            if (! stalled)
                handler = device->onWrite;
        }
        if (stalled)
        {
            // As hidapi: the write waits out its time-out and then fails.
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            std::lock_guard<std::mutex> l(bus.lock);
            ++device->failedWrites;
            return -1;
        }
        if (handler)
            handler(report);
        return static_cast<int>(report.size());
    }

    int read(HidReport& report, int timeoutMs) override
    {
        std::unique_lock<std::mutex> l(bus.lock);
        bus.arrived.wait_for(l, std::chrono::milliseconds(timeoutMs),
                             [&] { return ! device->attached || ! device->input.empty(); });
        if (! device->attached)
            return -1;
        if (device->input.empty())
            return 0;
        report = device->input.front();
        device->input.pop_front();
        return static_cast<int>(report.size() - 1);
    }

private:
    SimulatedHidBus& bus;
    std::shared_ptr<Device> device;
};

int SimulatedHidBus::plug(std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& string4, WriteHandler onWrite)
{
    std::lock_guard<std::mutex> l(lock);
    auto d = std::make_shared<Device>();
    d->vendorId = vendorId;
    d->productId = productId;
    d->string4 = string4;
    d->onWrite = std::move(onWrite);
    devices[next] = d;
    return next++;
}

void SimulatedHidBus::unplug(int device)
{
    {
        std::lock_guard<std::mutex> writing(writeLock);
        std::lock_guard<std::mutex> l(lock);
        if (auto it = devices.find(device); it != devices.end())
        {
            it->second->attached = false;
            devices.erase(it);
        }
    }
    arrived.notify_all();
}

void SimulatedHidBus::sendInput(int device, const HidReport& report)
{
    {
        std::lock_guard<std::mutex> l(lock);
        if (auto it = devices.find(device); it != devices.end())
            it->second->input.push_back(report);
    }
    arrived.notify_all();
}

void SimulatedHidBus::setStalled(int device, bool stalled)
{
    std::lock_guard<std::mutex> l(lock);
    if (auto it = devices.find(device); it != devices.end())
        it->second->stalled = stalled;
}

int SimulatedHidBus::failedWrites(int device) const
{
    std::lock_guard<std::mutex> l(lock);
    const auto it = devices.find(device);
    return it != devices.end() ? it->second->failedWrites : 0;
}

int SimulatedHidBus::openCount(int device) const
{
    std::lock_guard<std::mutex> l(lock);
    const auto it = devices.find(device);
    return it != devices.end() ? it->second->opened : 0;
}

std::vector<HidDeviceInfo> SimulatedHidBus::enumerate()
{
    std::lock_guard<std::mutex> l(lock);
    std::vector<HidDeviceInfo> out;
    for (const auto& [id, d] : devices)
        out.push_back({"sim:" + std::to_string(id), d->vendorId, d->productId});
    return out;
}

std::unique_ptr<HidDevice> SimulatedHidBus::open(const std::string& path)
{
    std::lock_guard<std::mutex> l(lock);
    if (path.rfind("sim:", 0) != 0)
        return nullptr;
    const auto it = devices.find(std::stoi(path.substr(4)));
    if (it == devices.end())
        return nullptr;
    ++it->second->opened;
    return std::make_unique<Handle>(*this, it->second);
}

} // namespace velmora::sim

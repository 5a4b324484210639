#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "Amplifier.h"
#include "SimulatedHid.h"
#include "UdpAmpSim.h"

namespace velmora::sim
{

// The virtual amplifier on a simulated USB bus: a HID device of its family
// that answers each written report with reports of its own, and streams
// meters after a meter request.
class UsbAmpSim
{
public:
    // `string4` overrides the family's letters ("FW..." or "AP...").
    UsbAmpSim(Amplifier& amplifier, SimulatedHidBus& bus, std::string string4 = {});
    ~UsbAmpSim();

    int deviceNumber() const { return device; }
    void unplug();

    std::vector<LogEntry> log() const { return received.entries(); }
    std::vector<LogEntry> log(const std::string& address) const
    {
        return received.entries(address);
    }
    // Every report written to the device, whole.
    std::vector<HidReport> writtenReports() const;
    void setSilent(bool silent);
    // Sends "/power" "OFF", as an amplifier that is switched off does.
    void sendPowerOff();

private:
    void onWrite(const HidReport& report);
    void send(const Bytes& message);
    void meterLoop();

    Amplifier& amp;
    SimulatedHidBus& bus;
    int device = 0;
    mutable std::mutex mutex;
    MessageLog received;
    std::vector<HidReport> reports;
    bool silent = false;
    long long meterUntil = 0;
    std::atomic<bool> stop {false};
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::thread meters;
};

} // namespace velmora::sim

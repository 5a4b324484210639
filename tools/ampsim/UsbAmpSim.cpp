#include "UsbAmpSim.h"

#include <cstring>

#include "Messages.h"
#include "PacketCheck.h"

namespace velmora::sim
{

UsbAmpSim::UsbAmpSim(Amplifier& a, SimulatedHidBus& b, std::string string4) : amp(a), bus(b)
{
    const bool vorn = msg::isVornSeries(amp.modelIndex());
    if (string4.empty())
        string4 = vorn ? "FW1" : "AP1";
    device = bus.plug(amplifierVendorId, vorn ? vornProductId : zephylProductId, string4,
                      [this](const HidReport& r) { onWrite(r); });
    meters = std::thread([this] { meterLoop(); });
}

UsbAmpSim::~UsbAmpSim()
{
    stop = true;
    meters.join();
    unplug();
}

void UsbAmpSim::unplug()
{
    bus.unplug(device);
}

void UsbAmpSim::setSilent(bool s)
{
    std::lock_guard<std::mutex> l(mutex);
    silent = s;
}

void UsbAmpSim::sendPowerOff()
{
    std::lock_guard<std::mutex> l(mutex);
    send(amp.powerMessage("OFF"));
}

std::vector<HidReport> UsbAmpSim::writtenReports() const
{
    std::lock_guard<std::mutex> l(mutex);
    return reports;
}

void UsbAmpSim::send(const Bytes& message)
{
    // One report carries one whole message of at most 62 bytes.
    if (message.size() > 62)
        return;
    HidReport report {};
    report[1] = static_cast<std::uint8_t>(message.size());
    std::memcpy(report.data() + 2, message.data(), message.size());
    bus.sendInput(device, report);
}

void UsbAmpSim::onWrite(const HidReport& report)
{
    std::lock_guard<std::mutex> l(mutex);
    reports.push_back(report);
    const std::size_t n = report[1];
    if (n > 62)
        return;
    const char* data = reinterpret_cast<const char*>(report.data() + 2);
    const long long t = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    received.add({t, "USB", isSafeOscMessage(data, n) ? std::string(data) : "(malformed)",
                  formatArguments(data, n)});
    if (silent)
        return;
    for (const auto& answer : amp.answer(data, n))
        send(answer);
    if (amp.takeMeterRequest())
        meterUntil = t + 4000;
}

void UsbAmpSim::meterLoop()
{
    while (! stop)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::lock_guard<std::mutex> l(mutex);
        const long long t = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
        if (! silent && t < meterUntil)
            send(amp.meterMessage(t / 1000.0));
    }
}

} // namespace velmora::sim

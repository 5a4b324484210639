#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora
{

// One HID report as the amplifiers use it, both directions: byte 0 the report
// identifier (0), byte 1 the length n of the OSC message (0-62), then the
// message bytes.
constexpr std::size_t hidReportSize = 64;
using HidReport = std::array<std::uint8_t, hidReportSize>;

// The amplifiers' USB identity. Both families share the vendor identifier;
// the product identifier and the first two letters of string descriptor 4
// tell them apart.
#ifndef VELMORA_USB_VENDOR_ID
#define VELMORA_USB_VENDOR_ID 0x1209
#endif
constexpr std::uint16_t amplifierVendorId = VELMORA_USB_VENDOR_ID;
constexpr std::uint16_t vornProductId = 4354;   // 0x1102, string 4 begins "FW"
constexpr std::uint16_t zephylProductId = 4353; // 0x1101, string 4 begins "AP"

// An opened HID device.
class HidDevice
{
public:
    virtual ~HidDevice() = default;
    // The low bytes of the first code units of string descriptor `index`, at
    // most `units` of them; empty when it cannot be read.
    virtual std::string indexedString(int index, int units) = 0;
    // Writes one report and waits for it to complete, about `timeoutMs` at
    // most (hidapi's own write waits up to its fixed time-out and cancels the
    // transfer then). Returns the bytes written, or -1 when the write failed:
    // timed out, stalled, or the device is gone. Never 0.
    virtual int write(const HidReport& report, int timeoutMs) = 0;
    // Reads one report into `report` (byte 0 set to 0); waits at most
    // `timeoutMs`. Returns the bytes read, 0 on a time-out, -1 when the device
    // is gone.
    virtual int read(HidReport& report, int timeoutMs) = 0;
};

struct HidDeviceInfo
{
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// The machine's HID devices, behind a seam so that tests and demos can plug in
// virtual amplifiers.
class HidPlatform
{
public:
    virtual ~HidPlatform() = default;
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    virtual std::unique_ptr<HidDevice> open(const std::string& path) = 0;
};

// hidapi's libusb backend: unlike the hidraw backend it can read an indexed
// string descriptor. While a device is open it detaches the kernel's driver.
std::unique_ptr<HidPlatform> makeHidapiPlatform();

} // namespace velmora

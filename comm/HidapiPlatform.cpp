#include <hidapi/hidapi.h>

#include <mutex>

#include "HidPlatform.h"

namespace velmora
{
namespace
{

class HidapiDevice : public HidDevice
{
public:
    explicit HidapiDevice(hid_device* d) : device(d) {}
    ~HidapiDevice() override { hid_close(device); }

    std::string indexedString(int index, int units) override
    {
        std::vector<wchar_t> text(static_cast<std::size_t>(units) + 1, L'\0');
        if (hid_get_indexed_string(device, index, text.data(), text.size()) != 0)
            return {};
        std::string out;
        for (int i = 0; i < units && text[static_cast<std::size_t>(i)] != L'\0'; ++i)
            out += static_cast<char>(text[static_cast<std::size_t>(i)] & 0xff);
        return out;
    }

    int write(const HidReport& report, int) override
    {
        // hidapi takes the report identifier as the first byte.
        const int n = hid_write(device, report.data(), report.size());
        return n < 0 ? -1 : n;
    }

    int read(HidReport& report, int timeoutMs) override
    {
        report[0] = 0;
        const int n = hid_read_timeout(device, report.data() + 1, report.size() - 1, timeoutMs);
        return n < 0 ? -1 : n;
    }

private:
    hid_device* device;
};

class HidapiPlatform : public HidPlatform
{
public:
    HidapiPlatform() { hid_init(); }
    ~HidapiPlatform() override { hid_exit(); }

    std::vector<HidDeviceInfo> enumerate() override
    {
        std::vector<HidDeviceInfo> found;
        hid_device_info* list = hid_enumerate(amplifierVendorId, 0);
        for (auto* d = list; d != nullptr; d = d->next)
            found.push_back({d->path != nullptr ? d->path : "", d->vendor_id, d->product_id});
        hid_free_enumeration(list);
        return found;
    }

    std::unique_ptr<HidDevice> open(const std::string& path) override
    {
        hid_device* d = hid_open_path(path.c_str());
        return d != nullptr ? std::make_unique<HidapiDevice>(d) : nullptr;
    }
};

} // namespace

std::unique_ptr<HidPlatform> makeHidapiPlatform()
{
    return std::make_unique<HidapiPlatform>();
}

} // namespace velmora

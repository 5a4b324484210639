#pragma once

// Stand-ins for the Setup page, the main panel and the dialog boxes, as the
// communicator sees them. They record every call; the Setup page stand-in
// connects and disconnects the way the real page does.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Links.h"
#include "OscCom.h"

namespace velmora::test
{

struct FakeSetupPage : SetupPageLink
{
    osc::OscCom* com = nullptr;
    bool connected = false;
    int selectedRow = -1;

    struct Device
    {
        int model;
        std::string name;
        std::uint32_t address;
    };
    std::vector<Device> ipDevices;
    std::vector<Device> usbDevices;
    std::vector<std::string> calls;
    std::vector<std::array<float, 4>> meters;
    std::vector<std::array<bool, 4>> leds;
    std::vector<std::tuple<std::string, int, int>> presetSlots;
    std::vector<std::int32_t> lockStates;
    std::vector<std::string> ampNames;

    void updateUsbDevice(int m, const std::string& n) override { usbDevices.push_back({m, n, 0}); }
    void updateIpDevice(int m, const std::string& n, std::uint32_t a) override
    {
        ipDevices.push_back({m, n, a});
    }
    void selectDevice(int row) override
    {
        calls.push_back("selectDevice");
        selectedRow = row;
    }
    void connectDevice() override
    {
        calls.push_back("connectDevice");
        if (connected || selectedRow < 0)
            return;
        com->goOnline();
        connected = true;
    }
    void disconnectDevice() override
    {
        calls.push_back("disconnectDevice");
        if (connected)
            com->goOffline();
        connected = false;
    }
    void forgetSelectedDevice() override
    {
        calls.push_back("forgetSelectedDevice");
        selectedRow = -1;
    }
    void showAmpName(const std::string& n) override { ampNames.push_back(n); }
    void showPresetSlot(const std::string& n, int mode, int slot) override
    {
        presetSlots.emplace_back(n, mode, slot);
    }
    void showRecalledPresetName(const std::string& n) override { calls.push_back("recalled " + n); }
    void showStoredPreset(const std::string& n, int mode, int slot) override
    {
        calls.push_back("stored " + n + " " + std::to_string(mode) + " " + std::to_string(slot));
    }
    void showLockState(std::int32_t code) override { lockStates.push_back(code); }
    void setMeterLevels(float a, float b, float c, float d) override
    {
        meters.push_back({a, b, c, d});
    }
    void setLimitLeds(bool a, bool b, bool c, bool d) override { leds.push_back({a, b, c, d}); }
};

struct FakePanel : MainPanelLink
{
    std::vector<std::tuple<float, float, bool, bool>> gains;
    int meterResets = 0;
    int ledResets = 0;
    void setGainState(float a, float b, bool ma, bool mb) override
    {
        gains.emplace_back(a, b, ma, mb);
    }
    void showMeterLevels(float a, float b, float c, float d) override
    {
        if (a == 0 && b == 0 && c == 0 && d == 0)
            ++meterResets;
    }
    void setLeds(bool a, bool b, bool c, bool d) override
    {
        if (! a && ! b && ! c && ! d)
            ++ledResets;
    }
};

struct FakeDialogs : Dialogs
{
    struct Question
    {
        std::string title, message, confirm, cancel;
        std::function<void(bool)> answered;
    };
    std::vector<std::string> warnings; // "title|message|button"
    std::vector<Question> questions;
    // Set: every question is answered so before askQuestion returns, as a
    // modal box would be, so a caller's order of steps around a question shows.
    std::optional<bool> answerAtOnce;

    void showWarning(const std::string& t, const std::string& m, const std::string& b) override
    {
        warnings.push_back(t + "|" + m + "|" + b);
    }
    void askQuestion(const std::string& t, const std::string& m, const std::string& c,
                     const std::string& x, std::function<void(bool)> answered) override
    {
        if (answerAtOnce)
            return answered(*answerAtOnce);
        questions.push_back({t, m, c, x, std::move(answered)});
    }
    // Answers the oldest open question, or the one at `index`.
    void answer(bool confirm, std::size_t index = 0)
    {
        auto q = std::move(questions.at(index));
        questions.erase(questions.begin() + static_cast<std::ptrdiff_t>(index));
        q.answered(confirm);
    }
};

} // namespace velmora::test

#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the communicator calls outside itself. The Setup page, the main panel
// and the dialog boxes implement these; tests provide their own.
namespace velmora
{

class SetupPageLink
{
public:
    virtual ~SetupPageLink() = default;
    virtual void updateUsbDevice(int modelIndex, const std::string& ampName) = 0;
    virtual void updateIpDevice(int modelIndex, const std::string& ampName,
                                std::uint32_t ipAddress) = 0; // network byte order
    virtual void selectDevice(int row) = 0;
    virtual void connectDevice() = 0;
    virtual void disconnectDevice() = 0;
    virtual void forgetSelectedDevice() = 0;
    virtual void showAmpName(const std::string& name) = 0;
    virtual void showPresetSlot(const std::string& name, int modeIndex, int slotNumber) = 0;
    virtual void showRecalledPresetName(const std::string& name) = 0;
    virtual void showStoredPreset(const std::string& name, int modeIndex, int slotNumber) = 0;
    virtual void showLockState(std::int32_t code) = 0;
    virtual void setMeterLevels(float a, float b, float c, float d) = 0;
    virtual void setLimitLeds(bool a, bool b, bool c, bool d) = 0;
};

class MainPanelLink
{
public:
    virtual ~MainPanelLink() = default;
    virtual void setGainState(float gainA, float gainB, bool muteA, bool muteB) = 0;
    virtual void showMeterLevels(float a, float b, float c, float d) = 0;
    virtual void setLeds(bool inputClipA, bool inputClipB, bool outputLimitA,
                         bool outputLimitB) = 0;
};

// Message and question boxes, shown without blocking the message loop. The
// implementation passes every text through the translation lookup.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual void showWarning(const std::string& title, const std::string& message,
                             const std::string& button) = 0;
    // `answered` gets true for the first (confirming) button.
    virtual void askQuestion(const std::string& title, const std::string& message,
                             const std::string& confirm, const std::string& cancel,
                             std::function<void(bool)> answered) = 0;
};

} // namespace velmora

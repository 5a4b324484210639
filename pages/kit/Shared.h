#pragma once

#include <array>
#include <functional>

namespace velmora::kit
{

// Which functions of each output channel do something (channel A first). The
// page that owns a function writes its flag; the Configuration page's
// signal-flow diagram lights its blocks by them.
struct ChannelActivity
{
    std::array<bool, 2> xoverActive {};
    std::array<bool, 2> peqActive {};
    std::array<bool, 2> deqActive {};
    std::array<bool, 2> delayActive {};
    std::array<bool, 2> limiterActive {};

    // Set by the diagram's page: called after a page changed a flag.
    std::function<void()> changed;

    void set(std::array<bool, 2>& flags, int channel, bool on)
    {
        if (channel < 0 || channel > 1 || flags[static_cast<std::size_t>(channel)] == on)
            return;
        flags[static_cast<std::size_t>(channel)] = on;
        if (changed)
            changed();
    }
};

// A page whose layout follows the amplifier mode (0 DUAL, 1 STEREO, 2 BIAMP1,
// 3 BIAMP2, 4 BRIDGE): told by the Configuration page whenever it changes.
class AmpModeFollower
{
public:
    virtual ~AmpModeFollower() = default;
    virtual void followAmpMode(int mode) = 0;
};

// The modes in which channel A's settings drive both channels.
inline bool isSingleChain(int mode)
{
    return mode == 1 || mode == 4;
}

} // namespace velmora::kit

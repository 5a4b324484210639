#pragma once

#include <array>
#include <string_view>

// The vocabulary spoken with the amplifier outside the parameter tree: every
// address the editor sends or understands, in one place.
namespace velmora::msg
{

constexpr int udpPort = 3456;
// The limited broadcast: discovery's default address.
constexpr const char* limitedBroadcast = "255.255.255.255";

// Stamped on every message the transports post to the communicator.
constexpr int messageMagic = 0x13467925;

constexpr std::string_view info = "/info";              // discovery; answer ,ssi (name, -, model)
constexpr std::string_view online = "/online";          // going online, not queued, no answer
constexpr std::string_view offline = "/offline";        // going offline, not queued, no answer
constexpr std::string_view gain = "/gain";              // ,ffii gain A, gain B, mute A, mute B
constexpr std::string_view meter = "/meter";            // request ,f 10.0; answers ,ffff
constexpr std::string_view peakLimit = "/peaklimit";    // ,iiii clip A, clip B, limit A, limit B
constexpr std::string_view preset = "/preset";          // prefix of the three below
constexpr std::string_view presetName = "/preset/name"; // ,iis slot, mode, name
constexpr std::string_view presetLoad = "/preset/load"; // ,iis slot, 0, name
constexpr std::string_view presetSave = "/preset/save"; // ,iis slot, mode, name
constexpr std::string_view ampName = "/ampname";        // ,s
constexpr std::string_view lock = "/lock";              // ,i code, first character lowest byte
constexpr std::string_view unlock = "/unlock";          // ,i code; answered with "/lock"
constexpr std::string_view siggen = "/siggen";          // ,iff input, gain, freq
constexpr std::string_view speaker = "/speaker";        // ,i load
constexpr std::string_view power = "/power";            // ,s "OFF" means the amplifier is gone

constexpr std::string_view powerOff = "OFF";
constexpr float meterRequestValue = 10.0f;
// The meter request is renewed after this many answers.
constexpr int meterRepliesPerRequest = 50;
constexpr int presetSlots = 20;
constexpr std::string_view presetQueryName = "DUMMY";

// Model index of the "/info" answer; 7 means no device.
constexpr int noModel = 7;
constexpr std::array<std::string_view, 8> modelNames {
    "VN-840", "VN-880", "VN-840Z", "VN-880Z", "ZL-200-DX", "ZL-500-DX", "ZL-900-DX", "-"};

inline bool isVornSeries(int modelIndex)
{
    return modelIndex >= 0 && modelIndex <= 3;
}

} // namespace velmora::msg

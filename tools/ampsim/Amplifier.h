#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Blocks.h"

namespace velmora::sim
{

using Bytes = std::vector<char>;

// The state of one virtual amplifier and what it answers to each message, as
// a Vorn series or Zephyl line amplifier would. Transport-free: the UDP and
// USB runners feed it messages and send its answers.
class Amplifier
{
public:
    struct Preset
    {
        std::string name;
        int mode = 5;                        // 5: empty slot
        std::vector<std::string> blockLines; // "path values" of every block
    };

    Amplifier(int modelIndex, std::string name);

    // Sets one block from a line "/address values" (as the presets keep them).
    void setBlock(const std::string& line) { applyBlockLines({line}); }

    // Handles one incoming OSC message and returns the answers, in order.
    // Messages that cannot be decoded are answered with nothing.
    std::vector<Bytes> answer(const char* data, std::size_t size);

    // The messages the amplifier sends on its own.
    Bytes infoMessage() const;
    Bytes meterMessage(double timeSeconds) const;
    Bytes peakLimitMessage(bool inputClip, bool outputLimit) const;
    Bytes powerMessage(const std::string& state) const;

    int modelIndex() const { return model; }
    const std::string& name() const { return ampName; }
    Croot& tree() { return *root; }
    Ciosiggen& siggen() { return signalGenerator; }
    Ciospeaker& speaker() { return speakerLoad; }
    const Preset& preset(int slot) const { return presets.at(static_cast<std::size_t>(slot - 1)); }
    std::int32_t lockCode() const { return lock; }
    float gain(int channel) const { return channel == 0 ? gainA : gainB; }
    bool muted(int channel) const { return channel == 0 ? muteA : muteB; }
    bool isOnline() const { return online; }
    // Set when a "/meter" request arrived since the last call.
    bool takeMeterRequest();

    static constexpr const char* version = "V1.1-sim";

private:
    Bytes blockMessage(Cblock& block, const std::string& address) const;
    Bytes gainMessage() const;
    std::vector<std::string> currentBlockLines() const;
    void applyBlockLines(const std::vector<std::string>& lines);

    int model;
    std::string ampName;
    std::unique_ptr<Croot> root;
    Ciosiggen signalGenerator;
    Ciospeaker speakerLoad;
    std::array<Preset, 20> presets;
    std::int32_t lock = 0;
    float gainA = -12.0f;
    float gainB = -12.0f;
    bool muteA = false;
    bool muteB = false;
    bool online = false;
    bool meterRequested = false;
};

} // namespace velmora::sim

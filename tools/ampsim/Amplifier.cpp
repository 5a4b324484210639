#include "Amplifier.h"

#include <cmath>
#include <cstring>

#include <osc/OscOutboundPacketStream.h>
#include <osc/OscReceivedElements.h>

#include "Messages.h"
#include "PacketCheck.h"

namespace velmora::sim
{
namespace
{

// Start values, different from the editor's built-in default preset so that a
// sync visibly changes every page.
const char* const startLines[] = {
    "/ampmode STEREO",
    "/channel/1/peq/1 LS12 60.0 +3.0 0.7",
    "/channel/1/peq/2 PEQ 125.0 -2.0 1.4",
    "/channel/1/peq/3 PEQ 250.0 +1.5 2.0",
    "/channel/1/peq/4 PEQ 500.0 -3.0 1.0",
    "/channel/1/peq/5 PEQ 1k20 +2.0 3.0",
    "/channel/1/peq/6 PEQ 2k50 -1.5 1.0",
    "/channel/1/peq/7 PEQ 5k00 +1.0 2.0",
    "/channel/1/peq/8 HS12 12k00 -2.0 0.7",
    "/channel/1/xover/hp BUT12 40.0",
    "/channel/1/xover/lp LR24 18k00",
    "/channel/1/xover/gain -1.5",
    "/channel/1/deq/1/comp -4.0 -24.0 3.0",
    "/channel/1/deq/1/time 20.0 500.0",
    "/channel/1/deq/1/filt BP 80.0 1.4",
    "/channel/1/deq/2/comp +3.0 -36.0 4.0",
    "/channel/1/deq/2/time 30.0 800.0",
    "/channel/1/deq/2/filt HP12 3k00 0.7",
    "/channel/1/delay 1.25 0",
    "/channel/1/limiter 80.0 200.0 20.0",
    "/channel/2/peq/1 LS6 80.0 +2.0 1.0",
    "/channel/2/peq/2 PEQ 150.0 -1.0 1.0",
    "/channel/2/peq/3 PEQ 300.0 +2.5 1.2",
    "/channel/2/peq/4 OFF 600.0 +0.0 1.0",
    "/channel/2/peq/5 PEQ 1k50 -2.5 2.5",
    "/channel/2/peq/6 PEQ 3k00 +1.0 1.0",
    "/channel/2/peq/7 PEQ 6k00 -1.0 1.8",
    "/channel/2/peq/8 HS6 10k00 +1.5 1.0",
    "/channel/2/xover/hp LR24 100.0",
    "/channel/2/xover/lp BUT48 16k00",
    "/channel/2/xover/gain +2.0",
    "/channel/2/deq/1/comp -6.0 -30.0 2.0",
    "/channel/2/deq/1/time 10.0 250.0",
    "/channel/2/deq/1/filt LP12 120.0 1.0",
    "/channel/2/deq/2/comp +4.0 -40.0 6.0",
    "/channel/2/deq/2/time 40.0 1200.0",
    "/channel/2/deq/2/filt BP 4k00 2.0",
    "/channel/2/delay 2.50 180",
    "/channel/2/limiter 120.0 150.0 40.0",
};

bool isQuery(const osc::ReceivedMessage& m)
{
    return m.ArgumentCount() == 0;
}

} // namespace

Amplifier::Amplifier(int modelIndex, std::string name)
    : model(modelIndex), ampName(std::move(name)), root(makeTree())
{
    // Slot 1 holds the amplifier's read-only initial data: its values as built.
    presets[0] = {"INIT_DATA", 0, currentBlockLines()};
    applyBlockLines({std::begin(startLines), std::end(startLines)});
    const char* names[] = {"Club", "Speech", "Outdoor", "Monitors", "Sub Array"};
    for (int i = 0; i < 5; ++i)
        presets[static_cast<std::size_t>(i + 1)] = {names[i], i % 5, currentBlockLines()};
    // Each stored preset differs a little: its own delay on channel 1.
    for (int i = 1; i < 6; ++i)
        for (auto& line : presets[static_cast<std::size_t>(i)].blockLines)
            if (line.rfind("/channel/1/delay ", 0) == 0)
                line = "/channel/1/delay " + std::to_string(i) + ".00 0";

    signalGenerator.input().setStep(0);
    signalGenerator.gain().setValue(-20.0f);
    signalGenerator.freq().setValue(1000.0f);
    speakerLoad.value().setStep(50);
}

std::vector<std::string> Amplifier::currentBlockLines() const
{
    std::vector<std::string> lines;
    forEachBlock(*root, [&](Cnode& block) { lines.push_back(block.getPath() + block.text()); });
    return lines;
}

void Amplifier::applyBlockLines(const std::vector<std::string>& lines)
{
    for (const auto& line : lines)
    {
        const auto space = line.find(' ');
        if (space == std::string::npos || line.size() < 2)
            continue;
        if (Cnode* block = findNode(std::string_view(line).substr(1, space - 1), *root))
            block->readText(std::string_view(line).substr(space + 1));
    }
}

bool Amplifier::takeMeterRequest()
{
    const bool requested = meterRequested;
    meterRequested = false;
    return requested;
}

Bytes Amplifier::blockMessage(Cblock& block, const std::string& address) const
{
    const auto message = block.buildMessage(address);
    return message ? Bytes(message->data(), message->data() + message->size()) : Bytes {};
}

namespace
{
template <typename Fill> Bytes build(std::string_view address, Fill fill)
{
    char buffer[128];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    const std::string a(address);
    p << osc::BeginMessage(a.c_str());
    fill(p);
    p << osc::EndMessage;
    return Bytes(p.Data(), p.Data() + p.Size());
}
} // namespace

Bytes Amplifier::infoMessage() const
{
    return build(msg::info, [&](auto& p)
                 { p << ampName.c_str() << version << static_cast<osc::int32>(model); });
}

Bytes Amplifier::gainMessage() const
{
    return build(msg::gain,
                 [&](auto& p) {
                     p << gainA << gainB << static_cast<osc::int32>(muteA)
                       << static_cast<osc::int32>(muteB);
                 });
}

Bytes Amplifier::meterMessage(double t) const
{
    // Music-like levels: slow swells with some flicker, outputs following the
    // inputs through the gains.
    auto level = [&](double phase, float gainDb, bool mute)
    {
        const double swell =
            0.55 + 0.35 * std::sin(t * 1.3 + phase) + 0.1 * std::sin(t * 11.0 + 2 * phase);
        const double linear = mute ? 0.0 : swell * std::pow(10.0, gainDb / 40.0);
        return static_cast<float>(std::max(0.0, std::min(1.2, linear)));
    };
    const float inA = level(0.0, 0.0f, false);
    const float inB = level(1.7, 0.0f, false);
    const float outA = level(0.4, gainA, muteA);
    const float outB = level(2.1, gainB, muteB);
    return build(msg::meter, [&](auto& p) { p << inA << inB << outA << outB; });
}

Bytes Amplifier::peakLimitMessage(bool inputClip, bool outputLimit) const
{
    return build(msg::peakLimit,
                 [&](auto& p)
                 {
                     p << static_cast<osc::int32>(inputClip) << static_cast<osc::int32>(0)
                       << static_cast<osc::int32>(outputLimit) << static_cast<osc::int32>(0);
                 });
}

Bytes Amplifier::powerMessage(const std::string& state) const
{
    return build(msg::power, [&](auto& p) { p << state.c_str(); });
}

std::vector<Bytes> Amplifier::answer(const char* data, std::size_t size)
{
    if (! isSafeOscMessage(data, size))
        return {};
    try
    {
        const osc::ReceivedMessage m(
            osc::ReceivedPacket(data, static_cast<osc::osc_bundle_element_size_t>(size)));
        const std::string address = m.AddressPattern();
        auto args = m.ArgumentStream();

        if (address == msg::info)
            return isQuery(m) ? std::vector<Bytes> {infoMessage()} : std::vector<Bytes> {};
        if (address == msg::online)
        {
            online = true;
            return {};
        }
        if (address == msg::offline)
        {
            online = false;
            return {};
        }
        if (address == msg::gain)
        {
            if (! isQuery(m))
            {
                float a = 0, b = 0;
                osc::int32 ma = 0, mb = 0;
                args >> a >> b >> ma >> mb >> osc::EndMessage;
                auto clampGain = [](float g)
                { return std::round(std::max(-60.0f, std::min(0.0f, g)) * 2.0f) / 2.0f; };
                gainA = clampGain(a);
                gainB = clampGain(b);
                muteA = ma != 0;
                muteB = mb != 0;
            }
            return {gainMessage()};
        }
        if (address == msg::meter)
        {
            meterRequested = true;
            return {}; // the stream answers
        }
        if (address == msg::presetName || address == msg::presetLoad || address == msg::presetSave)
        {
            osc::int32 slot = 0, mode = 0;
            const char* text = nullptr;
            args >> slot >> mode >> text >> osc::EndMessage;
            if (slot < 1 || slot > 20)
                return {build(address, [&](auto& p) { p << slot << mode << text; })};
            auto& preset = presets[static_cast<std::size_t>(slot - 1)];
            if (address == msg::presetLoad)
            {
                applyBlockLines(preset.blockLines);
                return {build(address, [&](auto& p)
                              { p << slot << static_cast<osc::int32>(0) << preset.name.c_str(); })};
            }
            if (address == msg::presetSave && slot != 1)
                preset = {std::string(text).substr(0, 10), mode, currentBlockLines()};
            return {build(
                address, [&](auto& p)
                { p << slot << static_cast<osc::int32>(preset.mode) << preset.name.c_str(); })};
        }
        if (address == msg::lock || address == msg::unlock)
        {
            osc::int32 code = 0;
            args >> code >> osc::EndMessage;
            if (address == msg::lock)
                lock = code;
            else if (code == lock)
                lock = 0;
            return {build(msg::lock, [&](auto& p) { p << lock; })};
        }
        if (address == msg::ampName)
        {
            const char* text = nullptr;
            args >> text >> osc::EndMessage;
            ampName = std::string(text).substr(0, 10);
            return {build(msg::ampName, [&](auto& p) { p << ampName.c_str(); })};
        }
        // Only the Vorn series has the signal generator: a Zephyl line
        // amplifier leaves "/siggen" unanswered.
        if (address == msg::siggen && ! msg::isVornSeries(model))
            return {};
        if (address == msg::siggen || address == msg::speaker)
        {
            Cblock& block = address == msg::siggen ? static_cast<Cblock&>(signalGenerator)
                                                   : static_cast<Cblock&>(speakerLoad);
            if (! isQuery(m))
                block.receive(args);
            return {blockMessage(block, address)};
        }
        if (auto* node = findNode(std::string_view(address).substr(1), *root))
        {
            auto* block = dynamic_cast<Cblock*>(node);
            if (block == nullptr || block->getPath() != address)
                return {};
            if (! isQuery(m))
                block->receive(args); // clamped to range and step
            return {blockMessage(*block, address)};
        }
        return {};
    }
    catch (const osc::Exception&)
    {
        return {};
    }
}

} // namespace velmora::sim

#include "Blocks.h"

#include <osc/OscReceivedElements.h>

#include "Outbox.h"

namespace velmora
{
namespace
{

std::vector<std::string> peqTypes()
{
    return {"OFF", "PEQ", "LS6", "LS12", "HS6", "HS12"};
}

std::unique_ptr<Cparam> frequency(std::int32_t blockKind)
{
    return Cparam::logarithmic("freq", blockKind, 20.0f, 20000.0f, 600, "%k1f");
}

std::unique_ptr<Cparam> quality(std::int32_t blockKind)
{
    return Cparam::linear("qual", blockKind, 0.1f, 10.0f, 99, "%3.1f");
}

} // namespace

// ---------------------------------------------------------------------------

Cparam& Cblock::param(std::size_t index) const
{
    return static_cast<Cparam&>(*getChildren().at(index));
}

void Cblock::receive(osc::ReceivedMessageArgumentStream& args)
{
    // Every argument is read, and the end checked, before anything is stored:
    // a malformed message changes nothing.
    struct Value
    {
        const char* text = nullptr;
        osc::int32 integer = 0;
        float number = 0.0f;
    };
    std::array<Value, 8> values {};
    std::size_t count = 0;

    for (const auto& child : getChildren())
    {
        if (! child->isParameter())
            continue;
        const auto& p = static_cast<const Cparam&>(*child);
        if (! p.isOnWire() || count == values.size())
            continue;
        Value& v = values[count++];
        if (p.getKind() == kindChoice)
            args >> v.text;
        else if (p.getKind() == kindInteger)
            args >> v.integer;
        else
            args >> v.number;
    }
    args >> osc::EndMessage;

    std::size_t index = 0;
    for (const auto& child : getChildren())
    {
        if (! child->isParameter())
            continue;
        auto& p = static_cast<Cparam&>(*child);
        if (! p.isOnWire() || index == count)
            continue;
        const Value& v = values[index++];
        if (p.getKind() == kindChoice)
            p.readText(v.text);
        else if (p.getKind() == kindInteger)
            p.setStep(v.integer);
        else
            p.setValue(v.number);
    }
    sendChangeMessage();
}

std::unique_ptr<OutgoingMessage> Cblock::buildMessage(std::string_view address) const
{
    try
    {
        auto message = std::make_unique<OutgoingMessage>();
        auto& packet = message->packet();
        const std::string addressText(address);
        packet << osc::BeginMessage(addressText.c_str());
        for (const auto& child : getChildren())
        {
            if (! child->isParameter())
                continue;
            const auto& p = static_cast<const Cparam&>(*child);
            if (! p.isOnWire())
                continue;
            if (p.getKind() == kindChoice)
                packet << p.choiceText().c_str();
            else if (p.getKind() == kindInteger)
                packet << static_cast<osc::int32>(p.getStep());
            else
                packet << p.getValue();
        }
        packet << osc::EndMessage;
        return message;
    }
    catch (const osc::Exception&)
    {
        return nullptr; // does not fit the 64-byte buffer
    }
}

void Cblock::send(std::string_view address)
{
    auto message = buildMessage(address);
    if (message == nullptr)
        return;
    if (Outbox* outbox = currentOutbox())
        outbox->queueMessage(std::move(message));
}

// ---------------------------------------------------------------------------

Cpeq::Cpeq(int channel, int band) : Cblock(numberName(band), kindPeq, channel + 256 * band)
{
    addParams(Cparam::choice("type", kindPeq, peqTypes()), frequency(kindPeq),
              Cparam::linear("gain", kindPeq, -15.0f, 15.0f, 60, "%+5.1f"), quality(kindPeq));
}

Cpeqsection::Cpeqsection(int channel) : Cnode("peq", kindPeq, channel)
{
    for (int b = 1; b <= 8; ++b)
        bands[static_cast<std::size_t>(b - 1)] =
            &appendChild(*this, std::make_unique<Cpeq>(channel, b));
}

Cxover::Cxover(std::string name, std::int32_t id) : Cblock(std::move(name), kindXover, id)
{
    addParams(Cparam::choice("type", kindXover,
                             {"OFF", "BUT6", "BUT12", "BES12", "LR12", "BUT18", "BUT24", "BES24",
                              "LR24", "BUT48", "LR48"}),
              frequency(kindXover));
}

Cxovergain::Cxovergain(std::int32_t id) : Cblock("gain", kindXover, id)
{
    addParams(Cparam::linear("gain", kindXover, -12.0f, 12.0f, 48, "%+5.1f"));
}

Cxoversection::Cxoversection(int channel) : Cnode("xover", kindXover, channel)
{
    hp = &appendChild(*this, std::make_unique<Cxover>("hp", channel));
    lp = &appendChild(*this, std::make_unique<Cxover>("lp", channel + 256));
    gain = &appendChild(*this, std::make_unique<Cxovergain>(channel + 512));
}

Cdeqcomp::Cdeqcomp(std::int32_t id) : Cblock("comp", kindDeq, id)
{
    addParams(Cparam::linear("mgain", kindDeq, -15.0f, 15.0f, 60, "%+5.1f"),
              Cparam::linear("thres", kindDeq, -60.0f, 0.0f, 60, "%5.1f"),
              Cparam::linear("ratio", kindDeq, 2.0f, 100.0f, 196, "%3.1f"));
}

Cdeqtime::Cdeqtime(std::int32_t id) : Cblock("time", kindDeq, id)
{
    addParams(Cparam::linear("att", kindDeq, 0.0f, 200.0f, 400, "%4.1f"),
              Cparam::linear("rel", kindDeq, 20.0f, 4000.0f, 1592, "%5.1f"));
}

Cdeqfilt::Cdeqfilt(std::int32_t id) : Cblock("filt", kindDeq, id)
{
    addParams(Cparam::choice("type", kindDeq, {"OFF", "BP", "LP6", "LP12", "HP6", "HP12"}),
              frequency(kindDeq), quality(kindDeq));
}

Cdeq::Cdeq(int channel, int band) : Cnode(numberName(band), kindDeq, channel + 256 * band)
{
    const std::int32_t bandId = getId();
    comp = &appendChild(*this, std::make_unique<Cdeqcomp>(bandId + 0x10000));
    time = &appendChild(*this, std::make_unique<Cdeqtime>(bandId + 0x20000));
    filt = &appendChild(*this, std::make_unique<Cdeqfilt>(bandId + 0x40000));
}

Cdeqsection::Cdeqsection(int channel) : Cnode("deq", kindDeq, channel)
{
    for (int b = 1; b <= 2; ++b)
        bands[static_cast<std::size_t>(b - 1)] =
            &appendChild(*this, std::make_unique<Cdeq>(channel, b));
}

Cdelay::Cdelay(int channel) : Cblock("delay", kindDelay, channel)
{
    addParams(Cparam::linear("del", kindDelay, 0.0f, 300.0f, 30000, "%6.2f"),
              Cparam::integer("pol", kindDelay, 180, "%d"));
}

Climiter::Climiter(int channel) : Cblock("limiter", kindLimiter, channel)
{
    addParams(Cparam::linear("thres", kindLimiter, 0.1f, 200.0f, 19990, "%4.1f"),
              Cparam::linear("rel", kindLimiter, 20.0f, 4000.0f, 1592, "%5.1f"),
              Cparam::linear("hold", kindLimiter, 0.0f, 2000.0f, 800, "%5.1f"));
}

Cchannel::Cchannel(int channel) : Cnode(numberName(channel), kindChannel, channel)
{
    peq = &appendChild(*this, std::make_unique<Cpeqsection>(channel));
    xover = &appendChild(*this, std::make_unique<Cxoversection>(channel));
    deq = &appendChild(*this, std::make_unique<Cdeqsection>(channel));
    delay = &appendChild(*this, std::make_unique<Cdelay>(channel));
    limiter = &appendChild(*this, std::make_unique<Climiter>(channel));
}

Cioampmode::Cioampmode() : Cblock("ampmode", kindIo, 0)
{
    addParams(Cparam::choice("mode", kindIo, {"DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE"}));
}

Ciosiggen::Ciosiggen() : Cblock("siggen", kindIo, 0)
{
    addParams(Cparam::integer("input", kindIo, 3, "%d"),
              Cparam::linear("gain", kindIo, -40.0f, 0.0f, 80, "%+5.1f"), frequency(kindIo),
              Cparam::integer("scan", kindIo, 30, "%d", 5));
    scan().setOnWire(false);
    assignPath("/siggen");
}

Ciospeaker::Ciospeaker() : Cblock("speaker", kindSpeaker, 0)
{
    addParams(Cparam::integer("value", kindSpeaker, 100, "%d"));
    assignPath("/speaker");
}

Croot::Croot() : Cnode("/", kindRoot, 0)
{
    auto container = std::make_unique<Cnode>("channel", kindChannel, 0);
    for (int c = 1; c <= 2; ++c)
        channels[static_cast<std::size_t>(c - 1)] =
            &appendChild(*container, std::make_unique<Cchannel>(c));
    ampmode = &appendChild(*this, std::make_unique<Cioampmode>());
    channelContainer = &appendChild(*this, std::move(container));
}

std::unique_ptr<Croot> makeTree()
{
    auto root = std::make_unique<Croot>();
    buildPaths(*root);
    return root;
}

} // namespace velmora

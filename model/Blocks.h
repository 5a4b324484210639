#pragma once

#include <array>

#include "Cparam.h"
#include "Outbox.h"

namespace velmora
{

// A block: a node whose children are parameters. One block is exactly one OSC
// message; its arguments are its parameters in child order.
class Cblock : public Cnode
{
public:
    using Cnode::Cnode;

    void receive(osc::ReceivedMessageArgumentStream& args) override;
    void send(std::string_view address) override;

    // Builds the block's message without sending it.
    std::unique_ptr<OutgoingMessage> buildMessage(std::string_view address) const;

    Cparam& param(std::size_t index) const;

protected:
    template <typename... Params> void addParams(std::unique_ptr<Params>... params)
    {
        (appendChild(*this, std::move(params)), ...);
    }
};

// One parametric EQ band: type, freq, gain, qual.
class Cpeq : public Cblock
{
public:
    Cpeq(int channel, int band);
    Cparam& type() const { return param(0); }
    Cparam& freq() const { return param(1); }
    Cparam& gain() const { return param(2); }
    Cparam& qual() const { return param(3); }
};

class Cpeqsection : public Cnode
{
public:
    explicit Cpeqsection(int channel);
    std::array<Cpeq*, 8> bands {};
};

// High-pass or low-pass filter of the crossover: type, freq.
class Cxover : public Cblock
{
public:
    Cxover(std::string name, std::int32_t id);
    Cparam& type() const { return param(0); }
    Cparam& freq() const { return param(1); }
};

class Cxovergain : public Cblock
{
public:
    explicit Cxovergain(std::int32_t id);
    Cparam& gain() const { return param(0); }
};

class Cxoversection : public Cnode
{
public:
    explicit Cxoversection(int channel);
    Cxover* hp = nullptr;
    Cxover* lp = nullptr;
    Cxovergain* gain = nullptr;
};

class Cdeqcomp : public Cblock
{
public:
    explicit Cdeqcomp(std::int32_t id);
    Cparam& mgain() const { return param(0); }
    Cparam& thres() const { return param(1); }
    Cparam& ratio() const { return param(2); }
};

class Cdeqtime : public Cblock
{
public:
    explicit Cdeqtime(std::int32_t id);
    Cparam& att() const { return param(0); }
    Cparam& rel() const { return param(1); }
};

class Cdeqfilt : public Cblock
{
public:
    explicit Cdeqfilt(std::int32_t id);
    Cparam& type() const { return param(0); }
    Cparam& freq() const { return param(1); }
    Cparam& qual() const { return param(2); }
};

// One dynamic EQ band; its three children are the blocks.
class Cdeq : public Cnode
{
public:
    Cdeq(int channel, int band);
    Cdeqcomp* comp = nullptr;
    Cdeqtime* time = nullptr;
    Cdeqfilt* filt = nullptr;
};

class Cdeqsection : public Cnode
{
public:
    explicit Cdeqsection(int channel);
    std::array<Cdeq*, 2> bands {};
};

class Cdelay : public Cblock
{
public:
    explicit Cdelay(int channel);
    Cparam& del() const { return param(0); }
    Cparam& pol() const { return param(1); }
};

class Climiter : public Cblock
{
public:
    explicit Climiter(int channel);
    Cparam& thres() const { return param(0); }
    Cparam& rel() const { return param(1); }
    Cparam& hold() const { return param(2); }
};

// One output channel's chain of DSP functions.
class Cchannel : public Cnode
{
public:
    explicit Cchannel(int channel);
    Cpeqsection* peq = nullptr;
    Cxoversection* xover = nullptr;
    Cdeqsection* deq = nullptr;
    Cdelay* delay = nullptr;
    Climiter* limiter = nullptr;
};

// The amplifier mode: DUAL, STEREO, BIAMP1, BIAMP2, BRIDGE.
class Cioampmode : public Cblock
{
public:
    Cioampmode();
    Cparam& mode() const { return param(0); }
};

// The signal generator (outside the tree, owned by the Utility page), at the
// fixed address "/siggen". The sweep rate "scan" is not part of its message.
class Ciosiggen : public Cblock
{
public:
    Ciosiggen();
    Cparam& input() const { return param(0); }
    Cparam& gain() const { return param(1); }
    Cparam& freq() const { return param(2); }
    Cparam& scan() const { return param(3); }
};

// The speaker load (outside the tree, owned by the Configuration page), at the
// fixed address "/speaker".
class Ciospeaker : public Cblock
{
public:
    Ciospeaker();
    Cparam& value() const { return param(0); }
};

// The root of the settings tree: "ampmode", then the "channel" container with
// channels 1 and 2. Paths are built by the constructor's caller with
// buildPaths.
class Croot : public Cnode
{
public:
    Croot();
    std::array<Cchannel*, 2> channels {};
    Cioampmode* ampmode = nullptr;
    Cnode* channelContainer = nullptr;
};

// Builds a root and its paths in one step.
std::unique_ptr<Croot> makeTree();

} // namespace velmora

#pragma once

#include <array>
#include <memory>
#include <string_view>

#include <osc/OscOutboundPacketStream.h>

namespace velmora
{

// One finished OSC message, built in a 64-byte buffer: the size of one USB
// report, and the limit of every message the editor sends.
class OutgoingMessage
{
public:
    static constexpr std::size_t capacity = 64;

    OutgoingMessage() : stream(buffer.data(), buffer.size()) {}
    OutgoingMessage(const OutgoingMessage&) = delete;
    OutgoingMessage& operator=(const OutgoingMessage&) = delete;

    osc::OutboundPacketStream& packet() { return stream; }
    const char* data() const { return stream.Data(); }
    std::size_t size() const { return stream.Size(); }

    // The message's address, with its leading '/'.
    std::string_view address() const;

private:
    std::array<char, capacity> buffer {};
    osc::OutboundPacketStream stream;
};

// Where a block's finished message goes. The communicator implements it; the
// model does not know anything about transports.
class Outbox
{
public:
    virtual ~Outbox() = default;
    virtual void queueMessage(std::unique_ptr<OutgoingMessage> message) = 0;
};

// The process-wide outbox that blocks send to (the communicator while it
// exists). Messages sent while none is set are dropped.
void setOutbox(Outbox* outbox);
Outbox* currentOutbox();

} // namespace velmora

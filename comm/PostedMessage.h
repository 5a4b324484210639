#pragma once

#include <memory>

#include <juce_events/juce_events.h>

namespace velmora
{

// What a transport posts to the communicator's message listener: a received
// packet (kind 0) or a change of device state (kind 1). Handled on the GUI
// thread, in the order posted.
struct PostedMessage : juce::Message
{
    enum Kind
    {
        packet = 0,
        status = 1
    };
    enum Source
    {
        fromUsb = 2,
        fromUdp = 3
    };
    enum Status
    {
        usbLost = -1,
        networkLost = -2
    };

    PostedMessage(int magic, int kind, int code, std::unique_ptr<juce::MemoryBlock> block = {})
        : intParameter1(magic), intParameter2(kind), intParameter3(code),
          pointerParameter(std::move(block))
    {
    }

    int intParameter1; // the communicator's magic
    int intParameter2; // kind
    int intParameter3; // packet: source; status: family opened (> 0) or a loss code
    // Packet: bytes 0-3 the sender's IPv4 address (network order; zeros for
    // USB), then the OSC message.
    std::unique_ptr<juce::MemoryBlock> pointerParameter;
};

} // namespace velmora

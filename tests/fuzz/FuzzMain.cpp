// libFuzzer entry: the whole path of a received packet.
#include <juce_events/juce_events.h>

#include "PacketPath.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    juce::MessageManager::getInstance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    velmora::fuzz::feedPacket(data, size);
    return 0;
}

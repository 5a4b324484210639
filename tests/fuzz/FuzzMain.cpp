// libFuzzer entry: the whole path of a received packet.
#include <cstdio>
#include <cstdlib>

#include <juce_events/juce_events.h>

#include "PacketPath.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    juce::MessageManager::getInstance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto disagreement = velmora::fuzz::feedPacket(data, size))
    {
        std::fprintf(stderr, "packet check and decoder disagree: %s\n", disagreement->c_str());
        std::abort();
    }
    return 0;
}

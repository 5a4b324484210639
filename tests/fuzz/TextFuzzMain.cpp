// libFuzzer entry for one of the text readers; VELMORA_FUZZ_FEED names the
// function of TextPaths.h it drives.
#include <cstdio>
#include <cstdlib>

#include <juce_events/juce_events.h>

#include "TextPaths.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    juce::MessageManager::getInstance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto fault = velmora::fuzz::VELMORA_FUZZ_FEED(data, size))
    {
        std::fprintf(stderr, "%s\n", fault->c_str());
        std::abort();
    }
    return 0;
}

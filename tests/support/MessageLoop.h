#pragma once

#include <functional>

#include <juce_events/juce_events.h>

namespace velmora::test
{

// Runs the message loop until `done` holds or `timeoutMs` have passed.
// Returns whether `done` held.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 2000)
{
    const auto deadline =
        juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(timeoutMs);
    while (! done())
    {
        if (juce::Time::getMillisecondCounter() >= deadline)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
    }
    return true;
}

// Runs the message loop for a fixed time, to let pending messages arrive.
inline void pumpFor(int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(ms);
}

} // namespace velmora::test

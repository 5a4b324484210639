#pragma once

#include <functional>
#include <vector>

#include "Cnode.h"

namespace velmora::kit
{

// The one way a user's edit reaches the settings: every page hands each
// change to `apply`, so that an undo history or an A/B compare has one place
// to watch. An edit first sets parameters, then the blocks it names send
// themselves, each once and in the order given, after everything is set (so
// no block goes out half-changed). `quiet` names blocks the edit also touches
// without sending them (a linked channel's copy that the amplifier follows by
// itself).
class EditHub
{
public:
    struct Edit
    {
        std::vector<Cnode*> send;
        std::vector<Cnode*> quiet;
    };

    // `change` sets the parameters and tells what to send.
    void apply(const std::function<Edit()>& change);
    // The same, when the blocks to send are known beforehand.
    void apply(std::vector<Cnode*> send, const std::function<void()>& change,
               std::vector<Cnode*> quiet = {});

    // Watchers see every edit after it was applied (an undo history would
    // keep them); the editor itself has none yet.
    std::function<void(const Edit&)> watcher;
};

} // namespace velmora::kit

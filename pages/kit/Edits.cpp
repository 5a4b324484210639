#include "Edits.h"

namespace velmora::kit
{

void EditHub::apply(const std::function<Edit()>& change)
{
    const Edit edit = change ? change() : Edit {};
    std::vector<Cnode*> sent;
    for (Cnode* block : edit.send)
    {
        if (block == nullptr)
            continue;
        // Each block once, even when two steps of an edit name it.
        bool twice = false;
        for (Cnode* b : sent)
            twice = twice || b == block;
        if (twice)
            continue;
        block->send(block->getPath());
        sent.push_back(block);
    }
    if (watcher)
        watcher(edit);
}

void EditHub::apply(std::vector<Cnode*> send, const std::function<void()>& change,
                    std::vector<Cnode*> quiet)
{
    apply(
        [&]
        {
            if (change)
                change();
            return Edit {std::move(send), std::move(quiet)};
        });
}

} // namespace velmora::kit

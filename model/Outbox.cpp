#include "Outbox.h"

#include <atomic>
#include <cstring>

namespace velmora
{
namespace
{
std::atomic<Outbox*> processOutbox {nullptr};
}

std::string_view OutgoingMessage::address() const
{
    const std::size_t n = size();
    return std::string_view(data(), strnlen(data(), n));
}

void setOutbox(Outbox* outbox)
{
    processOutbox = outbox;
}

Outbox* currentOutbox()
{
    return processOutbox;
}

} // namespace velmora

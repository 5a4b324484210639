#include "Cnode.h"

#include "Cparam.h"
#include "ValueText.h"

namespace velmora
{

Cnode::Cnode(std::string nodeName, std::int32_t nodeKind, std::int32_t nodeId)
    : name(std::move(nodeName)), kind(nodeKind), id(nodeId)
{
}

Cnode::~Cnode()
{
    // Children first, depth-first, then the node itself.
    while (! children.empty())
        children.pop_back();
}

bool Cnode::hasParameterChildren() const
{
    for (const auto& child : children)
        if (child->isParameter())
            return true;
    return false;
}

void Cnode::propagate()
{
    for (const auto& child : children)
        if (! child->isParameter())
            child->propagate();
}

void Cnode::receive(osc::ReceivedMessageArgumentStream&) {}

void Cnode::send(std::string_view) {}

int Cnode::readText(std::string_view text)
{
    std::size_t pos = 0;
    for (const auto& child : children)
    {
        if (! child->isParameter())
            continue;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const int read = child->readText(text.substr(pos));
        if (read < 1)
            return -1;
        sendChangeMessage();
        pos += static_cast<std::size_t>(read);
        if (pos < text.size() && text[pos] == ' ')
            ++pos;
        else
            break;
    }
    return 0;
}

int Cnode::writeText(std::string& out) const
{
    for (const auto& child : children)
    {
        if (! child->isParameter())
            continue;
        out += ' ';
        if (child->writeText(out) == 0)
            break;
    }
    return 0;
}

int Cnode::writeFileText(std::string& out) const
{
    for (const auto& child : children)
    {
        if (! child->isParameter())
            continue;
        out += ' ';
        if (child->writeFileText(out) == 0)
            break;
    }
    return 0;
}

std::string Cnode::text() const
{
    std::string out;
    writeText(out);
    return out;
}

std::string Cnode::fileText() const
{
    std::string out;
    writeFileText(out);
    return out;
}

Cnode& appendChildNode(Cnode& parent, std::unique_ptr<Cnode> child)
{
    child->parent = &parent;
    parent.children.push_back(std::move(child));
    return *parent.children.back();
}

void buildPaths(Cnode& node)
{
    for (const auto& child : node.children)
    {
        child->path = node.path + "/" + child->name;
        buildPaths(*child);
    }
}

namespace
{
bool isAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

Cnode* findNode(std::string_view address, Cnode& from)
{
    Cnode* current = &from;
    while (! address.empty())
    {
        std::size_t run = 0;
        while (run < address.size() && isAsciiAlnum(address[run]))
            ++run;
        if (run == 0)
            return nullptr;

        const std::string_view segment = address.substr(0, run);
        Cnode* found = nullptr;
        for (const auto& child : current->getChildren())
        {
            if (child->getName().compare(0, run, segment) == 0 && child->getName().size() >= run)
            {
                found = child.get();
                break;
            }
        }
        if (found == nullptr)
            return nullptr;

        if (run < address.size() && address[run] == '/')
        {
            address.remove_prefix(run + 1);
            current = found;
            continue;
        }
        return found;
    }
    return nullptr;
}

std::string typeTags(const Cnode& block)
{
    std::string tags;
    for (const auto& child : block.getChildren())
    {
        switch (child->getKind())
        {
            case kindInteger:
                tags += 'i';
                break;
            case kindChoice:
                tags += 's';
                break;
            case kindLinear:
            case kindLogarithmic:
                tags += 'f';
                break;
            default:
                break;
        }
    }
    return tags;
}

void forEachBlock(Cnode& node, const std::function<void(Cnode&)>& callback)
{
    for (const auto& child : node.getChildren())
    {
        if (child->hasParameterChildren())
            callback(*child);
        forEachBlock(*child, callback);
    }
}

std::string numberName(int n)
{
    return formatText("%d", {n});
}

} // namespace velmora

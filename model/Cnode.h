#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <juce_events/juce_events.h>

namespace osc
{
class ReceivedMessageArgumentStream;
}

namespace velmora
{

// Kind codes of the nodes. Bit 0x40 marks a parameter.
enum NodeKind : std::int32_t
{
    kindRoot = 0,
    kindChannel = 1,
    kindPeq = 2,
    kindXover = 3,
    kindDeq = 4,
    kindDelay = 5,
    kindLimiter = 6,
    kindIo = 9,
    kindSpeaker = 10,
    kindParameter = 0x40,
    kindInteger = 0x40,
    kindChoice = 0x41,
    kindLinear = 0x42,
    kindLogarithmic = 0x43,
};

// A named node of the settings tree. Its children, in the order they were
// appended, form its part of the OSC address space; the order is also the
// order of a block's OSC arguments, its text fields and every traversal.
class Cnode : public juce::ChangeBroadcaster
{
public:
    Cnode(std::string name, std::int32_t kind, std::int32_t id);
    ~Cnode() override;

    Cnode(const Cnode&) = delete;
    Cnode& operator=(const Cnode&) = delete;

    const std::string& getName() const { return name; }
    const std::string& getPath() const { return path; }
    std::int32_t getKind() const { return kind; }
    std::int32_t getId() const { return id; }
    bool isParameter() const { return (kind & kindParameter) != 0; }

    Cnode* getParent() const { return parent; }
    const std::vector<std::unique_ptr<Cnode>>& getChildren() const { return children; }
    bool hasParameterChildren() const;

    // Has no effect of its own; kept for symmetry with the node operations.
    virtual void propagate();

    // A block stores the values of an incoming message. Throws oscpack's
    // exceptions on a missing, mistyped or excess argument, before anything is
    // stored. Nodes that are not blocks ignore the message.
    virtual void receive(osc::ReceivedMessageArgumentStream& args);

    // A block builds its OSC message with `address` and hands it to the
    // process-wide outbox. Nodes that are not blocks send nothing.
    virtual void send(std::string_view address);

    // Reads the block's parameter values from text, fields separated by
    // spaces. Returns 0, or -1 when a field could not be read (the fields read
    // so far keep their new values).
    virtual int readText(std::string_view text);

    // Appends the block's values as text, one space before each value.
    virtual int writeText(std::string& out) const;

    // Like writeText, but every value reads back with readText to exactly the
    // step it holds, so saving a preset and loading it changes nothing.
    virtual int writeFileText(std::string& out) const;

    // Convenience: the block's text form as shown, and as written to files.
    std::string text() const;
    std::string fileText() const;

protected:
    // For the blocks that live outside the tree: their fixed address.
    void assignPath(std::string address) { path = std::move(address); }

private:
    friend Cnode& appendChildNode(Cnode& parent, std::unique_ptr<Cnode> child);
    friend void buildPaths(Cnode& node);

    std::string name;
    std::string path;
    std::int32_t kind;
    std::int32_t id;
    Cnode* parent = nullptr;
    std::vector<std::unique_ptr<Cnode>> children;
};

Cnode& appendChildNode(Cnode& parent, std::unique_ptr<Cnode> child);

template <typename T> T& appendChild(Cnode& parent, std::unique_ptr<T> child)
{
    return static_cast<T&>(appendChildNode(parent, std::move(child)));
}

// Gives every node below `node` its OSC address: the parent's path, "/" and
// the node's name.
void buildPaths(Cnode& node);

// Looks up an address given WITHOUT its leading "/". Each segment may be
// abbreviated: the first child whose name begins with the segment wins.
Cnode* findNode(std::string_view address, Cnode& from);

// One character per parameter child: 'i' integer, 's' choice, 'f' float.
std::string typeTags(const Cnode& block);

// Calls `callback` for every block (node with parameter children) below
// `node`, depth-first in child order: the order of the preset file.
void forEachBlock(Cnode& node, const std::function<void(Cnode&)>& callback);

// A node name made from a number ("1", "2", ...).
std::string numberName(int n);

} // namespace velmora

#include <gtest/gtest.h>

#include "FakePeer.h"
#include "MessageLoop.h"
#include "Messages.h"
#include "PostedMessage.h"
#include "UdpConnection.h"

using namespace velmora;
using namespace velmora::test;

namespace
{

struct Collector : juce::MessageListener
{
    std::vector<juce::MemoryBlock> blocks;
    void handleMessage(const juce::Message& m) override
    {
        const auto& posted = dynamic_cast<const PostedMessage&>(m);
        EXPECT_EQ(posted.intParameter1, msg::messageMagic);
        EXPECT_EQ(posted.intParameter2, PostedMessage::packet);
        EXPECT_EQ(posted.intParameter3, PostedMessage::fromUdp);
        blocks.push_back(*posted.pointerParameter);
    }
};

TEST(UdpConnection, PassesOnlyDatagramsThatFitAndAreWholeWords)
{
    Collector collector;
    UdpConnection udp(collector, msg::messageMagic, sharedPortDatagramPlatform());
    udp.openSocket("127.0.0.2");
    ASSERT_TRUE(udp.hasSocket());
    FakePeer peer("127.0.0.2");

    const struct
    {
        std::size_t length;
        bool passed;
    } cases[] = {{128, true}, {129, false}, {6, false}, {0, false}, {8, true}, {132, false}};
    for (const auto& c : cases)
        peer.sendToEditor(Bytes(c.length, 'a'));
    peer.sendToEditor(Bytes(4, 'z')); // the end marker

    ASSERT_TRUE(pumpUntil(
        [&] { return ! collector.blocks.empty() && collector.blocks.back().getSize() == 8; }));
    ASSERT_EQ(collector.blocks.size(), 3u);
    EXPECT_EQ(collector.blocks[0].getSize(), 132u);
    EXPECT_EQ(collector.blocks[1].getSize(), 12u);
    // Bytes 0-3: the sender's address as the socket reported it.
    std::uint32_t sender = 0;
    std::memcpy(&sender, collector.blocks[0].getData(), 4);
    EXPECT_EQ(dottedAddress(sender), "127.0.0.2");
    EXPECT_EQ(static_cast<const char*>(collector.blocks[0].getData())[4], 'a');
}

TEST(UdpConnection, SendsToThePeerAndRepointsOnReopen)
{
    Collector collector;
    UdpConnection udp(collector, msg::messageMagic, sharedPortDatagramPlatform());
    udp.openSocket("127.0.0.2");
    FakePeer first("127.0.0.2"), second("127.0.0.3");
    const Bytes hello = oscBytes("/online");
    EXPECT_TRUE(udp.sendToPeer(hello.data(), hello.size()));
    ASSERT_TRUE(first.waitFor([](const auto& r) { return r.size() == 1; }, 2000));

    udp.reopen("127.0.0.3");
    EXPECT_EQ(dottedAddress(*udp.peerAddress()), "127.0.0.3");
    EXPECT_TRUE(udp.sendToPeer(hello.data(), hello.size()));
    ASSERT_TRUE(second.waitFor([](const auto& r) { return r.size() == 1; }, 2000));
    EXPECT_EQ(first.received().size(), 1u);

    // Still receiving after the new socket took over.
    second.sendToEditor(hello);
    ASSERT_TRUE(pumpUntil([&] { return collector.blocks.size() == 1; }));

    EXPECT_TRUE(udp.sendToAddress("127.0.0.2", hello.data(), hello.size()));
    ASSERT_TRUE(first.waitFor([](const auto& r) { return r.size() == 2; }, 2000));
}

TEST(UdpConnection, AnUnresolvableNameLeavesNoSocket)
{
    Collector collector;
    UdpConnection udp(collector, msg::messageMagic, sharedPortDatagramPlatform());
    udp.openSocket("no-such-host.invalid");
    ASSERT_TRUE(pumpUntil([&] { return ! udp.hasSocket(); }));
    const Bytes hello = oscBytes("/online");
    EXPECT_FALSE(udp.sendToPeer(hello.data(), hello.size()));
    EXPECT_FALSE(udp.sendToAddress("no-such-host.invalid", hello.data(), hello.size()));
    // A new address starts afresh.
    udp.reopen("127.0.0.2");
    EXPECT_TRUE(udp.hasSocket());
}

TEST(UdpConnection, TheEditorsPortIsItsAlone)
{
    Collector collector;
    UdpConnection udp(collector, msg::messageMagic, systemDatagramPlatform());
    udp.openSocket("127.0.0.2");
    ASSERT_TRUE(udp.hasSocket());
    // Another program cannot bind port 3456 beside the editor and take the
    // amplifier's answers, even when it asks for address reuse.
    FakePeer intruder("127.0.0.2");
    EXPECT_FALSE(intruder.isBound());
}

} // namespace

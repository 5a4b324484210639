#include <gtest/gtest.h>

#include <osc/OscOutboundPacketStream.h>
#include <osc/OscReceivedElements.h>

#include "Blocks.h"
#include "MessageLoop.h"
#include "Outbox.h"

using namespace velmora;

namespace
{

// Collects what blocks send.
struct CapturingOutbox : Outbox
{
    std::vector<std::unique_ptr<OutgoingMessage>> messages;
    void queueMessage(std::unique_ptr<OutgoingMessage> m) override
    {
        messages.push_back(std::move(m));
    }
};

struct ChangeCounter : juce::ChangeListener
{
    int count = 0;
    void changeListenerCallback(juce::ChangeBroadcaster*) override { ++count; }
};

// Builds an OSC message with oscpack and lets `block` receive it.
template <typename... Args> void deliver(Cnode& block, const char* address, Args... args)
{
    char buffer[128];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage(address);
    (p << ... << args);
    p << osc::EndMessage;
    osc::ReceivedMessage message(
        osc::ReceivedPacket(p.Data(), static_cast<osc::osc_bundle_element_size_t>(p.Size())));
    auto stream = message.ArgumentStream();
    block.receive(stream);
}

class Blocks : public ::testing::Test
{
protected:
    void SetUp() override { setOutbox(&outbox); }
    void TearDown() override { setOutbox(nullptr); }

    std::unique_ptr<Croot> root = makeTree();
    CapturingOutbox outbox;
    Cchannel& ch1() { return *root->channels[0]; }
    Cchannel& ch2() { return *root->channels[1]; }
};

TEST_F(Blocks, ReceiveStoresNearestStepsAndBroadcastsOnce)
{
    Cpeq& band = *ch1().peq->bands[2];
    ChangeCounter counter;
    band.addChangeListener(&counter);

    deliver(band, "/channel/1/peq/3", "LS6", 120.0f, -3.2f, 0.7f);
    EXPECT_EQ(band.type().getStep(), 2);
    EXPECT_NEAR(band.freq().getValue(), 120.0f, 0.01f);
    EXPECT_NE(band.freq().rawStep() % 1000, 0); // held at thousandth resolution
    EXPECT_EQ(band.gain().getValue(), -3.0f);
    EXPECT_FLOAT_EQ(band.qual().getValue(), 0.7f);

    EXPECT_TRUE(test::pumpUntil([&] { return counter.count > 0; }));
    test::pumpFor(20);
    EXPECT_EQ(counter.count, 1);
    band.removeChangeListener(&counter);
}

TEST_F(Blocks, ReceiveClampsIntoRange)
{
    Climiter& limiter = *ch2().limiter;
    deliver(limiter, "/channel/2/limiter", 50.0f, 100.0f, 500.0f);
    EXPECT_EQ(limiter.text(), " 50.0 100.0 500.0");
    deliver(limiter, "/channel/2/limiter", 50.0f, 10.0f, 500.0f);
    EXPECT_EQ(limiter.rel().getValue(), 20.0f);

    Cdelay& delay = *ch1().delay;
    deliver(delay, "/channel/1/delay", 12.345f, osc::int32(270));
    EXPECT_FLOAT_EQ(delay.del().getValue(), 12.35f);
    EXPECT_EQ(delay.pol().getStep(), 180);

    Ciospeaker speaker;
    deliver(speaker, "/speaker", osc::int32(-4));
    EXPECT_EQ(speaker.value().getStep(), 0);
}

TEST_F(Blocks, MalformedArgumentListsChangeNothing)
{
    ChangeCounter counter;
    Cxover& hp = *ch1().xover->hp;
    hp.addChangeListener(&counter);
    const std::string before = hp.text();

    EXPECT_THROW(deliver(hp, "/channel/1/xover/hp", "LR24", 19999.0f, 1.0f),
                 osc::ExcessArgumentException);
    EXPECT_THROW(deliver(hp, "/channel/1/xover/hp", "LR24"), osc::MissingArgumentException);
    EXPECT_THROW(deliver(hp, "/channel/1/xover/hp", 19999.0f, "LR24"),
                 osc::WrongArgumentTypeException);
    EXPECT_EQ(hp.text(), before);

    Cxovergain& gain = *ch1().xover->gain;
    gain.addChangeListener(&counter);
    EXPECT_THROW(deliver(gain, "/channel/1/xover/gain", osc::int32(3)),
                 osc::WrongArgumentTypeException);
    EXPECT_EQ(gain.gain().getStep(), 0);

    Ciosiggen siggen;
    EXPECT_THROW(deliver(siggen, "/siggen", osc::int32(1), -10.0f, 1000.0f, osc::int32(9)),
                 osc::ExcessArgumentException);
    EXPECT_EQ(siggen.input().getStep(), 0);

    test::pumpFor(30);
    EXPECT_EQ(counter.count, 0);
    hp.removeChangeListener(&counter);
    gain.removeChangeListener(&counter);
}

TEST_F(Blocks, UnmatchedChoiceKeepsTheChoiceButStoresTheRest)
{
    Cdeqfilt& filt = *ch1().deq->bands[0]->filt;
    deliver(filt, "/channel/1/deq/1/filt", "HP12", 500.0f, 2.0f);
    deliver(filt, "/channel/1/deq/1/filt", "NOPE", 800.0f, 3.0f);
    EXPECT_EQ(filt.type().choiceText(), "HP12");
    EXPECT_NEAR(filt.freq().getValue(), 800.0f, 0.1f);
    EXPECT_FLOAT_EQ(filt.qual().getValue(), 3.0f);
}

TEST_F(Blocks, DeviceBlocks)
{
    Cioampmode& mode = *root->ampmode;
    deliver(mode, "/ampmode", "BRIDGE");
    EXPECT_EQ(mode.mode().getStep(), 4);
    deliver(mode, "/ampmode", "BI");
    EXPECT_EQ(mode.mode().getStep(), 4);
    deliver(mode, "/ampmode", "BIAMP2X");
    EXPECT_EQ(mode.mode().getStep(), 3);

    Ciosiggen siggen;
    deliver(siggen, "/siggen", osc::int32(5), -10.0f, 1000.0f);
    EXPECT_EQ(siggen.input().getStep(), 3);
    EXPECT_EQ(siggen.gain().getValue(), -10.0f);
    EXPECT_NEAR(siggen.freq().getValue(), 1000.0f, 0.01f);
    EXPECT_EQ(siggen.scan().getStep(), 5); // stays local to the page
}

TEST_F(Blocks, SendBuildsOneMessageWithTheBlocksArguments)
{
    Cpeq& band = *ch1().peq->bands[0];
    ASSERT_EQ(band.readText("LS12 40.0 +0.0 1.0"), 0);
    band.send(band.getPath());
    ASSERT_EQ(outbox.messages.size(), 1u);
    const auto& m = *outbox.messages[0];
    EXPECT_EQ(m.address(), "/channel/1/peq/1");
    EXPECT_EQ(m.size(), 48u);

    osc::ReceivedMessage received(
        osc::ReceivedPacket(m.data(), static_cast<osc::osc_bundle_element_size_t>(m.size())));
    EXPECT_STREQ(received.TypeTags(), "sfff");
    auto args = received.ArgumentStream();
    const char* type = nullptr;
    float f = 0, g = 0, q = 0;
    args >> type >> f >> g >> q >> osc::EndMessage;
    EXPECT_STREQ(type, "LS12");
    EXPECT_NEAR(f, 40.0f, 0.01f);
    EXPECT_EQ(g, 0.0f);
    EXPECT_FLOAT_EQ(q, 1.0f);

    Ciosiggen siggen;
    siggen.send("/siggen");
    osc::ReceivedMessage s(osc::ReceivedPacket(
        outbox.messages[1]->data(),
        static_cast<osc::osc_bundle_element_size_t>(outbox.messages[1]->size())));
    EXPECT_STREQ(s.TypeTags(), "iff");
}

TEST_F(Blocks, WithoutAnOutboxSendDropsTheMessage)
{
    setOutbox(nullptr);
    ch1().delay->send(ch1().delay->getPath());
    EXPECT_TRUE(outbox.messages.empty());
}

// Gives every parameter of `block` a value away from its start.
void scramble(Cnode& block, int seed)
{
    for (const auto& child : block.getChildren())
    {
        auto& p = static_cast<Cparam&>(*child);
        const int span = p.getKind() == kindLogarithmic ? p.getMaxStep() / 1000
                                                        : p.getMaxStep() - p.getMinStep();
        p.setStep(p.getMinStep() + (seed * 7 + 3) % (span + 1));
        ++seed;
    }
}

TEST_F(Blocks, EveryBlockRoundTripsThroughItsOscBytes)
{
    auto other = makeTree();
    int seed = 1;
    int blocks = 0;
    forEachBlock(*root,
                 [&](Cnode& block)
                 {
                     scramble(block, seed++);
                     block.send(block.getPath());
                     ASSERT_FALSE(outbox.messages.empty());
                     const auto& m = *outbox.messages.back();
                     EXPECT_EQ(m.address(), block.getPath());

                     Cnode* twin = findNode(block.getPath().substr(1), *other);
                     ASSERT_NE(twin, nullptr);
                     osc::ReceivedMessage received(osc::ReceivedPacket(
                         m.data(), static_cast<osc::osc_bundle_element_size_t>(m.size())));
                     EXPECT_EQ(std::string(received.TypeTags()), typeTags(block));
                     auto args = received.ArgumentStream();
                     twin->receive(args);
                     for (std::size_t i = 0; i < block.getChildren().size(); ++i)
                     {
                         const auto& a = static_cast<const Cparam&>(*block.getChildren()[i]);
                         const auto& b = static_cast<const Cparam&>(*twin->getChildren()[i]);
                         EXPECT_EQ(a.rawStep(), b.rawStep()) << a.getPath();
                     }
                     ++blocks;
                 });
    EXPECT_EQ(blocks, 39);
}

TEST_F(Blocks, TextFormOfBlocks)
{
    Cpeq& band = *ch1().peq->bands[4];
    ASSERT_EQ(band.readText("PEQ 1k 0 1"), 0);
    EXPECT_EQ(band.text(), " PEQ 1k00  +0.0 1.0");

    ChangeCounter counter;
    Cpeq& other = *ch1().peq->bands[1];
    other.addChangeListener(&counter);
    other.qual().setValue(2.0f);
    EXPECT_EQ(other.readText("  LS12   40.0 +0.0"), 0);
    EXPECT_EQ(other.type().choiceText(), "LS12");
    EXPECT_NEAR(other.freq().getValue(), 40.0f, 0.01f);
    EXPECT_FLOAT_EQ(other.qual().getValue(), 2.0f);
    EXPECT_TRUE(test::pumpUntil([&] { return counter.count > 0; }));
    other.removeChangeListener(&counter);

    const std::string before = band.text();
    EXPECT_EQ(band.readText("XYZ 1k00"), -1);
    EXPECT_EQ(band.text(), before);

    band.gain().setValue(6.0f);
    EXPECT_EQ(band.readText("LS12 1k00 abc"), -1);
    EXPECT_EQ(band.type().choiceText(), "LS12");
    EXPECT_NEAR(band.freq().getValue(), 1000.0f, 0.01f);
    EXPECT_EQ(band.gain().getValue(), 0.0f);

    Cdeqcomp& comp = *ch1().deq->bands[0]->comp;
    comp.mgain().setValue(5.0f);
    EXPECT_EQ(comp.readText("abc"), -1);
    EXPECT_EQ(comp.mgain().getValue(), 0.0f);

    EXPECT_EQ(root->channelContainer->text(), "");
}

} // namespace

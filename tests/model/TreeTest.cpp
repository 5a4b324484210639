#include <gtest/gtest.h>

#include "Blocks.h"

using namespace velmora;

namespace
{

class Tree : public ::testing::Test
{
protected:
    std::unique_ptr<Croot> root = makeTree();

    Cnode* find(std::string_view address) { return findNode(address, *root); }
};

int countNodes(const Cnode& node)
{
    int n = 1;
    for (const auto& child : node.getChildren())
        n += countNodes(*child);
    return n;
}

TEST_F(Tree, HasOneHundredSeventyNodesWithAmpmodeBeforeChannel)
{
    EXPECT_EQ(countNodes(*root), 170);
    ASSERT_EQ(root->getChildren().size(), 2u);
    EXPECT_EQ(root->getChildren()[0]->getName(), "ampmode");
    EXPECT_EQ(root->getChildren()[1]->getName(), "channel");
    EXPECT_EQ(root->getPath(), "");
    EXPECT_EQ(root->channels[1]->peq->bands[2]->getPath(), "/channel/2/peq/3");
    EXPECT_EQ(root->channels[0]->peq->bands[0]->freq().getPath(), "/channel/1/peq/1/freq");
}

TEST_F(Tree, ForEachBlockVisitsTheThirtyNineBlocksInPresetOrder)
{
    std::vector<std::string> paths;
    forEachBlock(*root, [&](Cnode& block) { paths.push_back(block.getPath()); });

    std::vector<std::string> expected {"/ampmode"};
    for (int c = 1; c <= 2; ++c)
    {
        const std::string ch = "/channel/" + std::to_string(c);
        for (int b = 1; b <= 8; ++b)
            expected.push_back(ch + "/peq/" + std::to_string(b));
        for (const char* x : {"/xover/hp", "/xover/lp", "/xover/gain"})
            expected.push_back(ch + x);
        for (int b = 1; b <= 2; ++b)
            for (const char* part : {"comp", "time", "filt"})
                expected.push_back(ch + "/deq/" + std::to_string(b) + "/" + part);
        expected.push_back(ch + "/delay");
        expected.push_back(ch + "/limiter");
    }
    EXPECT_EQ(paths, expected);
}

TEST_F(Tree, FindNodeMatchesSegmentsAsPrefixes)
{
    EXPECT_EQ(find("channel/1/peq/3"), root->channels[0]->peq->bands[2]);
    EXPECT_EQ(find("/channel/1/peq/3"), nullptr);
    EXPECT_EQ(find("channel/1/peq/3/"), nullptr);
    EXPECT_EQ(find("channel/3/peq/1"), nullptr);
    EXPECT_EQ(find("channel/10"), nullptr);
    EXPECT_EQ(find("ch/2/xo/lp"), root->channels[1]->xover->lp);
    EXPECT_EQ(find("channel_x"), root->channelContainer);
    EXPECT_EQ(find("ch/1/p/3"), root->channels[0]->peq->bands[2]);
    EXPECT_EQ(find("channel/1/d"), root->channels[0]->deq);
    EXPECT_EQ(find("channel/1/delay"), root->channels[0]->delay);
    EXPECT_EQ(find("ampmode"), root->ampmode);
    EXPECT_EQ(find(""), nullptr);
    EXPECT_EQ(find("channel/1/peq/1/freq"), &root->channels[0]->peq->bands[0]->freq());
}

TEST_F(Tree, TypeTagsOfBlocksAndOtherNodes)
{
    EXPECT_EQ(typeTags(*root->channels[0]->peq->bands[0]), "sfff");
    EXPECT_EQ(typeTags(*root->channels[0]->delay), "fi");
    EXPECT_EQ(typeTags(*root->channels[0]->xover->hp), "sf");
    EXPECT_EQ(typeTags(*root->channels[0]->deq->bands[0]->time), "ff");
    EXPECT_EQ(typeTags(*root), "");
    EXPECT_EQ(typeTags(*root->channels[0]), "");
    EXPECT_EQ(typeTags(Ciosiggen()), "iffi");
    EXPECT_EQ(typeTags(Ciospeaker()), "i");
}

TEST_F(Tree, BlockIdsNameChannelAndPlace)
{
    const auto& ch2 = *root->channels[1];
    EXPECT_EQ(ch2.peq->bands[2]->getId(), 2 + 256 * 3);
    EXPECT_EQ(ch2.xover->hp->getId(), 2);
    EXPECT_EQ(ch2.xover->lp->getId(), 2 + 256);
    EXPECT_EQ(ch2.xover->gain->getId(), 2 + 512);
    EXPECT_EQ(ch2.deq->bands[1]->filt->getId(), 2 + 512 + 0x40000);
    EXPECT_EQ(ch2.deq->bands[0]->comp->getId(), 2 + 256 + 0x10000);
    EXPECT_EQ(ch2.peq->bands[0]->gain().getId(), kindPeq);
    EXPECT_EQ(ch2.delay->pol().getId(), kindDelay);
}

TEST_F(Tree, EveryParameterStartsAtItsLowestStep)
{
    forEachBlock(*root,
                 [](Cnode& block)
                 {
                     for (const auto& child : block.getChildren())
                     {
                         const auto& p = static_cast<const Cparam&>(*child);
                         EXPECT_EQ(p.rawStep(), p.getMinStep()) << p.getPath();
                     }
                 });
    Ciosiggen siggen;
    EXPECT_EQ(siggen.scan().getStep(), 5);
    EXPECT_FLOAT_EQ(siggen.gain().getValue(), -40.0f);
    EXPECT_FLOAT_EQ(siggen.freq().getValue(), 20.0f);
}

} // namespace

#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "Blocks.h"
#include "ValueText.h"

using namespace velmora;

namespace
{

// Every float parameter the editor knows, one of each kind (the channels
// repeat the same parameters), keyed by what tells them apart.
std::vector<Cparam*> distinctFloatParameters(Cnode& root, Cnode& siggen)
{
    std::vector<Cparam*> found;
    std::set<std::string> seen;
    auto visit = [&](Cnode& block)
    {
        for (const auto& child : block.getChildren())
        {
            auto* p = dynamic_cast<Cparam*>(child.get());
            if (p == nullptr || (p->getKind() != kindLinear && p->getKind() != kindLogarithmic))
                continue;
            p->setStep(p->getMinStep());
            const std::string low = p->text();
            p->setStep(p->getMaxStep());
            const std::string key = p->getName() + std::to_string(p->getKind()) + "/" +
                                    std::to_string(p->getMaxStep()) + low + p->text();
            p->setStep(0);
            p->setValue(0.0f);
            if (seen.insert(key).second)
                found.push_back(p);
        }
    };
    forEachBlock(root, visit);
    visit(siggen);
    return found;
}

std::string fileTextOf(const Cparam& p)
{
    std::string out;
    p.writeFileText(out);
    return out;
}

// Reads `text` as a preset file's reader does: the block reader skips the
// blanks before a field, then the parameter reads it.
std::int32_t rawAfterReading(Cparam& p, const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    p.setStep(p.getMinStep());
    EXPECT_EQ(p.readText(text.substr(i)), static_cast<int>(text.size() - i)) << text;
    return p.rawStep();
}

TEST(FileText, EveryStepOfEveryFloatParameterReadsBackToItself)
{
    auto root = makeTree();
    Ciosiggen siggen;
    const auto params = distinctFloatParameters(*root, siggen);
    ASSERT_GE(params.size(), 10u); // peq, xover, deq, delay, limiter and siggen values

    for (Cparam* p : params)
    {
        const bool log = p->getKind() == kindLogarithmic;
        // Logarithmic parameters hold thousandths of a step: every one of them
        // can come from a file or an amplifier, so every one must survive.
        for (std::int32_t raw = 0; raw <= p->getMaxStep(); ++raw)
        {
            if (log)
            {
                // between two whole steps, at thousandth (raw % 1000)
                p->setStep(raw / 1000);
                if (raw % 1000 != 0)
                {
                    const double min = p->getValue();
                    p->setStep(raw / 1000 + 1);
                    const double max = p->getValue();
                    p->setValue(
                        static_cast<float>(min * std::pow(max / min, (raw % 1000) / 1000.0)));
                }
            }
            else
            {
                p->setStep(raw);
            }
            const std::int32_t held = p->rawStep();
            const std::string shown = p->text();
            const std::string written = fileTextOf(*p);
            ASSERT_EQ(rawAfterReading(*p, written), held)
                << p->getName() << " shown '" << shown << "' written '" << written << "'";
            // Where the shown text already reads back, the file keeps it.
            if (rawAfterReading(*p, shown) == held)
            {
                ASSERT_EQ(written, shown) << p->getName();
            }
            ASSERT_EQ(written.find(' ', written.find_first_not_of(' ')), std::string::npos)
                << "a value must stay one field: '" << written << "'";
        }
    }
}

TEST(FileText, TheReportedLossesComeBackExactlyAndGridValuesKeepTheirText)
{
    auto root = makeTree();
    auto& band = *root->channels[0]->peq->bands[0];
    auto& comp = *root->channels[0]->deq->bands[0]->comp;
    auto& limiter = *root->channels[0]->limiter;
    auto& delay = *root->channels[0]->delay;
    struct Case
    {
        Cparam& param;
        const char* typed; // as a preset file or the amplifier gives it
    };
    const Case lost[] = {{band.qual(), "1.3"},      {band.freq(), "1219"},
                         {delay.del(), "2.12"},     {comp.ratio(), "10.5"},
                         {limiter.thres(), "0.29"}, {limiter.thres(), "100.5"}};
    for (const auto& c : lost)
    {
        ASSERT_GT(c.param.readText(c.typed), 0);
        const std::int32_t held = c.param.rawStep();
        EXPECT_NE(rawAfterReading(c.param, c.param.text()), held) << c.typed << ": shown text";
        c.param.readText(c.typed);
        EXPECT_EQ(rawAfterReading(c.param, fileTextOf(c.param)), held) << c.typed;
    }
    band.qual().setStep(9);
    EXPECT_EQ(fileTextOf(band.qual()), "1.0");
    band.freq().setValue(1000.0f);
    EXPECT_EQ(fileTextOf(band.freq()), "1k00");
    limiter.thres().setValue(100.0f);
    EXPECT_EQ(fileTextOf(limiter.thres()), " 100");
}

} // namespace

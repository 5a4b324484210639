#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "Blocks.h"
#include "ValueText.h"

using namespace velmora;

namespace
{

auto frequency()
{
    return Cparam::logarithmic("freq", kindPeq, 20.0f, 20000.0f, 600, "%k1f");
}

auto gain()
{
    return Cparam::linear("gain", kindPeq, -15.0f, 15.0f, 60, "%+5.1f");
}

TEST(Logarithmic, WholeStepsThousandthsAndClamps)
{
    auto f = frequency();
    f->setStep(600);
    EXPECT_EQ(f->getValue(), 20000.0f);
    f->setStep(601);
    EXPECT_EQ(f->getStep(), 600);
    f->setStep(400);
    EXPECT_NEAR(f->getValue(), 2000.0f, 0.01f);

    f->setValue(1000.0f);
    EXPECT_EQ(f->rawStep(), 339794);
    EXPECT_EQ(f->getStep(), 339);
    // 1000.0001 as printed: the float just above 1000.
    EXPECT_EQ(f->getValue(), std::nextafter(1000.0f, 2000.0f));

    f->setStep(339);
    EXPECT_NEAR(f->getValue(), 990.9f, 0.05f);

    for (float low : {0.0f, 10.0f, -5.0f, -std::numeric_limits<float>::infinity()})
    {
        f->setStep(300);
        f->setValue(low);
        EXPECT_EQ(f->rawStep(), 0) << low;
        EXPECT_EQ(f->getValue(), 20.0f) << low;
    }
    for (float high : {1e30f, std::numeric_limits<float>::infinity()})
    {
        f->setStep(300);
        f->setValue(high);
        EXPECT_EQ(f->getStep(), 600) << high;
    }

    f->setStep(599);
    f->addSteps(5);
    EXPECT_EQ(f->getStep(), 600);
    f->addSteps(-1000);
    EXPECT_EQ(f->getStep(), 0);
}

TEST(Linear, NearestStepWithHalfGoingUp)
{
    auto g = gain();
    const struct
    {
        float in;
        int step;
        float value;
    } cases[] = {{0.25f, 31, 0.5f},   {0.24f, 30, 0.0f},  {99.0f, 60, 15.0f},
                 {-99.0f, 0, -15.0f}, {-3.2f, 24, -3.0f}, {1e38f, 60, 15.0f}};
    for (const auto& c : cases)
    {
        g->setValue(c.in);
        EXPECT_EQ(g->getStep(), c.step) << c.in;
        EXPECT_EQ(g->getValue(), c.value) << c.in;
    }
    g->setStep(59);
    g->addSteps(3);
    EXPECT_EQ(g->getStep(), 60);
}

TEST(Parameters, NotANumberSetsNothing)
{
    auto g = gain();
    auto f = Cparam::logarithmic("freq", kindPeq, 20.0f, 20000.0f, 600, "%k1f");
    auto pol = Cparam::integer("pol", kindDelay, 180, "%d");
    auto del = Cparam::linear("del", kindDelay, 0.0f, 300.0f, 30000, "%6.2f");
    for (Cparam* p : {g.get(), f.get(), pol.get(), del.get()})
    {
        p->setStep(7);
        const auto before = p->rawStep();
        p->setValue(std::nanf(""));
        EXPECT_EQ(p->rawStep(), before) << p->getName();
    }
    // A typed 30000000 ms, or a number of 40 digits (infinite as a float),
    // lands on the range's edge.
    del->setValue(3.0e7f);
    EXPECT_EQ(del->getValue(), 300.0f);
    float huge = 0;
    EXPECT_EQ(del->readText(std::string(40, '9')), 40);
    EXPECT_EQ(del->getValue(), 300.0f);
    EXPECT_EQ(parseFloat(std::string(40, '9'), huge), 40);
    EXPECT_TRUE(std::isinf(huge));
}

TEST(IntegerAndChoice, WholePartAndClamping)
{
    auto pol = Cparam::integer("pol", kindDelay, 180, "%d");
    pol->setValue(90.9f);
    EXPECT_EQ(pol->getStep(), 90);
    pol->setStep(270);
    EXPECT_EQ(pol->getStep(), 180);
    pol->setStep(-4);
    EXPECT_EQ(pol->getStep(), 0);

    auto scan = Cparam::integer("scan", kindIo, 30, "%d", 5);
    EXPECT_EQ(scan->getStep(), 5);
    scan->setStep(0);
    EXPECT_EQ(scan->getStep(), 5);
}

TEST(ParameterText, ChoiceReadsByPrefixInTableOrder)
{
    auto type = Cparam::choice("type", kindPeq, {"OFF", "PEQ", "LS6", "LS12", "HS6", "HS12"});
    EXPECT_EQ(type->readText("PEQX"), 3);
    EXPECT_EQ(type->getStep(), 1);
    EXPECT_EQ(type->readText("XYZ"), 0);
    EXPECT_EQ(type->getStep(), 1);
    EXPECT_EQ(type->readText("LS12"), 4); // "LS6" comes first in the table but is no prefix
    EXPECT_EQ(type->getStep(), 3);
    std::string out;
    EXPECT_EQ(type->writeText(out), 4);
    EXPECT_EQ(out, "LS12");
}

TEST(ParameterText, IntegerTextIsClampedIntoRange)
{
    // A hand-edited preset must not push an out-of-range value to the amplifier.
    auto pol = Cparam::integer("pol", kindDelay, 180, "%d");
    EXPECT_EQ(pol->readText("270"), 3);
    EXPECT_EQ(pol->getStep(), 180);
    EXPECT_EQ(pol->readText("-5"), 2);
    EXPECT_EQ(pol->getStep(), 0);

    auto scan = Cparam::integer("scan", kindIo, 30, "%d", 5);
    EXPECT_EQ(scan->readText("0"), 1);
    EXPECT_EQ(scan->getStep(), 5);
}

TEST(ParameterText, FloatTextWithoutANumberCountsAsZero)
{
    auto g = gain();
    g->setValue(6.0f);
    EXPECT_EQ(g->readText("abc"), 0);
    EXPECT_EQ(g->getValue(), 0.0f);

    auto f = frequency();
    EXPECT_EQ(f->readText("2k00"), 4);
    EXPECT_NEAR(f->getValue(), 2000.0f, 0.01f);
    std::string out;
    f->writeText(out);
    EXPECT_EQ(out, "2k00");
}

} // namespace

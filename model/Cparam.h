#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "Cnode.h"

namespace velmora
{

// A parameter: one clamped step value of one of four kinds. The value is fully
// determined by `step`; there is no separately stored float.
class Cparam : public Cnode
{
public:
    static std::unique_ptr<Cparam> integer(std::string name, std::int32_t blockKind,
                                           std::int32_t maxStep, std::string format,
                                           std::int32_t minStep = 0);
    static std::unique_ptr<Cparam> choice(std::string name, std::int32_t blockKind,
                                          std::vector<std::string> choices);
    static std::unique_ptr<Cparam> linear(std::string name, std::int32_t blockKind, float minValue,
                                          float maxValue, std::int32_t maxStep, std::string format);
    static std::unique_ptr<Cparam> logarithmic(std::string name, std::int32_t blockKind,
                                               float minValue, float maxValue, std::int32_t steps,
                                               std::string format);

    float getValue() const;
    void setValue(float x);

    // Whole steps; a logarithmic parameter keeps thousandths internally.
    std::int32_t getStep() const;
    void setStep(std::int32_t n);
    void addSteps(std::int32_t delta);
    // Takes `other`'s exact position (a logarithmic parameter's thousandths
    // too), for copies that must equal their original.
    void copyStep(const Cparam& other) { setRawClamped(other.step); }

    // The raw position (thousandths of a step for logarithmic parameters).
    std::int32_t rawStep() const { return step; }
    std::int32_t getMinStep() const { return minStep; }
    std::int32_t getMaxStep() const { return maxStep; }
    // The current choice text (choice parameters), else empty.
    std::string choiceText() const;

    // Whether the parameter travels in the block's OSC message; the signal
    // generator's sweep rate stays on the page.
    bool isOnWire() const { return onWire; }
    void setOnWire(bool b) { onWire = b; }

    int readText(std::string_view text) override;
    int writeText(std::string& out) const override;
    int writeFileText(std::string& out) const override;
    void propagate() override;

private:
    Cparam(std::string name, std::int32_t kind, std::int32_t blockKind);
    void setRawClamped(double s);
    std::int32_t clampedRaw(double s) const;
    std::int32_t rawFor(float x) const;
    // Whether reading `text` (leading spaces allowed) gives back the raw step
    // held (a frequency's thousandths too: they are what the amplifier gets).
    bool readsBack(std::string_view text) const;

    std::int32_t minStep = 0;
    std::int32_t maxStep = 0;
    float minValue = 0.0f;
    float maxValue = 0.0f;
    float logIncrement = 0.0f;
    std::int32_t step = 0;
    std::string format;
    std::vector<std::string> choices;
    bool onWire = true;
};

} // namespace velmora

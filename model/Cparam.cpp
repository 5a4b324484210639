#include "Cparam.h"

#include <cmath>

#include "ValueText.h"

namespace velmora
{

Cparam::Cparam(std::string paramName, std::int32_t paramKind, std::int32_t blockKind)
    : Cnode(std::move(paramName), paramKind, blockKind)
{
}

std::unique_ptr<Cparam> Cparam::integer(std::string name, std::int32_t blockKind,
                                        std::int32_t maxStep, std::string format,
                                        std::int32_t minStep)
{
    std::unique_ptr<Cparam> p(new Cparam(std::move(name), kindInteger, blockKind));
    p->minStep = minStep;
    p->maxStep = maxStep;
    p->step = minStep;
    p->format = std::move(format);
    return p;
}

std::unique_ptr<Cparam> Cparam::choice(std::string name, std::int32_t blockKind,
                                       std::vector<std::string> choices)
{
    std::unique_ptr<Cparam> p(new Cparam(std::move(name), kindChoice, blockKind));
    p->maxStep = static_cast<std::int32_t>(choices.size()) - 1;
    p->choices = std::move(choices);
    return p;
}

std::unique_ptr<Cparam> Cparam::linear(std::string name, std::int32_t blockKind, float minValue,
                                       float maxValue, std::int32_t maxStep, std::string format)
{
    std::unique_ptr<Cparam> p(new Cparam(std::move(name), kindLinear, blockKind));
    p->minValue = minValue;
    p->maxValue = maxValue;
    p->maxStep = maxStep;
    p->format = std::move(format);
    return p;
}

std::unique_ptr<Cparam> Cparam::logarithmic(std::string name, std::int32_t blockKind,
                                            float minValue, float maxValue, std::int32_t steps,
                                            std::string format)
{
    std::unique_ptr<Cparam> p(new Cparam(std::move(name), kindLogarithmic, blockKind));
    p->minValue = minValue;
    p->maxValue = maxValue;
    p->maxStep = steps * 1000;
    const float ratio = static_cast<float>(static_cast<double>(maxValue) / minValue);
    const float logRatio = static_cast<float>(std::log(static_cast<double>(ratio)));
    p->logIncrement = static_cast<float>(static_cast<double>(logRatio) / p->maxStep);
    p->format = std::move(format);
    return p;
}

// Clamps in floating point before converting, so that any number, however
// large, lands on the range's edge.
std::int32_t Cparam::clampedRaw(double s) const
{
    if (std::isnan(s) || s <= minStep)
        return minStep;
    if (s >= maxStep)
        return maxStep;
    return static_cast<std::int32_t>(s); // toward zero
}

void Cparam::setRawClamped(double s)
{
    step = clampedRaw(s);
}

float Cparam::getValue() const
{
    switch (getKind())
    {
        case kindLinear:
        {
            const float v = static_cast<float>(
                (static_cast<double>(maxValue) - static_cast<double>(minValue)) * step / maxStep +
                minValue);
            return v > maxValue ? maxValue : v;
        }
        case kindLogarithmic:
        {
            const float exponent = static_cast<float>(step * static_cast<double>(logIncrement));
            const float e = static_cast<float>(std::exp(static_cast<double>(exponent)));
            const float v = static_cast<float>(static_cast<double>(e) * minValue);
            return v > maxValue ? maxValue : v;
        }
        default:
            return static_cast<float>(step);
    }
}

void Cparam::setValue(float x)
{
    // Not a number (from a hand-edited file or a broken answer) is no value at
    // all: the parameter keeps what it has.
    if (std::isnan(x))
        return;
    step = rawFor(x);
}

std::int32_t Cparam::rawFor(float x) const
{
    switch (getKind())
    {
        case kindLinear:
            return clampedRaw(std::trunc((static_cast<double>(x) - minValue) * maxStep /
                                             (static_cast<double>(maxValue) - minValue) +
                                         0.5));
        case kindLogarithmic:
        {
            if (! (x > 0.0f))
                return minStep;
            const float ratio = static_cast<float>(static_cast<double>(x) / minValue);
            const float logRatio = static_cast<float>(std::log(static_cast<double>(ratio)));
            return clampedRaw(std::trunc(static_cast<double>(logRatio) / logIncrement + 0.5));
        }
        default:
            return clampedRaw(std::trunc(static_cast<double>(x)));
    }
}

std::int32_t Cparam::getStep() const
{
    return getKind() == kindLogarithmic ? step / 1000 : step;
}

void Cparam::setStep(std::int32_t n)
{
    const double scale = getKind() == kindLogarithmic ? 1000.0 : 1.0;
    setRawClamped(static_cast<double>(n) * scale);
}

void Cparam::addSteps(std::int32_t delta)
{
    const double target = static_cast<double>(getStep()) + delta;
    const double scale = getKind() == kindLogarithmic ? 1000.0 : 1.0;
    setRawClamped(target * scale);
}

std::string Cparam::choiceText() const
{
    if (getKind() != kindChoice || step < 0 || step >= static_cast<std::int32_t>(choices.size()))
        return {};
    return choices[static_cast<std::size_t>(step)];
}

int Cparam::readText(std::string_view text)
{
    switch (getKind())
    {
        case kindInteger:
        {
            std::int32_t value = 0;
            const int read = parseInteger(text, value);
            // Clamped like every other way in: a typed or hand-edited value
            // outside the range must not reach the amplifier.
            setRawClamped(value);
            return read;
        }
        case kindChoice:
            for (std::size_t i = 0; i < choices.size(); ++i)
            {
                if (text.substr(0, choices[i].size()) == choices[i])
                {
                    step = static_cast<std::int32_t>(i);
                    return static_cast<int>(choices[i].size());
                }
            }
            return 0;
        default:
        {
            float value = 0.0f;
            const int read = parseFloat(text, value);
            setValue(value);
            return read;
        }
    }
}

int Cparam::writeText(std::string& out) const
{
    switch (getKind())
    {
        case kindInteger:
            return formatText(out, format, {step});
        case kindChoice:
        {
            const std::string t = choiceText();
            out += t;
            return static_cast<int>(t.size());
        }
        default:
            return formatText(out, format, {static_cast<double>(getValue())});
    }
}

bool Cparam::readsBack(std::string_view text) const
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    float value = 0.0f;
    if (parseFloat(text.substr(i), value) < 1 || std::isnan(value))
        return false;
    return rawFor(value) == step;
}

int Cparam::writeFileText(std::string& out) const
{
    if (getKind() != kindLinear && getKind() != kindLogarithmic)
        return writeText(out);
    const double value = static_cast<double>(getValue());
    // The shown text where it reads back (it does for most values, and files
    // then look as they always have); otherwise the fewest further digits
    // that do. The formatter truncates, so more digits always come nearer.
    std::string text = formatText(format, {value});
    const bool thousands = format.find('k') != std::string::npos;
    const bool sign = format.find('+') != std::string::npos;
    for (int digits = 1; digits <= 9 && ! readsBack(text); ++digits)
    {
        const std::string longer = std::string("%") + (sign ? "+" : "") + (thousands ? "k" : ".") +
                                   std::to_string(digits) + "f";
        text = formatText(longer, {value});
    }
    out += text;
    return static_cast<int>(text.size());
}

void Cparam::propagate()
{
    if (getParent() != nullptr)
        getParent()->propagate();
}

} // namespace velmora

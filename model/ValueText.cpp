#include "ValueText.h"

#include <cmath>
#include <limits>

namespace velmora
{
namespace
{

struct Directive
{
    int width = 0;
    int precision = 0;
    char pad = ' ';
    bool plusRequested = false;
    bool precisionMode = false;
    bool hasWidth = false;
    bool thousands = false;
};

// Truncation toward zero that stays defined for values an int cannot hold.
int truncToInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (x <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(x);
}

float toFloat(double x)
{
    return static_cast<float>(x);
}

template <typename T> const T* argAs(std::initializer_list<FormatArg> args, std::size_t index)
{
    if (index >= args.size())
        return nullptr;
    return std::get_if<T>(args.begin() + index);
}

void writeInteger(std::string& out, const Directive& d, std::uint32_t magnitude, bool negative,
                  std::uint32_t radix)
{
    static constexpr char digitChars[] = "0123456789abcdef";
    const bool sign = negative || d.plusRequested;

    int digits = 1;
    std::uint64_t power = 1;
    while (power * radix <= magnitude && power * radix <= 0xffffffffull)
    {
        power *= radix;
        ++digits;
    }

    int pad = d.width - digits - (sign ? 1 : 0);
    bool signWritten = false;
    if (sign && d.pad == '0')
    {
        out += negative ? '-' : '+';
        signWritten = true;
    }
    if (pad > 0)
        out.append(static_cast<std::size_t>(pad), d.pad);
    if (sign && ! signWritten)
        out += negative ? '-' : '+';

    std::uint64_t rest = magnitude;
    for (; power > 0; power /= radix)
    {
        out += digitChars[rest / power];
        rest %= power;
    }
}

void writeFixed(std::string& out, Directive d, double argument)
{
    // Every step works in single precision, as the amplifier's own texts do.
    float v = toFloat(argument);
    const bool negative = v < 0.0f;
    if (negative)
        v = -v;
    const bool sign = negative || d.plusRequested;

    char separator = '.';
    if (d.thousands && v >= 1000.0f)
    {
        v = toFloat(static_cast<double>(v) / 1000.0);
        d.precision += 1;
        separator = 'k';
    }

    int integerDigits = 1;
    float place = 1.0f;
    if (v >= 10.0f)
    {
        place = 10.0f;
        integerDigits = 2;
        // The bound keeps an infinite value from looping forever.
        while (toFloat(static_cast<double>(place) * 10.0) <= v && integerDigits < 40)
        {
            place = toFloat(static_cast<double>(place) * 10.0);
            ++integerDigits;
        }
    }

    int room = d.width - (sign ? 1 : 0) - (d.precisionMode ? 1 : 0) - integerDigits;
    bool signWritten = false;
    if (sign && d.pad == '0')
    {
        out += negative ? '-' : '+';
        signWritten = true;
    }
    if (room == 0 && d.precisionMode && separator == '.')
        out += d.pad;
    if (room > d.precision)
    {
        out.append(static_cast<std::size_t>(room - d.precision), d.pad);
        room = d.precision;
    }
    if (sign && ! signWritten)
        out += negative ? '-' : '+';

    for (int i = 0; i < integerDigits; ++i)
    {
        const int digit = truncToInt(static_cast<double>(v) / place);
        out += digit > 9 ? '#' : static_cast<char>('0' + (digit < 0 ? 0 : digit));
        v = toFloat(static_cast<double>(v) - static_cast<double>(digit) * place);
        place = toFloat(static_cast<double>(place) / 10.0);
    }

    const int fractionDigits = d.hasWidth ? room : d.precision;
    if (fractionDigits > 0)
    {
        out += separator;
        for (int i = 0; i < fractionDigits; ++i)
        {
            v = toFloat(static_cast<double>(v) * 10.0);
            const int digit = truncToInt(v);
            v = toFloat(static_cast<double>(v) - digit);
            out += digit > 9 ? '9' : static_cast<char>('0' + (digit < 0 ? 0 : digit));
        }
    }
}

} // namespace

int formatText(std::string& out, std::string_view format, std::initializer_list<FormatArg> args)
{
    const std::size_t start = out.size();
    std::size_t argIndex = 0;
    std::size_t i = 0;

    while (i < format.size())
    {
        const char c = format[i++];
        if (c != '%')
        {
            out += c;
            continue;
        }

        Directive d;
        char conversion = 0;
        while (i < format.size())
        {
            const char m = format[i++];
            if (m == '+')
                d.plusRequested = true;
            else if (m >= '0' && m <= '9')
            {
                if (m == '0' && d.width == 0)
                    d.pad = '0';
                if (d.precisionMode)
                    d.precision = d.precision * 10 + (m - '0');
                else
                {
                    d.width = d.width * 10 + (m - '0');
                    d.hasWidth = true;
                }
            }
            else if (m == '.')
                d.precisionMode = true;
            else if (m == 'k')
            {
                d.precisionMode = true;
                d.thousands = true;
            }
            else
            {
                conversion = m;
                break;
            }
        }
        if (conversion == 0)
            break; // the format ended inside a directive

        switch (conversion)
        {
            case 'd':
            {
                const auto* value = argAs<std::int32_t>(args, argIndex++);
                const std::int32_t n = value ? *value : 0;
                const bool negative = n < 0;
                const auto magnitude =
                    negative ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
                writeInteger(out, d, magnitude, negative, 10);
                break;
            }
            case 'x':
            {
                const auto* value = argAs<std::int32_t>(args, argIndex++);
                writeInteger(out, d, static_cast<std::uint32_t>(value ? *value : 0), false, 16);
                break;
            }
            case 'c':
            {
                const auto* value = argAs<std::int32_t>(args, argIndex++);
                out += static_cast<char>((value ? *value : 0) & 0xff);
                break;
            }
            case 's':
            {
                const auto* value = argAs<std::string_view>(args, argIndex++);
                const std::string_view text = value ? *value : std::string_view {};
                if (d.width > 0)
                {
                    const auto width = static_cast<std::size_t>(d.width);
                    const std::string_view shown = text.substr(0, width);
                    out += shown;
                    out.append(width - shown.size(), ' ');
                }
                else
                    out += text;
                break;
            }
            case 'f':
            {
                const auto* value = argAs<double>(args, argIndex++);
                writeFixed(out, d, value ? *value : 0.0);
                break;
            }
            case 'n':
                if (d.width > 0)
                {
                    if (i >= format.size())
                        return static_cast<int>(out.size() - start);
                    out.append(static_cast<std::size_t>(d.width), format[i++]);
                }
                break;
            case '%':
                out += '%';
                break;
            default:
                out += '?';
                break;
        }
    }
    return static_cast<int>(out.size() - start);
}

namespace
{
// A sign is accepted at the first position only. Returns where the digits
// start.
std::size_t readSign(std::string_view text, bool& negative)
{
    negative = ! text.empty() && text[0] == '-';
    return ! text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
}
} // namespace

int parseInteger(std::string_view text, std::int32_t& result)
{
    result = 0;
    if (text.empty())
        return 0;

    bool negative = false;
    std::size_t pos = readSign(text, negative);
    // Unsigned arithmetic: the value wraps at 32 bits without undefined behaviour.
    std::uint32_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        value = value * 10u + static_cast<std::uint32_t>(text[pos++] - '0');

    if (negative)
        value = 0u - value;
    result = static_cast<std::int32_t>(value);
    return static_cast<int>(pos);
}

int parseFloat(std::string_view text, float& result)
{
    result = 0.0f;
    if (text.empty())
        return 0;

    bool negative = false;
    std::size_t pos = readSign(text, negative);

    float a = 0.0f;
    float weight = 0.1f;
    bool fraction = false;
    for (; pos < text.size(); ++pos)
    {
        const char c = text[pos];
        if (c >= '0' && c <= '9')
        {
            const int digit = c - '0';
            if (fraction)
            {
                a = toFloat(static_cast<double>(a) + digit * static_cast<double>(weight));
                weight = toFloat(static_cast<double>(weight) / 10.0);
            }
            else
                a = toFloat(static_cast<double>(a) * 10.0 + digit);
        }
        else if (c == '.')
        {
            if (fraction)
                break;
            fraction = true;
        }
        else if (c == 'k')
        {
            if (fraction)
                break;
            a = toFloat(static_cast<double>(a) * 1000.0);
            weight = 100.0f;
            fraction = true;
        }
        else
            break;
    }
    result = negative ? -a : a;
    return static_cast<int>(pos);
}

} // namespace velmora

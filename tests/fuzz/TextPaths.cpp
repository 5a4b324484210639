#include "TextPaths.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "Blocks.h"
#include "Cparam.h"
#include "ValueText.h"
#include "presetDocument.h"

namespace velmora::fuzz
{
namespace
{

// One settings store in a private folder for the whole run: the reader never
// touches it, the document only needs one.
SettingsStore& settings()
{
    static const juce::File folder = juce::File::createTempFile("velmora-fuzz");
    static SettingsStore store(
        [&]
        {
            auto options = SettingsStore::defaultOptions();
            options.folderName = folder.getFullPathName();
            return options;
        }());
    return store;
}

void collectParameters(Cnode& node, std::vector<Cparam*>& out)
{
    for (const auto& child : node.getChildren())
    {
        if (child->isParameter())
            out.push_back(static_cast<Cparam*>(child.get()));
        else
            collectParameters(*child, out);
    }
}

std::optional<std::string> outOfRange(Cnode& node)
{
    std::vector<Cparam*> parameters;
    collectParameters(node, parameters);
    for (const Cparam* p : parameters)
        if (p->getStep() < p->getMinStep() || p->getStep() > p->getMaxStep())
            return p->getPath() + " left its range: step " + std::to_string(p->getStep());
    return std::nullopt;
}

std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace

std::string defaultPresetText()
{
    auto tree = makeTree();
    presetDocument document(*tree, settings());
    return document.buildPresetText();
}

std::optional<std::string> feedPresetText(const std::uint8_t* data, std::size_t size)
{
    // One tree and document for the run, put back to the default before each
    // input: a fresh tree per input would cost most of the time, and each one
    // would leave its blocks' change messages queued behind it.
    static auto pristine = []
    {
        auto tree = makeTree();
        presetDocument loadsTheDefault(*tree, settings());
        return tree;
    }();
    static auto root = makeTree();
    static presetDocument doc(*root, settings());
    static const auto pairs = []
    {
        std::vector<Cparam*> from, to;
        collectParameters(*pristine, from);
        collectParameters(*root, to);
        std::vector<std::pair<Cparam*, Cparam*>> both;
        for (std::size_t i = 0; i < from.size(); ++i)
            both.emplace_back(from[i], to[i]);
        return both;
    }();
    for (const auto& [from, to] : pairs)
        to->copyStep(*from);
    doc.setPresetTitle({});

    doc.applyPresetText(asText(data, size));
    if (auto fault = outOfRange(*root))
        return fault;
    // The settings, not the title line: a title is shown, not sent.
    const auto settingsLines = [](const std::string& text) { return text.substr(text.find('\n')); };
    const std::string written = settingsLines(doc.buildPresetText());
    doc.applyPresetText(doc.buildPresetText());
    const std::string again = settingsLines(doc.buildPresetText());
    if (again != written)
        return "the written text does not read back:\n" + written + "\n---\n" + again;
    return std::nullopt;
}

std::optional<std::string> feedNumberText(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = asText(data, size);

    std::int32_t integer = 0;
    const int intRead = parseInteger(text, integer);
    if (intRead < 0 || static_cast<std::size_t>(intRead) > size)
        return "parseInteger read " + std::to_string(intRead) + " of " + std::to_string(size);
    // The reference: an optional sign, then digits, modulo 2^32.
    std::size_t pos = 0;
    const bool negative = ! text.empty() && text[0] == '-';
    if (! text.empty() && (text[0] == '-' || text[0] == '+'))
        ++pos;
    std::uint64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        magnitude = (magnitude * 10 + static_cast<std::uint64_t>(text[pos] - '0')) % (1ull << 32);
    const auto expected = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(negative ? (1ull << 32) - magnitude : magnitude));
    if (static_cast<std::size_t>(intRead) != (text.empty() ? 0 : pos) || integer != expected)
        return "parseInteger: " + std::to_string(integer) + " after " + std::to_string(intRead) +
               ", reference " + std::to_string(expected) + " after " + std::to_string(pos);
    std::int32_t prefixInteger = 0;
    if (parseInteger(text.substr(0, static_cast<std::size_t>(intRead)), prefixInteger) != intRead ||
        prefixInteger != integer)
        return "parseInteger reads its own prefix differently";

    float number = 0.0f;
    const int floatRead = parseFloat(text, number);
    if (floatRead < 0 || static_cast<std::size_t>(floatRead) > size)
        return "parseFloat read " + std::to_string(floatRead) + " of " + std::to_string(size);
    if (std::isnan(number))
        return "parseFloat gave NaN";
    float prefixNumber = 0.0f;
    if (parseFloat(text.substr(0, static_cast<std::size_t>(floatRead)), prefixNumber) !=
            floatRead ||
        std::memcmp(&prefixNumber, &number, sizeof number) != 0)
        return "parseFloat reads its own prefix differently";
    return std::nullopt;
}

std::optional<std::string> feedParameterText(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return std::nullopt;
    static auto root = makeTree();
    static Ciosiggen siggen;
    static Ciospeaker speaker;
    static const std::vector<Cparam*> parameters = []
    {
        std::vector<Cparam*> all;
        collectParameters(*root, all);
        collectParameters(siggen, all);
        collectParameters(speaker, all);
        return all;
    }();
    Cparam& p = *parameters[data[0] % parameters.size()];
    const std::string_view text = asText(data + 1, size - 1);
    const int read = p.readText(text);
    if (read < 0 || static_cast<std::size_t>(read) > text.size())
        return p.getPath() + " read " + std::to_string(read) + " of " +
               std::to_string(text.size());
    if (p.getStep() < p.getMinStep() || p.getStep() > p.getMaxStep())
        return p.getPath() + " left its range: step " + std::to_string(p.getStep());
    std::string out;
    p.writeText(out);
    p.writeFileText(out);
    return std::nullopt;
}

} // namespace velmora::fuzz

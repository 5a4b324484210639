// Every input the text fuzzers kept goes through the same reader again.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "TextPaths.h"

namespace
{

using Feed = std::optional<std::string> (*)(const std::uint8_t*, std::size_t);

struct Corpus
{
    const char* folder;
    Feed feed;
};

const Corpus corpora[] {
    {"preset-corpus", velmora::fuzz::feedPresetText},
    {"number-corpus", velmora::fuzz::feedNumberText},
    {"parameter-corpus", velmora::fuzz::feedParameterText},
};

TEST(TextFuzzCorpus, EveryKeptInputKeepsTheReadersProperties)
{
    for (const auto& corpus : corpora)
    {
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(VELMORA_SOURCE_DIR) / "tests/fuzz" / corpus.folder))
        {
            if (! entry.is_regular_file())
                continue;
            ++files;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
            SCOPED_TRACE(std::string(corpus.folder) + "/" + entry.path().filename().string());
            const auto fault =
                corpus.feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            EXPECT_FALSE(fault.has_value()) << fault.value_or("");
        }
        EXPECT_GT(files, 0) << corpus.folder;
    }
}

} // namespace

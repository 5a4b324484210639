// Every input the packet fuzzer kept, and every input that once crashed it,
// goes through the same path again.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "PacketPath.h"

namespace
{

std::vector<std::filesystem::path> inputs()
{
    std::vector<std::filesystem::path> files;
    for (const char* dir : {"corpus", "crashes"})
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(VELMORA_SOURCE_DIR) / "tests/fuzz" / dir))
            if (entry.is_regular_file() && entry.path().filename() != ".keep")
                files.push_back(entry.path());
    return files;
}

TEST(PacketFuzzCorpus, EveryKeptInputPassesWithoutHarm)
{
    const auto files = inputs();
    ASSERT_FALSE(files.empty());
    for (const auto& file : files)
    {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        SCOPED_TRACE(file.filename().string());
        const auto disagreement = velmora::fuzz::feedPacket(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        EXPECT_FALSE(disagreement.has_value()) << disagreement.value_or("");
    }
}

} // namespace

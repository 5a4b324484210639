#include <gtest/gtest.h>

#include <osc/OscOutboundPacketStream.h>
#include <osc/OscReceivedElements.h>

#include "PacketCheck.h"

using velmora::isSafeOscMessage;

namespace
{

std::string bytes(std::initializer_list<std::string_view> parts)
{
    std::string s;
    for (auto p : parts)
        s += p;
    return s;
}

using namespace std::string_view_literals;

TEST(PacketCheck, AcceptsWellFormedMessagesAndTrailingBytes)
{
    char buffer[64];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage("/channel/1/peq/3") << "LS6" << 120.0f << -3.0f << 0.7f
      << osc::EndMessage;
    EXPECT_TRUE(isSafeOscMessage(p.Data(), p.Size()));
    // A USB report's message is followed by what earlier reports left.
    std::string report(p.Data(), p.Size());
    report.resize(64, 'x');
    EXPECT_TRUE(isSafeOscMessage(report.data(), report.size()));

    const std::string query = bytes({"/gain\0\0\0"sv, ",\0\0\0"sv});
    EXPECT_TRUE(isSafeOscMessage(query.data(), query.size()));

    const std::string emptyName = bytes({"/ampname"sv, "\0\0\0\0"sv, ",s\0\0"sv, "\0\0\0\0"sv});
    EXPECT_TRUE(isSafeOscMessage(emptyName.data(), emptyName.size()));
}

// Strings padded with anything but NULs: the decoder looks for a string's end
// only in the last byte of each word, so it would read the fields somewhere
// else than a check that stops at the first NUL.
const std::string blobBehindPadding =
    bytes({"/info\0XX"sv, ",\0\0\0"sv, ",b\0\0"sv}); // a blob size beyond the end
const std::string tagsBehindPadding = bytes(
    {"/info\0XX"sv, ",\0\0\0"sv, ",ssi\0\0\0\0"sv, "Evil\0\0\0\0"sv, "x\0\0\0"sv, "\0\0\0\4"sv});

TEST(PacketCheck, TheDecoderReadsPaddedFieldsElsewhere)
{
    // What the check must guard against: the decoder takes the hidden type
    // tags for the message's own.
    const osc::ReceivedMessage m(
        osc::ReceivedPacket(tagsBehindPadding.data(), static_cast<int>(tagsBehindPadding.size())));
    EXPECT_STREQ(m.AddressPattern(), "/info");
    EXPECT_EQ(m.ArgumentCount(), 3);
}

TEST(PacketCheck, RejectsWhatTheDecoderCannotReadSafely)
{
    const struct
    {
        const char* why;
        std::string data;
    } cases[] = {
        {"empty", ""},
        {"bundle", bytes({"#bundle\0"sv, "\0\0\0\0\0\0\0\1"sv, "\0\0\0\x0c"sv, "/a\0\0,\0\0\0"sv})},
        {"blob argument", bytes({"/a\0\0"sv, ",b\0\0"sv, "\0\0\0\x10"sv, "abcd"sv})},
        {"unknown type", bytes({"/a\0\0"sv, ",d\0\0"sv, "\0\0\0\0\0\0\0\0"sv})},
        {"address not NUL-terminated", "/abcdefg"},
        {"no type tags", bytes({"/abc\0\0\0\0"sv})},
        {"type tags without comma", bytes({"/a\0\0"sv, "f\0\0\0"sv, "\0\0\0\0"sv})},
        {"missing float", bytes({"/a\0\0"sv, ",ff\0"sv, "\0\0\0\0"sv})},
        {"string runs off the end", bytes({"/a\0\0"sv, ",s\0\0"sv, "abcd"sv})},
        {"tags run off the end", bytes({"/a\0\0"sv, ",fff"sv})},
        {"length not a multiple of 4", bytes({"/a\0\0"sv, ",\0\0\0"sv, "x"sv})},
        {"no leading slash", bytes({"a\0\0\0"sv, ",\0\0\0"sv})},
        {"address padded with other bytes, a blob behind", blobBehindPadding},
        {"address padded with other bytes, type tags behind", tagsBehindPadding},
        {"type tags padded with other bytes", bytes({"/a\0\0"sv, ",f\0X"sv, "\0\0\0\0"sv})},
        {"string argument padded with other bytes",
         bytes({"/a\0\0"sv, ",s\0\0"sv, "ab\0c"sv, "\0\0\0\0"sv})},
        {"empty string with bytes after its NUL", bytes({"/a\0\0"sv, ",s\0\0"sv, "\0abc"sv})},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(isSafeOscMessage(c.data.data(), c.data.size())) << c.why;
    EXPECT_FALSE(isSafeOscMessage(nullptr, 8));
}

} // namespace

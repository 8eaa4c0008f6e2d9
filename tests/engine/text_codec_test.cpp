// Bytes to text: UTF-16LE decoding and whole-file reading.
#include "engine/core/text_codec.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vellum {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) { return {values.begin(), values.end()}; }

TEST(TextCodec, DecodesUtf16LeUnitsLowByteFirst)
{
    EXPECT_EQ(DecodeUtf16Le(Bytes({0x41, 0x00, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE})), u"A\u20AC\U0001F600");
    EXPECT_EQ(DecodeUtf16Le({}), u"");
    // An odd last byte has no partner and is dropped.
    EXPECT_EQ(DecodeUtf16Le(Bytes({0x41, 0x00, 0x42})), u"A");
    EXPECT_EQ(DecodeUtf16Le(Bytes({0x42})), u"");
    // The mark is a unit like any other; zero units stay unless the text ends at them.
    EXPECT_EQ(DecodeUtf16Le(Bytes({0xFF, 0xFE, 0x41, 0x00})), u"\uFEFFA");
    EXPECT_EQ(DecodeUtf16Le(Bytes({0x41, 0x00, 0x00, 0x00, 0x42, 0x00})), std::u16string(u"A\0B", 3));
    EXPECT_EQ(DecodeUtf16Le(Bytes({0x41, 0x00, 0x00, 0x00, 0x42, 0x00}), TextEnd::atZero), u"A");
}

TEST(TextCodec, FindsTheByteOrderMark)
{
    EXPECT_TRUE(StartsWithUtf16LeMark(Bytes({0xFF, 0xFE})));
    EXPECT_TRUE(StartsWithUtf16LeMark(Bytes({0xFF, 0xFE, 0x41})));
    EXPECT_FALSE(StartsWithUtf16LeMark(Bytes({0xFE, 0xFF, 0x41, 0x00})));
    EXPECT_FALSE(StartsWithUtf16LeMark(Bytes({0xFF})));
    EXPECT_FALSE(StartsWithUtf16LeMark({}));
}

TEST(TextCodec, ReadsWholeFilesOrNothing)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vellum-text-codec-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // Larger than one read chunk, with every byte value.
    std::string content;
    for (int i = 0; i < 200000; ++i) content += static_cast<char>(i % 256);
    std::ofstream(folder / "big.bin", std::ios::binary) << content;
    std::ofstream(folder / "empty.bin", std::ios::binary);

    const auto big = ReadWholeFile(folder / "big.bin");
    ASSERT_TRUE(big.has_value());
    EXPECT_EQ(std::string(big->begin(), big->end()), content);
    const auto empty = ReadWholeFile(folder / "empty.bin");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    // A missing file cannot be opened; a directory opens but cannot be read.
    EXPECT_FALSE(ReadWholeFile(folder / "missing.bin").has_value());
    EXPECT_FALSE(ReadWholeFile(folder).has_value());
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace vellum

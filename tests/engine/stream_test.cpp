// Tests of the byte streams and the text layer: read errors, code pages,
// appended lines, memory growth, and buffered file I/O.
#include "engine/stream/file_stream.h"
#include "engine/stream/memory_stream.h"
#include "engine/stream/text_reader.h"
#include "engine/vm/interpreter.h"
#include "script_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vellum {
namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::u16string>;
using FileHandle = std::unique_ptr<std::FILE, decltype(&std::fclose)>;
namespace fs = std::filesystem;

void Fill(ByteStream& stream, const Bytes& bytes) { stream.Write(bytes.data(), bytes.size()); }

// Bounded, so that a reader that never ends fails instead of hanging.
Lines ReadLines(TextReader& reader)
{
    Lines lines;
    while (lines.size() < 100000) {
        auto line = reader.ReadText(true);
        if (!line) break;
        lines.push_back(*line);
    }
    return lines;
}

class StreamFiles : public ::testing::Test {
protected:
    // Unbuffered by the C library, so the file shows exactly what the stream wrote.
    static FileHandle Open(const fs::path& path, const char* mode)
    {
        FileHandle file(std::fopen(path.c_str(), mode), &std::fclose);
        if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
        return file;
    }

    test::TempDir dir;
};

// The scripts read files in every encoding and code page, undefined bytes
// and unknown code pages included; here what only a stream shows.
TEST_F(StreamFiles, TextReaderClearsOnlyItsOwnReadErrors)
{
    Interpreter ip;
    // An odd trailing byte makes the last read come up short, and an odd
    // buffer size makes units straddle refills; the second file is shorter
    // than the four bytes the detection looks at.
    const fs::path odd = dir.WriteBytes("odd.txt", test::Utf16LeBytes(u"\uFEFFone\r\ntwo\nthree\r\n!"));
    fs::resize_file(odd, fs::file_size(odd) - 1);
    FileHandle oddFile = Open(odd, "rb"), shortFile = Open(dir.WriteBytes("short.txt", {'h', 'i', '!'}), "rb");
    FileStream oddStream(&ip, oddFile.get()), shortStream(&ip, shortFile.get());
    oddStream.AllocateIoBuffer(3);
    EXPECT_EQ(ReadLines(oddStream.GetTextReader()), (Lines{u"one", u"two", u"three", u""}));
    EXPECT_FALSE(ip.ErrorPending());
    shortStream.GetTextReader().SetCodePage(1252);
    EXPECT_EQ(shortStream.GetTextReader().ReadText(true), u"hi!");
    EXPECT_FALSE(ip.ErrorPending());

    ip.RaiseError(errDie);
    oddStream.Seek(2);
    EXPECT_EQ(oddStream.GetTextReader().ReadText(false), u"one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(ip.ErrorIdentifier(), errDie);
    // A read past the end of the file comes up short and is the stream's error.
    ip.ClearError();
    uint8_t bytes[8];
    oddStream.Seek(30);
    EXPECT_EQ(oddStream.Read(bytes, sizeof bytes), 5u);
    EXPECT_EQ(oddStream.position, 35u);
    EXPECT_EQ(ip.ErrorIdentifier(), errFileRead);
}

TEST_F(StreamFiles, TextReaderAppendsLinesInUtf16Le)
{
    const fs::path marked = dir.WriteBytes("append.txt", {});
    const fs::path plain = dir.WriteBytes("plain.txt", test::Utf16LeBytes(u"x"));
    {
        FileHandle markedFile = Open(marked, "r+b"), plainFile = Open(plain, "r+b");
        FileStream markedStream(nullptr, markedFile.get()), plainStream(nullptr, plainFile.get());
        markedStream.GetTextReader().SetCodePage(1252);
        markedStream.GetTextReader().AppendLine(u"a\u20AC");
        markedStream.GetTextReader().AppendLine(u"b");
        plainStream.AllocateIoBuffer(64);
        plainStream.GetTextReader().AppendLine(u"y");
        plainStream.Flush();
    }
    EXPECT_EQ(test::TempDir::ReadBytes(marked), test::Utf16LeBytes(u"\uFEFFa\u20AC\r\nb\r\n"));
    // A file with content gets no mark, even when it has none.
    EXPECT_EQ(test::TempDir::ReadBytes(plain), test::Utf16LeBytes(u"xy\r\n"));

    FileHandle file = Open(marked, "rb");
    FileStream stream(nullptr, file.get());
    EXPECT_EQ(ReadLines(stream.GetTextReader()), (Lines{u"a\u20AC", u"b", u""}));
}

TEST(MemoryStreamTest, GrowsInWholeStepsAndReadsOnlyWhatWasWritten)
{
    MemoryStream stream;
    Fill(stream, Bytes(5000, 0xAA));
    EXPECT_EQ(stream.Capacity(), 8192u);
    stream.Seek(9000);
    Fill(stream, {1, 2});
    EXPECT_EQ(stream.Capacity(), 12288u);
    EXPECT_EQ(stream.Size(), 9002u);
    // The gap left by writing past the end reads as zeros.
    EXPECT_EQ(stream.Data()[4999], 0xAA);
    EXPECT_EQ(stream.Data()[5000], 0);
    EXPECT_EQ(stream.Data()[8999], 0);
    stream.Seek(0);
    Fill(stream, {7});
    EXPECT_EQ(stream.Size(), 9002u);

    uint8_t buffer[16] = {};
    stream.Seek(8999);
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(buffer[2], 2);
    stream.Seek(100000);
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);

    const Bytes data = stream.Detach();
    ASSERT_EQ(data.size(), 9002u);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(stream.Capacity(), 0u);
    Fill(stream, {'x'});
    stream.FreeData();
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);

    // Streams made with an interpreter belong to its collector.
    Interpreter ip;
    Fill(*ip.Make<MemoryStream>(&ip), {1, 2, 3});
}

} // namespace
} // namespace vellum

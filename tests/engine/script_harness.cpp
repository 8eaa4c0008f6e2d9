// The test bench's natives and helpers.
#include "script_harness.h"

#include "engine/core/unicode.h"
#include "engine/vm/class_binding.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <random>

namespace vellum::test {

namespace {

// Natives receive only the interpreter; this finds the bench it belongs to.
std::map<const Interpreter*, ScriptHarness*> benches;

uint32_t PrintLine(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 1)) return 0;
    benches[&ip]->output += U8(ip.ArgText(1)->Utf16()) + "\n";
    return 0;
}

uint32_t Die(Interpreter& ip)
{
    if (ip.CheckArgs(0, 0)) ip.RaiseError(errDie);
    return 0;
}

uint32_t NewObjectsNum(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 0)) return 0;
    ip.PushNumber(ip.NewObjectsNum());
    return 1;
}

void RegisterBench(Interpreter& ip)
{
    static constexpr GlobalFunction kFunctions[] = {
        {u"Print", PrintLine},
        {u"MsgBox", PrintLine},
        {u"Die", Die},
        {u"NewObjectsNum", NewObjectsNum},
    };
    RegisterFunctions(ip, kFunctions);
}

} // namespace

std::u16string U16(std::string_view utf8) { return FromUtf8(utf8); }
std::string U8(std::u16string_view text) { return ToUtf8(text); }

std::vector<uint8_t> Utf16LeBytes(std::u16string_view text)
{
    std::vector<uint8_t> bytes;
    for (const char16_t unit : text) bytes.insert(bytes.end(), {uint8_t(unit & 0xFF), uint8_t(unit >> 8)});
    return bytes;
}

uint32_t DocumentedHash(std::u16string_view s)
{
    const auto length = static_cast<uint32_t>(s.size());
    uint32_t h = length;
    const uint32_t step = (length >> 5) + 1;
    for (uint32_t l = length; l >= step; l -= step) h = h ^ ((h << 5) + (h >> 2) + s[l - 1]);
    return h;
}

ScriptHarness::ScriptHarness() : ip(RegisterBench) { benches[&ip] = this; }

ScriptHarness::~ScriptHarness() { benches.erase(&ip); }

Outcome ScriptHarness::Take()
{
    // No run, failed or not, leaves anything on the operand stack.
    EXPECT_EQ(Internals(ip).StackDepth(), 0);
    Outcome outcome{output, U8(ip.ErrorIdentifier()), U8(ip.FormatError()), ip.ErrorPosition()};
    ip.ClearError();
    return outcome;
}

Outcome ScriptHarness::Run(std::string_view source)
{
    output.clear();
    ip.RunSource(U16(source));
    return Take();
}

std::string ScriptHarness::Output(std::string_view source)
{
    const Outcome o = Run(source);
    return o.error == "errOK" ? o.output : o.output + "!" + o.error;
}

TempDir::TempDir()
    : dir(std::filesystem::temp_directory_path() / ("vellum-engine-" + std::to_string(std::random_device{}())))
{
    std::filesystem::create_directories(dir);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::filesystem::path TempDir::WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return dir / name;
}

std::filesystem::path TempDir::WriteUtf16(const std::string& name, std::string_view utf8) const
{
    return WriteBytes(name, Utf16LeBytes(u"\uFEFF" + U16(utf8)));
}

std::vector<uint8_t> TempDir::ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace vellum::test

// What the fuzz targets share: a device folder of their own, the Qt
// application the libraries need, and script runs with a step limit.
// Every target defines LLVMFuzzerTestOneInput; fuzzing builds link it with
// libFuzzer, other builds with replay_main.cpp, which feeds it the kept inputs.
#pragma once

#include "engine/vm/interpreter.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

namespace vellum::fuzz {

// Loop turns and function entries one input may run: enough for the
// conformance scripts, few enough that an endless loop ends in well under
// a second.
constexpr int64_t kStepLimit = 50'000;
// A loop within the steps may still repeat an operation on a string of
// millions of characters, so a run also ends at its next step after this
// time; short, as libFuzzer's corpus fills with inputs that run to it.
constexpr std::chrono::milliseconds kTimeLimit{500};

// While one lives, allocations count against what one input may hold and
// allocate in all (memory_limit.cpp); every target makes one first.
class InputLimits {
public:
    InputLimits();
    ~InputLimits();
    InputLimits(const InputLimits&) = delete;
    InputLimits& operator=(const InputLimits&) = delete;
};

// Writes bytes as a file at the root of the fuzz device folder (a fresh
// temporary folder, removed at exit); gives its host path.
std::filesystem::path WriteDeviceFile(std::string_view name, std::span<const uint8_t> bytes);

// Interpreters over the fuzz device folder, which run under the step and
// time limits through RunAndForget: with the core library only, or with
// every library (and the offscreen Qt application, made once, that
// pictures and forms need).
std::unique_ptr<Interpreter> CoreInterpreter();
std::unique_ptr<Interpreter> FullInterpreter();

// Runs a text with fresh step and time limits and drops what error it left.
void RunAndForget(Interpreter& ip, std::u16string_view text);

// Writes the bytes as the device file name, then calls Run(), which
// definition declares. One interpreter with every library serves every
// input (making one costs far more than a run); definition runs once.
void RunOnFile(std::string_view name, std::span<const uint8_t> bytes, std::u16string_view definition);

} // namespace vellum::fuzz

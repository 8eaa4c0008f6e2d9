// The audio classes for scripts: Mixer and Track.
#pragma once

#include <cstdint>

namespace vellum {
class Interpreter;
}

namespace vellum::media {

// Registers Mixer, then Track.
void RegisterAudioClasses(Interpreter& ip);

// Argument i truncated toward zero, or false with errNumberExpected when
// it is not a number.
bool WholeNumberArg(Interpreter& ip, int i, int32_t& out);

} // namespace vellum::media

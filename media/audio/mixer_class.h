// The Mixer script class.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::media {

void RegisterMixerClass(Interpreter& ip);

} // namespace vellum::media

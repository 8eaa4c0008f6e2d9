// Beep and PlaySound. Until the wave output plays them, they do what a
// device without a sound device does: nothing, quietly.
#include "system/natives.h"
#include "vm/interpreter.h"

namespace vellum::system {

uint32_t Beep(Interpreter& ip)
{
    ip.CheckArgs(0, -1);
    return 0;
}

// With a file name, plays it without waiting; without one, stops the sound.
uint32_t PlaySound(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    // Any value names the file by its text, as every native takes strings.
    if (ip.ArgCount() - 1 == 1) ip.ArgText(1);
    return 0;
}

} // namespace vellum::system

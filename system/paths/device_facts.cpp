// The fixed answers of the handheld: it is a mobile system, it draws no
// file icons for scripts, and copying between a PC and the device is done
// from the PC's side.
#include "engine/vm/interpreter.h"
#include "system/natives.h"

namespace vellum::system {

uint32_t IsMobileOS(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushBool(true);
    return 1;
}

uint32_t FileIcon(Interpreter& ip)
{
    ip.CheckArgs(1, -1);
    return 0;
}

namespace {

uint32_t OnlyOnPc(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    ip.PushString(u"Error: this is only PC function");
    return 1;
}

} // namespace

uint32_t CopyFilePC2Device(Interpreter& ip) { return OnlyOnPc(ip); }
uint32_t CopyFileDevice2PC(Interpreter& ip) { return OnlyOnPc(ip); }

} // namespace vellum::system

#include "platform/window/device_screen.h"

namespace vellum::platform {

namespace {
DeviceScreen screen;
}

void SetDeviceScreen(const DeviceScreen& s) { screen = s; }

const DeviceScreen& CurrentDeviceScreen() { return screen; }

int32_t DeviceDipToPx(int32_t dip) { return static_cast<int32_t>(int64_t{dip} * screen.dpi / 96); }

} // namespace vellum::platform

// The handheld screen the program shows its forms on: its size in pixels
// and its resolution. Form windows open at this size and report this
// resolution to the views, whatever the monitor's own is, so a script lays
// out exactly as on the device. The shell's strips (title, soft keys, input
// panel) are sized from the resolution as the device's shell sizes them.
#pragma once

#include "platform/draw/geometry.h"

#include <cstdint>

namespace vellum::platform {

struct DeviceScreen {
    Size size{480, 640}; // a VGA handheld
    int32_t dpi = 192;
};

// Set once from the command line, before any window opens.
void SetDeviceScreen(const DeviceScreen& screen);
const DeviceScreen& CurrentDeviceScreen();

// Device-independent units (1/96 inch) in pixels of the device screen.
int32_t DeviceDipToPx(int32_t dip);

} // namespace vellum::platform

// The options table of CameraCapture read into a capture request. The
// keywords are compared exactly as written: "High" is no quality and
// leaves the default.
#pragma once

#include "engine/core/table_object.h"
#include "engine/vm/interpreter.h"
#include "platform/dialogs/camera_capture.h"

#include <string>

namespace vellum::gui {

struct CameraOptions {
    std::u16string initialDir; // a device folder; empty for \My Documents
    std::u16string file;       // a file name; empty for a new name
    platform::CameraRequest request;
};

// Only texts count for the text options; numbers are truncated and their
// low 16 bits taken.
CameraOptions ReadCameraOptions(Interpreter& ip, TableObject* options);

} // namespace vellum::gui

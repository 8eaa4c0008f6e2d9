// What the camera module (vellum-camera.so, the one part of the program
// that links Qt's multimedia) offers: the capture dialog. RunCameraCapture
// (camera_capture.h) loads it the first time a script asks for a camera.
#pragma once

#include "platform/dialogs/camera_capture.h"

#include <filesystem>

class QWidget;

namespace vellum::platform {

struct CameraModule {
    // Whether the system has a camera at all.
    bool (*hasCamera)();
    // Shows the dialog over parent until the user takes or cancels; true
    // when what was taken is saved in file.
    bool (*capture)(QWidget* parent, const CameraRequest& request, const std::filesystem::path& file);
};

inline constexpr char kCameraModuleFile[] = "vellum-camera.so";
inline constexpr char kCameraModuleEntry[] = "vellum_camera_module";

} // namespace vellum::platform

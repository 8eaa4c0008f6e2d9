// The camera capture dialog: a live preview with a shutter button that
// takes a still (JPEG) or starts and stops a video. Without a camera, or
// without the multimedia back end, it answers as a cancelled dialog, at
// once.
#pragma once

#include "platform/window/form_window.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vellum::platform {

enum class CameraMode { Still, Video, VideoWithSound };
enum class StillQuality { Default, Low, Normal, High };

struct CameraRequest {
    std::u16string title;
    CameraMode mode = CameraMode::Still;
    StillQuality quality = StillQuality::Default;
    // "messaging" video is small enough to send; every other kind is the
    // camera's own size.
    bool messagingVideo = false;
    int32_t width = 0; // the resolution asked for; 0 takes the camera's
    int32_t height = 0;
    int32_t timeLimitSeconds = 0; // of a video; 0 for none
};

// Whether a camera can be opened at all.
bool CameraAvailable();

// Shows the dialog owned by the form window and saves what the user takes
// into file; false when the user cancels, when there is no camera, in
// console mode, or when nothing could be saved.
bool RunCameraCapture(const FormWindow& owner, const CameraRequest& request, const std::filesystem::path& file);

} // namespace vellum::platform

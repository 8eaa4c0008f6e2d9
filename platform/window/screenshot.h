// --screenshot FILE: the first form window that paints is saved as a PNG
// and then ended, so a run can be captured unattended (on Qt's offscreen
// platform too). Forms shown after it end as soon as they have painted,
// so the script runs on to its end without waiting for a user.
#pragma once

#include <filesystem>

namespace vellum::platform {

enum class ScreenshotState { NotRequested, Waiting, Saved, Failed };

void RequestScreenshot(const std::filesystem::path& file);
ScreenshotState CurrentScreenshotState();

} // namespace vellum::platform

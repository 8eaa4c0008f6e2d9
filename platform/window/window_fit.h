// The Qt application of a run that shows form windows. A form window opens
// at the device screen's size in device pixels; when the screen's
// available area cannot hold it at the scale factor in force (a high-DPI
// desktop, a large --screen), everything is drawn at a smaller scale
// instead, so the whole window, soft-key bar included, stays on screen.
#pragma once

#include <QApplication>

#include <memory>

namespace vellum::platform {

std::unique_ptr<QApplication> StartWindowedApplication(int& argc, char** argv);

} // namespace vellum::platform

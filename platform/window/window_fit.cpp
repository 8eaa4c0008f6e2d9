// Qt fixes its scale factor when the application starts and has no public
// way to change it later, and the screen's size is known only once the
// application is connected to the display: so an application whose form
// window would not fit is ended at once, before any window exists, and
// started again with the scale factor that fits.
#include "platform/window/window_fit.h"

#include "platform/window/device_screen.h"

#include <QScreen>

#include <algorithm>

namespace vellum::platform {

namespace {

// Room kept for the window manager's frame and title bar, in screen pixels.
constexpr double kFrameAllowance = 48;

// The share of the current scale at which the device screen's window fits
// the available area (1 when it already fits).
double FitShare()
{
    // Off screen there is no one to see the window, and no size to keep to.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return 1;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 1;
    const double scale = screen->devicePixelRatio();
    const QRect area = screen->availableGeometry();
    const QSize window(CurrentDeviceScreen().size.width, CurrentDeviceScreen().size.height);
    if (window.isEmpty() || area.isEmpty()) return 1;
    const double across = (area.width() * scale - kFrameAllowance) / (window.width() * scale);
    const double down = (area.height() * scale - kFrameAllowance) / (window.height() * scale);
    return std::clamp(std::min(across, down), 0.1, 1.0);
}

} // namespace

std::unique_ptr<QApplication> StartWindowedApplication(int& argc, char** argv)
{
    auto app = std::make_unique<QApplication>(argc, argv);
    const double share = FitShare();
    if (share >= 1) return app;
    app.reset();
    // The factor the user chose (1 without one) times the share that fits;
    // programs this one starts keep the user's choice.
    const QByteArray chosen = qgetenv("QT_SCALE_FACTOR");
    bool valid = false;
    const double factor = chosen.toDouble(&valid);
    qputenv("QT_SCALE_FACTOR", QByteArray::number((valid && factor > 0 ? factor : 1) * share, 'f', 3));
    app = std::make_unique<QApplication>(argc, argv);
    if (chosen.isNull()) {
        qunsetenv("QT_SCALE_FACTOR");
    } else {
        qputenv("QT_SCALE_FACTOR", chosen);
    }
    return app;
}

} // namespace vellum::platform

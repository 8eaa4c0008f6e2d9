#include "platform/window/screenshot_capture.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace vellum::platform {

namespace {

ScreenshotState state = ScreenshotState::NotRequested;
std::filesystem::path target;

} // namespace

void RequestScreenshot(const std::filesystem::path& file)
{
    target = file;
    state = ScreenshotState::Waiting;
}

ScreenshotState CurrentScreenshotState() { return state; }

void AfterFormPainted(QWidget& window, std::function<void()> end)
{
    if (state == ScreenshotState::NotRequested) return;
    // The grab and the end wait until the paint in progress is over.
    QTimer::singleShot(0, &window, [w = QPointer<QWidget>(&window), end = std::move(end)] {
        if (w == nullptr) return;
        if (state == ScreenshotState::Waiting) {
            const QPixmap picture = w->grab();
            const bool saved = picture.save(QString::fromLocal8Bit(target.c_str()), "PNG");
            state = saved ? ScreenshotState::Saved : ScreenshotState::Failed;
        }
        end();
    });
}

} // namespace vellum::platform

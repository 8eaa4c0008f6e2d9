// The native controls benchmark: a form of 100 native controls (edit boxes,
// buttons and combo boxes in 25 rows of four inside a column) is built from
// its script, shown, resized 50 times (each resize lays the form out again
// and moves every control) and closed; against the same 100 Qt widgets in
// a QVBoxLayout of QHBoxLayouts, built, shown, resized and closed the same
// way in the same run. Prints both times and the ratio ours / Qt's.
//
// usage: vellum-controls-bench [ROUNDS]   (run with QT_QPA_PLATFORM=offscreen headless)
#include "engine/vm/interpreter.h"
#include "gui/gui_library.h"
#include "host/corelib/core_library.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace vellum;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 25;
constexpr int kResizes = 50;
// Two sizes taken in turn, so that every resize really lays out again.
constexpr QSize kSizes[2] = {QSize(480, 640), QSize(440, 600)};

constexpr char16_t kForm[] = uR"(
var rows = {}
var r = 0
while r < 25
  rows[r] = TRow({height = 24, views = {
    TEdit({width = "*", text = "Edit " & r}),
    TButton({width = 60, text = "Go " & r}),
    TComboBox({width = "*", comboHeight = 120, list = {"One", "Two", "Three"}, curPos = 0}),
    TEdit({width = "*", text = "Note " & r})
  }})
  r = r + 1
end
gForm = TForm({title = "Bench", view = TColumn({views = rows})})
)";

// Resizes the top-level window and lets the resize reach its layout.
void ResizeTimes(QWidget* top)
{
    for (int i = 0; i < kResizes; ++i) {
        top->resize(kSizes[(i + 1) % 2]);
        QApplication::processEvents();
    }
}

void Fail(const char* why)
{
    std::fprintf(stderr, "vellum-controls-bench: %s\n", why);
    std::exit(1);
}

double OursMilliseconds(int rounds)
{
    platform::SetDeviceScreen({{kSizes[0].width(), kSizes[0].height()}, 96});
    const auto start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        Interpreter ip(RegisterCoreLibrary);
        gui::RegisterGuiLibrary(ip);
        ip.SetGlobal(u"gForm", Value::Null());
        ip.RunSource(kForm);
        if (ip.ErrorPending()) Fail("the form script failed");
        // Show runs the form's loop; the resizes happen inside it.
        bool shown = false;
        QTimer::singleShot(0, [&] {
            QWidget* top = platform::FormWindowTitled(QStringLiteral("Bench"));
            if (top == nullptr) return;
            shown = true;
            ResizeTimes(top);
            top->close();
        });
        ip.RunSource(u"gForm.Show()");
        if (ip.ErrorPending() || !shown) Fail("the form did not show");
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double QtMilliseconds(int rounds)
{
    const auto start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        QWidget top;
        top.setWindowTitle(QStringLiteral("Bench"));
        auto* column = new QVBoxLayout(&top);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        for (int r = 0; r < kRows; ++r) {
            auto* row = new QHBoxLayout;
            row->setSpacing(0);
            row->addWidget(new QLineEdit(QStringLiteral("Edit %1").arg(r)), 1);
            auto* button = new QPushButton(QStringLiteral("Go %1").arg(r));
            button->setFixedWidth(60);
            row->addWidget(button);
            auto* combo = new QComboBox;
            combo->addItems({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
            row->addWidget(combo, 1);
            row->addWidget(new QLineEdit(QStringLiteral("Note %1").arg(r)), 1);
            column->addLayout(row);
        }
        column->addStretch(1);
        top.resize(kSizes[0]);
        top.show();
        QApplication::processEvents();
        ResizeTimes(&top);
        top.close();
        QApplication::processEvents();
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // One warm-up round each, so that fonts and styles are loaded before timing.
    OursMilliseconds(1);
    QtMilliseconds(1);
    const double ours = OursMilliseconds(rounds);
    const double qt = QtMilliseconds(rounds);
    std::printf("100 native controls, build + show + %d resizes x %d: ours %.1f ms, Qt widgets %.1f ms, ratio %.2f\n",
                kResizes, rounds, ours, qt, ours / qt);
    return 0;
}

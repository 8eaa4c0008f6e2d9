// The GUI benchmark: relayout and full repaint of a form of over a thousand
// views (nested columns and rows of styled texts and rectangles), against
// the same tree built from Qt widgets and layouts, resized and repainted
// the same number of times in the same run. Prints both times and the
// ratio ours / Qt's.
//
// usage: vellum-gui-bench [ROUNDS]     (run with QT_QPA_PLATFORM=offscreen headless)
#include "engine/vm/interpreter.h"
#include "gui/form/form.h"
#include "gui/gui_library.h"
#include "gui/view/view.h"
#include "host/corelib/core_library.h"
#include "platform/draw/qt_canvas.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace vellum;
using Clock = std::chrono::steady_clock;

constexpr int kGroups = 25;
constexpr int kRowsPerGroup = 10;
// Two sizes taken in turn, so that every round really lays out again.
constexpr QSize kSizes[2] = {QSize(480, 640), QSize(472, 628)};

constexpr char16_t kTree[] = uR"(
var groups = {}
var g = 0
while g < 25
  var rows = {}
  var r = 0
  while r < 10
    var n = g * 10 + r
    rows[r] = TRow({height = 20, views = {
      TText({width = "*", text = "Item " & n, style = {color = "navy", fontSize = 12, marginLeft = 2}}),
      TRectangle({width = 30, style = {fill = {n, 255 - n, 128}, margin = 2}}),
      TText({width = "2*", text = "Description " & n, style = {align = "right", fontSize = 12}})
    }})
    r = r + 1
  end
  groups[g] = TColumn({height = 200, views = rows})
  g = g + 1
end
gRoot = TColumn({views = groups})
)";

double OursMilliseconds(int rounds)
{
    Interpreter ip(RegisterCoreLibrary);
    gui::RegisterGuiLibrary(ip);
    ip.SetGlobal(u"gRoot", Value::Null());
    ip.RunSource(kTree);
    const Value tree = ip.GetGlobal(u"gRoot");
    if (ip.ErrorPending() || !tree.IsTable()) {
        std::fprintf(stderr, "vellum-gui-bench: the tree script failed: %s\n", ip.ErrorPending() ? "error" : "no root");
        std::exit(1);
    }
    // A form without a window only lends its resolution; the benchmark drives the tree directly.
    TableObject* formTable = ip.NewTable();
    ip.SetGlobal(u"gFormTable", Value::Table(formTable));
    auto* form = ip.Make<gui::Form>(ip, formTable);
    ip.SetGlobal(u"gForm", Value::Pointer(form));
    gui::View* root = form->BuildWithoutWindow(tree.table, {0, 0, kSizes[0].width() - 1, kSizes[0].height() - 1}, 96, 96);
    if (root == nullptr) std::exit(1);

    QImage image(kSizes[0], QImage::Format_RGB32);
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const QSize size = kSizes[i % 2];
        root->SetRect({0, 0, size.width() - 1, size.height() - 1});
        root->Refresh();
        image.fill(Qt::white);
        QPainter painter(&image);
        platform::QtCanvas canvas(painter);
        root->Paint(canvas, {0, 0, size.width() - 1, size.height() - 1});
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double QtMilliseconds(int rounds)
{
    QWidget top;
    top.setAttribute(Qt::WA_DontShowOnScreen);
    auto* columns = new QVBoxLayout(&top);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    for (int g = 0; g < kGroups; ++g) {
        auto* group = new QFrame;
        auto* rows = new QVBoxLayout(group);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        for (int r = 0; r < kRowsPerGroup; ++r) {
            const int n = g * kRowsPerGroup + r;
            auto* row = new QFrame;
            row->setFixedHeight(20);
            auto* cells = new QHBoxLayout(row);
            cells->setContentsMargins(0, 0, 0, 0);
            cells->setSpacing(0);
            auto* name = new QLabel(QStringLiteral("Item %1").arg(n));
            name->setFont(font);
            name->setStyleSheet(QStringLiteral("color: navy; margin-left: 2px"));
            auto* swatch = new QFrame;
            swatch->setFixedWidth(30);
            swatch->setStyleSheet(QStringLiteral("background: rgb(%1, %2, 128); margin: 2px").arg(n).arg(255 - n));
            auto* description = new QLabel(QStringLiteral("Description %1").arg(n));
            description->setFont(font);
            description->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            cells->addWidget(name, 1);
            cells->addWidget(swatch);
            cells->addWidget(description, 2);
            rows->addWidget(row);
        }
        group->setFixedHeight(200);
        columns->addWidget(group);
    }
    top.resize(kSizes[0]);
    top.show();
    QImage image(kSizes[0], QImage::Format_RGB32);
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const QSize size = kSizes[i % 2];
        top.resize(size);
        top.layout()->activate();
        image.fill(Qt::white);
        top.render(&image);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    // One warm-up round each, so fonts and style sheets are loaded before timing.
    OursMilliseconds(1);
    QtMilliseconds(1);
    const double ours = OursMilliseconds(rounds);
    const double qt = QtMilliseconds(rounds);
    std::printf("views %d, rounds %d: ours %.1f ms, Qt widgets %.1f ms, ratio %.2f\n",
                1 + kGroups * (1 + kRowsPerGroup * 4), rounds, ours, qt, ours / qt);
    return 0;
}

// The list benchmark: a TScrollList of contacts scrolled from the top, 200
// steps of one page and then 200 steps of one item, each step followed by
// a full repaint, against a QListView over a list model whose delegate
// paints the same texts in the same font, scrolled and repainted the same
// way in the same run. Run once with 100 000 items and once with 1 000,
// to show that the cost follows what is visible, not the list's length.
// Prints one line per size with both times and the ratio ours / Qt's.
//
// usage: vellum-list-bench [ROUNDS]    (run with QT_QPA_PLATFORM=offscreen headless)
#include "engine/vm/interpreter.h"
#include "gui/form/form.h"
#include "gui/gui_library.h"
#include "gui/view/view.h"
#include "host/corelib/core_library.h"
#include "platform/draw/qt_canvas.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace vellum;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr int kPage = 32; // items a page: 20 pixels each
constexpr int kItemHeight = kHeight / kPage;
constexpr int kSteps = 200;
// The automatic font of a 20-pixel text view: the height less 3.
constexpr int kFontPixels = kItemHeight - 3;

// The top of every step: 200 pages down, then 200 single items on.
int TopAt(int step, int items)
{
    const int top = step < kSteps ? step * kPage : kSteps * kPage + (step - kSteps);
    return std::min(top, std::max(0, items - kPage));
}

QString ContactText(int i) { return QStringLiteral("Contact %1  555-%2").arg(i).arg(10000 + i % 90000); }

double OursMilliseconds(int items, int rounds)
{
    Interpreter ip(RegisterCoreLibrary);
    gui::RegisterGuiLibrary(ip);
    ip.SetGlobal(u"gList", Value::Null());
    const std::string count = std::to_string(items);
    const std::u16string source =
        u"gList = TScrollList({listSize = " + std::u16string(count.begin(), count.end()) +
        u", pgSize = 32, view = TText({style = {marginLeft = 4}}),\n"
        u"  SetItem = function(i) this.view.text = 'Contact ' & i & '  555-' & (10000 + Mod(i, 90000)) end})";
    ip.RunSource(source);
    const Value list = ip.GetGlobal(u"gList");
    if (ip.ErrorPending() || !list.IsTable()) {
        std::fprintf(stderr, "vellum-list-bench: the list script failed\n");
        std::exit(1);
    }
    TableObject* formTable = ip.NewTable();
    ip.SetGlobal(u"gFormTable", Value::Table(formTable));
    auto* form = ip.Make<gui::Form>(ip, formTable);
    ip.SetGlobal(u"gForm", Value::Pointer(form));
    const platform::Rect area{0, 0, kWidth - 1, kHeight - 1};
    gui::View* root = form->BuildWithoutWindow(list.table, area, 96, 96);
    if (root == nullptr) std::exit(1);

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const auto start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (int step = 0; step < 2 * kSteps; ++step) {
            ip.TableSet(list.table, u"topPos", Value::Number(TopAt(step, items)));
            root->Refresh();
            image.fill(Qt::white);
            QPainter painter(&image);
            platform::QtCanvas canvas(painter);
            root->Paint(canvas, area);
        }
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class ContactModel final : public QAbstractListModel {
public:
    explicit ContactModel(int items_) : items(items_) {}
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : items; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(ContactText(index.row())) : QVariant();
    }

private:
    int items;
};

// Draws the text as the text view does: the item's font, left-aligned
// after a 4-pixel margin, centred vertically.
class ContactDelegate final : public QStyledItemDelegate {
public:
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->drawText(option.rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data().toString());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {kWidth, kItemHeight};
    }

    QFont font{QStringLiteral("Arial")};
};

double QtMilliseconds(int items, int rounds)
{
    ContactModel model(items);
    ContactDelegate delegate;
    delegate.font.setPixelSize(kFontPixels);
    QListView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.setFrameShape(QFrame::NoFrame);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setUniformItemSizes(true);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view.setModel(&model);
    view.setItemDelegate(&delegate);
    view.resize(kWidth, kHeight);
    view.show();

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const auto start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (int step = 0; step < 2 * kSteps; ++step) {
            view.verticalScrollBar()->setValue(TopAt(step, items));
            image.fill(Qt::white);
            view.viewport()->render(&image);
        }
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    for (const int items : {100000, 1000}) {
        // One warm-up round each, so that fonts are loaded before timing.
        OursMilliseconds(items, 1);
        QtMilliseconds(items, 1);
        const double ours = OursMilliseconds(items, rounds);
        const double qt = QtMilliseconds(items, rounds);
        std::printf("list of %d items, %d scroll steps x %d: ours %.1f ms, QListView %.1f ms, ratio %.2f\n", items,
                    2 * kSteps, rounds, ours, qt, ours / qt);
    }
    return 0;
}

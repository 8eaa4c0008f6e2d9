#include "platform/editor/debug_panel.h"

#include "engine/debug/debugger.h"
#include "platform/qt_convert.h"
#include "platform/window/shell_widget.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vellum::platform {

namespace {

// Entries read at once when a table opens; a last row, "(N more)", opens
// onto the next page.
constexpr size_t kPageSize = 200;

// What a row of the variables holds: the reference its entries are read
// by, and for a "more" row where the next page starts.
constexpr int kReferenceRole = Qt::UserRole;
constexpr int kNextPageRole = Qt::UserRole + 1;
// Whether the row's entries were read already.
constexpr int kFilledRole = Qt::UserRole + 2;

QTreeWidget* NewTree(QWidget* parent, const QStringList& headers)
{
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(headers.size() > 1);
    tree->setUniformRowHeights(true);
    tree->header()->setStretchLastSection(true);
    return tree;
}

} // namespace

DebugPanel::DebugPanel(QWidget* parent, std::function<void(const DebugFrame&)> frameChosen_)
    : QWidget(parent), frameChosen(std::move(frameChosen_)),
      stack(NewTree(this, {QStringLiteral("Call stack"), QStringLiteral("Line")})),
      variables(NewTree(this, {QStringLiteral("Name"), QStringLiteral("Value")}))
{
    stack->setRootIsDecorated(false);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(2, 2, 2, 2);
    const auto button = [&](const QString& label, const QString& key, int32_t Commands::*command) {
        auto* b = new QToolButton(this);
        b->setText(label);
        b->setToolTip(key);
        b->setFocusPolicy(Qt::NoFocus); // the keys stay with the text
        connect(b, &QToolButton::clicked, this, [this, command] { Send(commands.*command); });
        buttons->addWidget(b);
    };
    button(QStringLiteral("Continue"), QStringLiteral("F5"), &Commands::resume);
    button(QStringLiteral("Step over"), QStringLiteral("F10"), &Commands::stepOver);
    button(QStringLiteral("Step into"), QStringLiteral("F11"), &Commands::stepInto);
    button(QStringLiteral("Step out"), QStringLiteral("Shift+F11"), &Commands::stepOut);
    button(QStringLiteral("Stop"), QStringLiteral("Escape"), &Commands::stop);
    buttons->addStretch(1);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(stack);
    split->addWidget(variables);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(buttons);
    column->addWidget(split, 1);

    connect(stack, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) ChooseFrame(stack->indexOfTopLevelItem(item));
    });
    connect(variables, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Opened(item); });
    hide();
}

void DebugPanel::Show(DebugStop& stopped)
{
    Clear();
    stop = &stopped;
    for (const DebugFrame& frame : stop->Frames()) {
        auto* row = new QTreeWidgetItem(stack);
        row->setText(0, ToQString(frame.name));
        if (!frame.native && frame.line > 0) row->setText(1, QString::number(frame.line));
        if (!frame.source.empty()) row->setToolTip(0, ToQString(frame.source));
    }
    show();
    if (stack->topLevelItemCount() > 0) stack->setCurrentItem(stack->topLevelItem(0));
}

void DebugPanel::Clear()
{
    // The trees' signals would reach the stop, which is ending.
    stop = nullptr;
    stack->clear();
    variables->clear();
    hide();
}

void DebugPanel::ChooseFrame(int frame)
{
    if (stop == nullptr || frame < 0 || static_cast<size_t>(frame) >= stop->Frames().size()) return;
    variables->clear();
    Fill(nullptr, stop->Locals(static_cast<size_t>(frame)), 0);
    auto* globals = new QTreeWidgetItem(variables, {QStringLiteral("Globals")});
    globals->setData(0, kReferenceRole, stop->Globals());
    globals->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    frameChosen(stop->Frames()[static_cast<size_t>(frame)]);
}

void DebugPanel::Fill(QTreeWidgetItem* parent, uint32_t reference, size_t start)
{
    const auto add = [&](QTreeWidgetItem* row) {
        if (parent != nullptr) {
            parent->addChild(row);
        } else {
            variables->addTopLevelItem(row);
        }
    };
    for (const DebugVariable& variable : stop->Variables(reference, start, kPageSize)) add(Row(variable));
    // Names stay whole; the values take the rest of the width.
    variables->resizeColumnToContents(0);
    const size_t count = stop->VariableCount(reference);
    if (start + kPageSize < count) {
        auto* more = new QTreeWidgetItem({QStringLiteral("(%1 more)").arg(count - start - kPageSize)});
        more->setData(0, kReferenceRole, reference);
        more->setData(0, kNextPageRole, static_cast<qulonglong>(start + kPageSize));
        more->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        add(more);
    }
}

QTreeWidgetItem* DebugPanel::Row(const DebugVariable& variable)
{
    auto* row = new QTreeWidgetItem({ToQString(variable.name), ToQString(variable.value)});
    row->setToolTip(1, ToQString(variable.value));
    if (variable.reference != 0 && variable.childCount > 0) {
        row->setData(0, kReferenceRole, variable.reference);
        row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    return row;
}

void DebugPanel::Opened(QTreeWidgetItem* item)
{
    if (stop == nullptr || item->data(0, kFilledRole).toBool()) return;
    const uint32_t reference = item->data(0, kReferenceRole).toUInt();
    if (reference == 0) return;
    item->setData(0, kFilledRole, true);
    // A "more" row opens onto the next page.
    Fill(item, reference, item->data(0, kNextPageRole).toULongLong());
}

void DebugPanel::Send(int32_t command)
{
    if (ShellWidget* shell = ShellOf(this); shell != nullptr && command != 0) {
        shell->Dispatch([command](FormWindowHandler& h) { h.Command(command); });
    }
}

} // namespace vellum::platform

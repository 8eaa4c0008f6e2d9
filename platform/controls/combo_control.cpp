// The combo box on QComboBox. The popup shows a fixed number of rows, as
// the handheld's list box of the height the program gave it does, rather
// than the style's own placement over the field.
#include "platform/controls/combo_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/control_kinds.h"
#include "platform/qt_convert.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace vellum::platform {

namespace {

QWidget* MakeComboBox(QWidget& parent)
{
    auto* combo = new QComboBox(&parent);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The list opens below the field with maxVisibleItems rows in every style.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    return combo;
}

void ConnectComboBox(QWidget& widget, ControlBridge& bridge)
{
    QObject::connect(static_cast<QComboBox*>(&widget), &QComboBox::currentIndexChanged, &bridge,
                     [&bridge] { bridge.Dispatch([](ControlHandler& h) { h.SelectionChanged(); }); });
}

// Only the edit part of an editable combo box takes a text; a drop-down
// list shows its selected item and nothing else.
void SetComboText(QWidget& widget, const QString& text)
{
    auto& combo = static_cast<QComboBox&>(widget);
    if (combo.isEditable()) combo.setEditText(text);
}

QString ComboText(const QWidget& widget) { return static_cast<const QComboBox&>(widget).currentText(); }

} // namespace

const ControlKindTraits kComboBoxTraits{MakeComboBox, ConnectComboBox, SetComboText, ComboText};

void SetComboEditable(NativeControl& combo, bool editable)
{
    auto* widget = WidgetAs<QComboBox>(combo);
    if (widget == nullptr || widget->isEditable() == editable) return;
    const QSignalBlocker quiet(widget);
    widget->setEditable(editable);
    if (editable) widget->setInsertPolicy(QComboBox::NoInsert);
}

void SetComboItems(NativeControl& combo, const std::vector<std::u16string>& items)
{
    auto* widget = WidgetAs<QComboBox>(combo);
    if (widget == nullptr) return;
    const QSignalBlocker quiet(widget);
    // The edit part keeps its text, as the handheld's keeps it when the list is reset.
    const QString edited = widget->isEditable() ? widget->currentText() : QString();
    widget->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::u16string& item : items) texts.push_back(ToQString(item));
    widget->addItems(texts);
    widget->setCurrentIndex(-1);
    if (widget->isEditable()) widget->setEditText(edited);
}

int32_t ComboSelection(NativeControl& combo)
{
    const auto* widget = WidgetAs<QComboBox>(combo);
    return widget != nullptr ? widget->currentIndex() : -1;
}

void SelectComboItem(NativeControl& combo, int32_t index)
{
    auto* widget = WidgetAs<QComboBox>(combo);
    if (widget == nullptr) return;
    const QSignalBlocker quiet(widget);
    widget->setCurrentIndex(index >= 0 && index < widget->count() ? index : -1);
}

void PlaceComboBox(NativeControl& combo, const Rect& whole)
{
    auto* widget = WidgetAs<QComboBox>(combo);
    if (widget == nullptr) return;
    const int fieldHeight = widget->sizeHint().height();
    widget->setGeometry(QRectOfEdges(whole.left, whole.top, whole.right, int64_t{whole.top} + fieldHeight - 1));
    const int rowHeight = widget->count() > 0 ? std::max(1, widget->view()->sizeHintForRow(0))
                                              : std::max(1, widget->fontMetrics().height());
    widget->setMaxVisibleItems(std::max(1, (whole.Height() - fieldHeight) / rowHeight));
}

} // namespace vellum::platform

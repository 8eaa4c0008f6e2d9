// The combo box on QComboBox. The popup shows a fixed number of rows, as
// the handheld's list box of the height the program gave it does, rather
// than the style's own placement over the field.
#include "platform/controls/combo_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/control_kinds.h"
#include "platform/controls/desktop_style.h"
#include "platform/qt_convert.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QSignalBlocker>

#include <algorithm>
#include <optional>

namespace vellum::platform {

namespace {

// The desktop's style, except that the list opens below the field with
// maxVisibleItems rows.
class ListBelowStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// Keeps the height of the opened list's rows, which every layout needs and
// which takes the item delegate to measure, until the font or the items change.
class ComboBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

    int RowHeight()
    {
        if (rowHeight == 0) {
            rowHeight = count() > 0 ? std::max(1, view()->sizeHintForRow(0)) : std::max(1, fontMetrics().height());
        }
        return rowHeight;
    }
    void ForgetRowHeight() { rowHeight = 0; }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ForgetRowHeight();
        QComboBox::changeEvent(event);
    }

private:
    int rowHeight = 0;
};

QWidget* MakeComboBox(QWidget& parent)
{
    auto* combo = new ComboBox(&parent);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setStyle(SharedDesktopStyle<ListBelowStyle>());
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

bool SameItems(const QComboBox& widget, const std::vector<std::u16string>& items)
{
    if (static_cast<size_t>(widget.count()) != items.size()) return false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (widget.itemText(static_cast<int>(i)) != ToQString(items[i])) return false;
    }
    return true;
}

// What an editable combo box's edit part holds: the text, the caret and
// the other end of the selection (the caret when nothing is selected).
struct EditedText {
    QString text;
    int caret;
    int anchor;
};

std::optional<EditedText> EditedTextOf(const QComboBox& combo)
{
    const QLineEdit* line = combo.lineEdit();
    if (line == nullptr) return std::nullopt;
    const int caret = line->cursorPosition();
    int anchor = caret;
    if (line->hasSelectedText()) {
        anchor = line->selectionStart() == caret ? line->selectionEnd() : line->selectionStart();
    }
    return EditedText{line->text(), caret, anchor};
}

void Restore(QLineEdit& line, const EditedText& edited)
{
    line.setText(edited.text);
    line.setCursorPosition(edited.anchor);
    line.cursorForward(true, edited.caret - edited.anchor);
}

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

void SetComboItems(NativeControl& combo, const std::vector<std::u16string>& items, int32_t selected, bool keepEdited)
{
    auto* widget = WidgetAs<ComboBox>(combo);
    if (widget == nullptr) return;
    const QSignalBlocker quiet(widget);
    // The edit part keeps its text, as the handheld's keeps it when the list is reset.
    const std::optional<EditedText> edited = EditedTextOf(*widget);
    const int index = selected >= 0 && static_cast<size_t>(selected) < items.size() ? selected : -1;
    // Every layout refreshes the list: the same items are kept, not rebuilt,
    // so that the widget keeps its measured size and a resize stays cheap.
    if (!SameItems(*widget, items)) {
        widget->clear();
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(items.size()));
        for (const std::u16string& item : items) texts.push_back(ToQString(item));
        widget->addItems(texts);
        widget->ForgetRowHeight();
    }
    if (widget->currentIndex() != index) widget->setCurrentIndex(index);
    if (!edited) return;
    // The edit part shows the selected item, or what it held without one.
    if (index >= 0 && !keepEdited) {
        if (widget->currentText() != widget->itemText(index)) widget->setEditText(widget->itemText(index));
    } else if (widget->currentText() != edited->text) {
        Restore(*widget->lineEdit(), *edited);
    }
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
    auto* widget = WidgetAs<ComboBox>(combo);
    if (widget == nullptr) return;
    const int fieldHeight = widget->sizeHint().height();
    widget->setGeometry(QRectOfEdges(whole.left, whole.top, whole.right, int64_t{whole.top} + fieldHeight - 1));
    widget->setMaxVisibleItems(std::max(1, (whole.Height() - fieldHeight) / widget->RowHeight()));
}

} // namespace vellum::platform

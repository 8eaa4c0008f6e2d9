#include "gui/controls/combo_box_view.h"

#include "engine/core/string_object.h"
#include "engine/core/table_iterator.h"
#include "gui/gui_library.h"
#include "gui/style/length.h"
#include "gui/style/view_property.h"
#include "gui/view/refresh_cause.h"
#include "gui/view/view_class.h"
#include "platform/controls/combo_control.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vellum::gui {

namespace {

// Rows of the opened list: those of the items, at most this many; a combo
// box without a list reserves them all.
constexpr int32_t kListRows = 5;
// The row height when neither the font nor the view gives one.
constexpr int32_t kDefaultRowHeight = 15;

} // namespace

ComboBoxView::ComboBoxView(Interpreter& ip_) : ControlView(ip_, platform::ControlKind::ComboBox) {}

int32_t ComboBoxView::ComboHeight()
{
    int32_t height = 0;
    if (Interpreter::ValueToInt(ViewProperty(*this, u"comboHeight"), height)) return height;
    const Value list = ViewProperty(*this, u"list");
    const int64_t count = list.IsTable() ? static_cast<int64_t>(list.table->Count()) : kListRows;
    const int64_t rows = std::min<int64_t>(count, kListRows);
    int64_t rowHeight = 0;
    {
        const Style style(*this);
        rowHeight = StyleFont(style).size;
    }
    if (rowHeight == 0) {
        const Rect content = GetContentRect();
        rowHeight = content.Height() > 0 ? content.Height() : kDefaultRowHeight;
    }
    height = ClampPixels(rowHeight * rows);
    if (table != nullptr) ip.TableSet(table, u"comboHeight", Value::Number(height));
    return height;
}

void ComboBoxView::Created()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ComboHeight();
}

void ComboBoxView::Refresh()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    // Everything the script gives is read before the control is touched:
    // any of it may run script code.
    const bool editable = ViewText(*this, u"type") == u"edit";
    std::vector<std::u16string> items;
    const Value list = ViewProperty(*this, u"list");
    if (list.IsTable()) {
        ValueRoot keepList(ip, list);
        TableIterator it(*list.table);
        Value key, value;
        while (it.Next(key, value)) items.emplace_back(ip.ToString(value, false, true)->Utf16());
    }
    int32_t curPos = -1;
    if (!Interpreter::ValueToInt(ViewProperty(*this, u"curPos"), curPos)) curPos = -1;
    const int32_t comboHeight = ComboHeight();
    const Value text = ViewProperty(*this, u"text");
    const std::u16string editText = text.IsNull() ? std::u16string() : ip.ToString(text, false, true)->Utf16();
    const Margins margins = StyleMargins(*this);
    // The view reaches down to the bottom of the opened list.
    const Rect content = GetContentRect();
    rect.bottom = ClampPixels(int64_t{content.top} + comboHeight - 1 + margins.bottom);

    if (Control() == nullptr) return;
    const bool keepTyped = RefreshCause::KeepsTypedText();
    platform::SetComboEditable(*Control(), editable);
    PushFont();
    if (Control() == nullptr) return;
    if (list.IsTable()) {
        platform::SetComboItems(*Control(), items, curPos, keepTyped);
    } else {
        platform::SetComboItems(*Control(), {}, -1, keepTyped);
    }
    platform::PlaceComboBox(*Control(), GetContentRect());
    if (!text.IsNull() && !keepTyped) Control()->SetText(editText);
}

int32_t ComboBoxView::MeasureHeight() { return CaptionSize(*this, u"0123456789", 0).height; }

int32_t ComboBoxView::MeasureWidth() { return CaptionSize(*this, u"0123456789", 0).width; }

int32_t ComboBoxView::CurPos()
{
    if (Control() != nullptr) return platform::ComboSelection(*Control());
    int32_t n = -1;
    return Interpreter::ValueToInt(ViewProperty(*this, u"curPos"), n) ? n : -1;
}

void ComboBoxView::SetCurPos(int32_t n)
{
    if (Control() != nullptr) {
        platform::SelectComboItem(*Control(), n);
        SelectionChanged();
        return;
    }
    // Not shown yet: the control will select it when it is made.
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (table != nullptr) ip.TableSet(table, u"curPos", Value::Number(n));
    CallHandler(u"OnCurPosChange");
}

void ComboBoxView::SelectionChanged()
{
    if (table == nullptr || Control() == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ip.TableSet(table, u"curPos", Value::Number(platform::ComboSelection(*Control())));
    CallHandler(u"OnCurPosChange");
}

namespace {

// GetText(): the edit part's text, or the selected item's; empty without a control.
uint32_t GetText(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    auto* combo = dynamic_cast<ComboBoxView*>(ThisView(ip));
    ip.PushString(combo != nullptr && combo->Control() != nullptr ? combo->Control()->Text() : std::u16string());
    return 1;
}

// GetCurPos(): the selected index, -1 for none; 0 without a native view.
uint32_t GetCurPos(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    auto* combo = dynamic_cast<ComboBoxView*>(ThisView(ip));
    ip.PushNumber(combo != nullptr ? combo->CurPos() : 0);
    return 1;
}

// SetCurPos(n): selects item n (none when n names no item) and runs the
// selection-change steps.
uint32_t SetCurPos(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const double n = ip.ArgNumber(1);
    if (ip.ErrorPending()) return 0;
    int32_t index = -1;
    Interpreter::ValueToInt(Value::Number(n), index);
    auto* combo = dynamic_cast<ComboBoxView*>(ThisView(ip));
    if (combo == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(combo));
    combo->SetCurPos(index);
    return 0;
}

constexpr ClassMethod kComboBoxMethods[] = {
    {u"GetText", GetText}, {u"GetCurPos", GetCurPos}, {u"SetCurPos", SetCurPos}};

} // namespace

void RegisterComboBoxClass(Interpreter& ip)
{
    AddMethods(ip, RegisterViewClass(ip, u"TComboBox", CreateViewObject<ComboBoxView>), kComboBoxMethods);
}

} // namespace vellum::gui

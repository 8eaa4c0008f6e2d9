#include "gui/form/menu_model.h"

#include "engine/core/collector.h"
#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "gui/view/view_binding.h"

#include <functional>

namespace vellum::gui {

namespace {

// Pop-ups nest no deeper than this; an "items" array that contains itself
// would otherwise never end.
constexpr int kMaxDepth = 16;

// Calls visit with each value at 0, 1, 2, ... up to the first missing key.
// Each entry is rooted while visit runs, since visit may run script code
// that takes it out of the array.
void ForEachEntry(Interpreter& ip, TableObject* entries, const std::function<void(const Value&)>& visit)
{
    ValueRoot keepEntries(ip, Value::Table(entries));
    Value entry;
    for (double i = 0; entries->Find(Value::Number(i), entry) && !ip.ErrorPending(); ++i) {
        ValueRoot keep(ip, entry);
        visit(entry);
    }
}

enum class EntryKind { Popup, Command, Separator };

EntryKind KindOf(Interpreter& ip, const Value& entry)
{
    if (!entry.IsTable()) return EntryKind::Separator;
    if (!entry.table->Get(ip.MakeString(u"menu")).IsNull()) return EntryKind::Popup;
    if (!entry.table->Get(ip.MakeString(u"item")).IsNull()) return EntryKind::Command;
    return EntryKind::Separator;
}

std::u16string TextProperty(Interpreter& ip, TableObject* entry, std::u16string_view name)
{
    const Value value = ip.GetProperty(entry, name);
    return ip.ToString(value, false, true)->Utf16();
}

// A "check" or "enable" property counts only when it is a bool.
std::optional<bool> BoolProperty(Interpreter& ip, TableObject* entry, std::u16string_view name)
{
    const Value value = ip.GetProperty(entry, name);
    if (value.tag != Tag::Bool) return std::nullopt;
    return value.IsTrue();
}

std::optional<int32_t> IdOf(Interpreter& ip, TableObject* entry)
{
    int32_t id;
    if (Interpreter::ValueToInt(entry->Get(ip.MakeString(u"id")), id)) return id;
    return std::nullopt;
}

} // namespace

void MenuModel::Mark(Collector& collector) { collector.MarkObject(menu); }

platform::MenuLayout MenuModel::Build(TableObject* menu_)
{
    menu = menu_;
    nextId = kFirstCommand;
    platform::MenuLayout choice;
    if (menu != nullptr) BuildEntries(menu, choice, 0);
    return choice;
}

void MenuModel::BuildEntries(TableObject* entries, std::vector<platform::MenuEntry>& out, int depth)
{
    ForEachEntry(ip, entries, [&](const Value& entry) {
        platform::MenuEntry built;
        switch (KindOf(ip, entry)) {
        case EntryKind::Popup: {
            built.kind = platform::MenuEntry::Kind::Popup;
            built.text = TextProperty(ip, entry.table, u"menu");
            const Value items = entry.table->Get(ip.MakeString(u"items"));
            if (items.IsTable() && depth + 1 < kMaxDepth) BuildEntries(items.table, built.items, depth + 1);
            break;
        }
        case EntryKind::Command:
            built.kind = platform::MenuEntry::Kind::Command;
            built.text = TextProperty(ip, entry.table, u"item");
            built.id = nextId++;
            ip.TableSet(entry.table, u"id", Value::Number(built.id));
            built.checked = BoolProperty(ip, entry.table, u"check");
            built.enabled = BoolProperty(ip, entry.table, u"enable");
            break;
        case EntryKind::Separator:
            break;
        }
        out.push_back(std::move(built));
    });
}

void MenuModel::Update(platform::FormWindow& window)
{
    if (menu != nullptr) UpdateEntries(menu, window, 0);
}

void MenuModel::UpdateEntries(TableObject* entries, platform::FormWindow& window, int depth)
{
    ForEachEntry(ip, entries, [&](const Value& entry) {
        const EntryKind kind = KindOf(ip, entry);
        if (kind == EntryKind::Popup) {
            const Value items = entry.table->Get(ip.MakeString(u"items"));
            if (items.IsTable() && depth + 1 < kMaxDepth) UpdateEntries(items.table, window, depth + 1);
            return;
        }
        if (kind != EntryKind::Command) return;
        const auto id = IdOf(ip, entry.table);
        if (!id) return;
        if (const auto check = BoolProperty(ip, entry.table, u"check")) window.SetMenuItemChecked(*id, *check);
        if (const auto enable = BoolProperty(ip, entry.table, u"enable")) window.SetMenuItemEnabled(*id, *enable);
        if (entry.table->Get(ip.MakeString(u"item")).IsCallable()) {
            window.SetMenuItemText(*id, TextProperty(ip, entry.table, u"item"));
        }
    });
}

bool MenuModel::Dispatch(int32_t id)
{
    return menu != nullptr && DispatchIn(menu, id, 0);
}

bool MenuModel::DispatchIn(TableObject* entries, int32_t id, int depth)
{
    bool found = false;
    ForEachEntry(ip, entries, [&](const Value& entry) {
        if (found || !entry.IsTable()) return;
        if (IdOf(ip, entry.table) == id && KindOf(ip, entry) == EntryKind::Command) {
            found = true;
            CallScriptMethod(ip, entry.table, u"action");
            return;
        }
        const Value items = entry.table->Get(ip.MakeString(u"items"));
        if (items.IsTable() && depth + 1 < kMaxDepth) found = DispatchIn(items.table, id, depth + 1);
    });
    return found;
}

} // namespace vellum::gui

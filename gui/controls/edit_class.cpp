// The TEdit class: the view methods plus the edit control's own. Without a
// control (a table without its view, or a view not shown in a form) the
// answering methods give false, 0 or "", and the others do nothing.
// Methods that change the text run "OnChange", so the view is kept alive
// across them.
#include "engine/core/string_object.h"
#include "engine/core/text_codec.h"
#include "engine/vm/path_resolver.h"
#include "gui/controls/edit_view.h"
#include "gui/gui_library.h"
#include "gui/view/view_class.h"
#include "platform/files/open_files.h"
#include "system/files/byte_text.h"
#include "system/files/script_file.h"

namespace vellum::gui {

namespace {

EditView* ThisEdit(Interpreter& ip) { return dynamic_cast<EditView*>(ThisView(ip)); }

platform::EditControl ThisEditControl(Interpreter& ip)
{
    const EditView* view = ThisEdit(ip);
    return platform::EditControl(view != nullptr ? view->Control() : nullptr);
}

// Argument i truncated toward zero; false with the pending error when it is no number.
bool IntArg(Interpreter& ip, int i, int32_t& n)
{
    const double d = ip.ArgNumber(i);
    if (ip.ErrorPending()) return false;
    Interpreter::ValueToInt(Value::Number(d), n);
    return true;
}

std::u16string TextArg(Interpreter& ip, int i) { return ip.ArgText(i)->Utf16(); }

// Runs an edit that may call "OnChange" with the view kept alive.
template <class Action>
uint32_t Change(Interpreter& ip, Action action)
{
    EditView* view = ThisEdit(ip);
    if (view == nullptr || view->Control() == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(view));
    action(*view);
    return 0;
}

uint32_t PushNumber(Interpreter& ip, int32_t n)
{
    ip.PushNumber(n);
    return 1;
}

uint32_t PushBool(Interpreter& ip, bool b)
{
    ip.PushBool(b);
    return 1;
}

uint32_t PushText(Interpreter& ip, std::u16string_view text)
{
    ip.PushString(text);
    return 1;
}

// A method of one number argument answering a number.
template <int32_t (platform::EditControl::*Query)(int32_t) const>
uint32_t NumberQuery(Interpreter& ip)
{
    int32_t n = 0;
    if (!ip.CheckArgs(1, -1) || !IntArg(ip, 1, n)) return 0;
    return PushNumber(ip, (ThisEditControl(ip).*Query)(n));
}

// A method without arguments or answer that may change the text.
template <void (platform::EditControl::*Operation)()>
uint32_t Operate(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    return Change(ip, [](EditView& view) { (view.Edit().*Operation)(); });
}

uint32_t SetText(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::u16string text = TextArg(ip, 1);
    return Change(ip, [&](EditView& view) { view.Control()->SetText(text); });
}

uint32_t GetText(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const EditView* view = ThisEdit(ip);
    return PushText(ip, view != nullptr && view->Control() != nullptr ? view->Control()->Text() : std::u16string());
}

uint32_t GetModify(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    return PushBool(ip, ThisEditControl(ip).Modified());
}

uint32_t SetModify(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const uint32_t flag = ip.ArgBool(1);
    if (ip.ErrorPending()) return 0;
    ThisEditControl(ip).SetModified(flag != 0);
    return 0;
}

uint32_t CanUndo(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    return PushBool(ip, ThisEditControl(ip).CanUndo());
}

uint32_t SetSel(Interpreter& ip)
{
    int32_t start = 0;
    int32_t end = 0;
    if (!ip.CheckArgs(2, -1) || !IntArg(ip, 1, start) || !IntArg(ip, 2, end)) return 0;
    ThisEditControl(ip).Select(start, end);
    return 0;
}

uint32_t GetSelStart(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    return PushNumber(ip, ThisEditControl(ip).Selection().start);
}

uint32_t GetSelEnd(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    return PushNumber(ip, ThisEditControl(ip).Selection().end);
}

uint32_t ReplaceSel(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::u16string text = TextArg(ip, 1);
    return Change(ip, [&](EditView& view) { view.Edit().ReplaceSel(text, false); });
}

uint32_t GetLineCount(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    return PushNumber(ip, ThisEditControl(ip).LineCount());
}

uint32_t GetLine(Interpreter& ip)
{
    int32_t line = 0;
    if (!ip.CheckArgs(1, -1) || !IntArg(ip, 1, line)) return 0;
    return PushText(ip, ThisEditControl(ip).Line(line));
}

uint32_t ScrollCaret(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ThisEditControl(ip).ScrollCaret();
    return 0;
}

uint32_t Copy(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ThisEditControl(ip).Copy();
    return 0;
}

uint32_t SetTabSize(Interpreter& ip)
{
    int32_t units = 0;
    if (!ip.CheckArgs(1, -1) || !IntArg(ip, 1, units)) return 0;
    ThisEditControl(ip).SetTabStop(units);
    return 0;
}

uint32_t Append(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::u16string text = TextArg(ip, 1);
    return Change(ip, [&](EditView& view) { view.Edit().Append(text); });
}

// The line feed alone, as the handheld appends it: one position, shown as
// a line break.
uint32_t AppendLine(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::u16string text = TextArg(ip, 1);
    return Change(ip, [&](EditView& view) {
        view.Edit().Append(text);
        view.Edit().Append(u"\n");
    });
}

// A text file as the handheld reads it: UTF-16LE after the mark FF FE;
// 8-bit text in the ANSI code page when neither of the first two bytes is
// zero; UTF-16LE without a mark otherwise. Each ends at its first zero.
std::u16string FileText(std::vector<uint8_t> bytes)
{
    bytes.push_back(0);
    bytes.push_back(0);
    const std::span<const uint8_t> all(bytes);
    if (StartsWithUtf16LeMark(all)) return DecodeUtf16Le(all.subspan(2), TextEnd::atZero);
    if (all[0] != 0 && all[1] != 0) return system::AnsiText(all, TextEnd::atZero);
    return DecodeUtf16Le(all, TextEnd::atZero);
}

uint32_t LoadFile(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::optional<std::filesystem::path> path = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
    EditView* view = ThisEdit(ip);
    if (!path || view == nullptr || view->Control() == nullptr) return 0;
    // Shared as a stream's read is: a file a stream is writing is not read half-written.
    const platform::OpenFile file = platform::OpenFile::Open(*path, system::kReadShared);
    if (!file) return 0;
    const std::optional<std::vector<uint8_t>> bytes = ReadRest(file.Handle());
    if (!bytes) return 0;
    const std::u16string text = FileText(*bytes);
    return Change(ip, [&](EditView& edit) { edit.Control()->SetText(text); });
}

// The mark FF FE, then the text as UTF-16LE without an end.
uint32_t SaveFile(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::optional<std::filesystem::path> path = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
    const EditView* view = ThisEdit(ip);
    if (!path || view == nullptr || view->Control() == nullptr) return 0;
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    const std::vector<uint8_t> text = EncodeUtf16Le(view->Control()->Text());
    bytes.insert(bytes.end(), text.begin(), text.end());
    // Opened without sharing: a file another stream holds is left as it is.
    const platform::OpenFile file = platform::OpenFile::Open(*path, system::kWriteEmptied);
    if (!file) return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file.Handle());
    return 0;
}

} // namespace

void RegisterEditClass(Interpreter& ip)
{
    using platform::EditControl;
    static constexpr ClassMethod kEditMethods[] = {
        {u"SetText", SetText},
        {u"GetText", GetText},
        {u"GetModify", GetModify},
        {u"SetModify", SetModify},
        {u"CanUndo", CanUndo},
        {u"Undo", Operate<&EditControl::Undo>},
        {u"SetSel", SetSel},
        {u"GetSelStart", GetSelStart},
        {u"GetSelEnd", GetSelEnd},
        {u"ReplaceSel", ReplaceSel},
        {u"GetLineCount", GetLineCount},
        {u"GetLine", GetLine},
        {u"LineFromChar", NumberQuery<&EditControl::LineFromChar>},
        {u"LineFirstCharPos", NumberQuery<&EditControl::LineIndex>},
        {u"LineLength", NumberQuery<&EditControl::LineLength>},
        {u"ScrollCaret", ScrollCaret},
        {u"Cut", Operate<&EditControl::Cut>},
        {u"Copy", Copy},
        {u"Paste", Operate<&EditControl::Paste>},
        {u"LoadFile", LoadFile},
        {u"SaveFile", SaveFile},
        {u"SetTabSize", SetTabSize},
        {u"Append", Append},
        {u"AppendLine", AppendLine},
        {u"IndentSel", Operate<&EditControl::IndentSel>},
        {u"UnindentSel", Operate<&EditControl::UnindentSel>},
    };
    AddMethods(ip, RegisterViewClass(ip, u"TEdit", CreateViewObject<EditView>), kEditMethods);
}

} // namespace vellum::gui

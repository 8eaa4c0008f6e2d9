// Builds a form from the input and runs it on the offscreen platform while
// taps, drags, wheel turns, keys and close requests arrive as Qt's input
// events. An input that starts with printable text is a script up to its
// first zero byte (so conformance scripts and past faults seed the corpus);
// any other input is the recipe of a form: a tree of views with properties
// drawn from hostile values and handlers drawn from re-entrant actions.
// What follows is the user's input, one event per byte group. Once the
// input is used up or the time is over, every loop the run has open ends.
#include "tests/fuzz/fuzz_bench.h"

#include "engine/core/unicode.h"
#include "platform/window/message_loop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <array>
#include <chrono>
#include <span>
#include <string>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

// How long the user keeps sending input, and the most events one input sends.
constexpr std::chrono::milliseconds kInputTime{400};
constexpr int kMostEvents = 64;

struct ByteReader {
    bool Done() const { return at >= bytes.size(); }
    uint8_t Next() { return Done() ? 0 : bytes[at++]; }
    size_t Pick(size_t n) { return Next() % n; }
    std::span<const uint8_t> Rest() const { return bytes.subspan(at); }

    std::span<const uint8_t> bytes;
    size_t at = 0;
};

// The re-entrant actions a handler runs, by number; Act counts them so that
// a recipe whose handlers set each other off stops on its own.
constexpr std::string_view kActions = R"script(
var gMain = null
var gActs = 0
function Act(v, k)
    gActs = gActs + 1
    if gActs > 200 return 0 end
    var f = v.Form()
    if k == 0 if f != null f.Close() end end
    if k == 1 if gMain != null gMain.Close() end end
    if k == 2 var p = v.Parent() if p != null if p != v if p.IsGroup() p.RemoveView(v) end end end end
    if k == 3 TForm{modal = true, view = TText{text = "modal"}, function OnCreate() this.Close() end}.Show(f) end
    if k == 4 RunScript("var g = TForm{view = TText{text = 'r'}, function OnCreate() this.view.SetTimer(1) end} g.view.OnTimer = function() this.Form().Close() end g.Show()") end
    if k == 5 var broken = null broken.field = 1 end
    if k == 6 v.SetTimer(k - 5) end
    if k == 7 v.Redraw() var q = v.Parent() if q != null q.Redraw() end end
    if k == 8 if gMain != null TForm{modal = true, view = gMain.view, function OnCreate() this.Close() end}.Show(f) end end
    if k == 9 var i = 0 while i < 2000 var t = {i} i = i + 1 end if gMain != null gMain.view.Redraw() end end
    if k == 10 v.Hide() v.Redraw() v.Show() end
    if k == 11 v.SetFocus() end
    if k == 12 v.KillTimer() end
    if k == 13 if f != null f.view.Redraw() end end
    return k > 6
end
)script";
constexpr int kActionCount = 14;

constexpr std::array<std::string_view, 16> kHostileValues = {
    "0", "-1", "1", "3", "2147483647", "-2147483648", "4294967296", "1e300", "-1e300", "0.5",
    "\"\"", "\"x\"", "\"-5px\"", "\"99999999999px\"", "{}", "null"};

constexpr std::array<std::string_view, 22> kProperties = {
    "width", "height", "text", "curPos", "topPos", "listSize", "pgSize", "scrollRange", "comboHeight", "sizeX", "sizeY",
    "horizontal", "multiLine", "vScroll", "border", "readOnly", "password", "tab", "id", "margin", "list", "caption"};

constexpr std::array<std::string_view, 14> kHandlers = {
    "OnClick", "OnSetFocus", "OnKillFocus", "OnTimer", "OnMouseDown", "OnMouseUp", "OnKeyDown",
    "OnCreate", "OnClose", "OnChange", "OnScroll", "OnTabChange", "OnSelChange", "GetAutoHeight"};

struct ViewClass {
    std::string_view name;
    bool group;
    // What the class needs besides the random properties.
    std::string_view required;
};

constexpr std::array<ViewClass, 14> kClasses = {{
    {"TText", false, "text = \"t\""},
    {"TRectangle", false, ""},
    {"TButton", false, "text = \"b\""},
    {"TEdit", false, "text = \"e\""},
    {"TComboBox", false, "list = {\"a\", \"b\"}"},
    {"TScrollBar", false, "scrollRange = 10, pgSize = 2"},
    {"TColumn", true, ""},
    {"TRow", true, ""},
    {"TSwitch", true, ""},
    {"TTabs", true, ""},
    {"TList", false, "listSize = 5, view = TText{}, function SetItem(i) this.view.text = i end"},
    {"TScrollList", false, "listSize = 50, view = TText{}, function SetItem(i) end, function GetItemSize(i) return 10 + i end"},
    {"TSheet", false, "sizeX = 3, sizeY = 3, view = TText{}, function SetItem(x, y) end, "
                      "function GetColWidth(i) return 30 end, function GetRowHeight(i) return 20 end"},
    {"TScrollView", false, "view = TRectangle{height = 900}"},
}};

void AppendView(ByteReader& in, std::string& out, int depth)
{
    const ViewClass& c = kClasses[in.Pick(kClasses.size())];
    out += c.name;
    out += "{";
    out += c.required;
    bool first = c.required.empty();
    const auto separate = [&] {
        if (!first) out += ", ";
        first = false;
    };
    for (size_t n = in.Pick(4); n > 0; --n) {
        separate();
        out += kProperties[in.Pick(kProperties.size())];
        out += " = ";
        out += kHostileValues[in.Pick(kHostileValues.size())];
    }
    for (size_t n = in.Pick(4); n > 0; --n) {
        separate();
        out += "function ";
        out += kHandlers[in.Pick(kHandlers.size())];
        out += "(a, b) return Act(this, " + std::to_string(in.Pick(kActionCount)) + ") end";
    }
    if (c.group && depth < 4) {
        separate();
        out += "views = {";
        for (size_t n = in.Pick(4); n > 0; --n) {
            AppendView(in, out, depth + 1);
            if (n > 1) out += ", ";
        }
        out += "}";
    }
    out += "}";
}

std::string FormRecipe(ByteReader& in)
{
    std::string out(kActions);
    out += "gMain = TForm{title = \"fuzz\", modal = " + std::string(in.Pick(2) == 0 ? "false" : "true") + ", view = ";
    AppendView(in, out, 0);
    for (size_t n = in.Pick(3); n > 0; --n) {
        out += ", function ";
        out += std::array<std::string_view, 3>{"OnCreate", "OnClose", "OnActivate"}[in.Pick(3)];
        out += "() return Act(this.view, " + std::to_string(in.Pick(kActionCount)) + ") end";
    }
    out += "}\ngMain.Show()\n";
    return out;
}

QWidget* TopFormWindow(ByteReader& in)
{
    QWidgetList windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isWindow()) windows.append(w);
    }
    if (windows.isEmpty()) return nullptr;
    return windows[static_cast<qsizetype>(in.Pick(static_cast<size_t>(windows.size())))];
}

QPoint PointIn(ByteReader& in, const QWidget& w)
{
    return {static_cast<int>(in.Next() * std::max(1, w.width()) / 256),
            static_cast<int>(in.Next() * std::max(1, w.height()) / 256)};
}

constexpr std::array<Qt::Key, 16> kKeys = {
    Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backspace,
    Qt::Key_Delete, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_A, Qt::Key_1, Qt::Key_Space};

// A press, move or release of the left button at p, as a finger sends it.
void SendPointer(QWidget* target, QEvent::Type type, QPoint p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, p, target->mapToGlobal(p), button, held, {});
    QApplication::sendEvent(target, &event);
}

// One event to the widget under a point of one window; a widget destroyed
// by a handler is not sent the rest of its event. (Not through QtTest: its
// pointing device would outlive the fuzzer's application at exit.)
void SendEvent(ByteReader& in)
{
    QWidget* window = TopFormWindow(in);
    if (window == nullptr) return;
    const QPoint at = PointIn(in, *window);
    QWidget* under = window->childAt(at);
    QPointer<QWidget> target = under != nullptr ? under : window;
    const QPoint local = target->mapFrom(window, at);
    switch (in.Pick(5)) {
    case 0:
        SendPointer(target, QEvent::MouseButtonPress, local);
        if (target != nullptr) SendPointer(target, QEvent::MouseButtonRelease, local);
        break;
    case 1: {
        SendPointer(target, QEvent::MouseButtonPress, local);
        const QPoint to = local + QPoint(static_cast<int8_t>(in.Next()), static_cast<int8_t>(in.Next()));
        if (target != nullptr) SendPointer(target, QEvent::MouseMove, to);
        if (target != nullptr) SendPointer(target, QEvent::MouseButtonRelease, to);
        break;
    }
    case 2: {
        const QPoint delta(0, static_cast<int8_t>(in.Next()) * 8);
        QWheelEvent wheel(local, target->mapToGlobal(local), {}, delta, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        break;
    }
    case 3: {
        QPointer<QWidget> focused = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : target.data();
        const Qt::Key key = kKeys[in.Pick(kKeys.size())];
        const QString text = key == Qt::Key_A ? QStringLiteral("a") : key == Qt::Key_1 ? QStringLiteral("1") : QString();
        QKeyEvent press(QEvent::KeyPress, key, {}, text);
        QApplication::sendEvent(focused, &press);
        QKeyEvent release(QEvent::KeyRelease, key, {}, text);
        if (focused != nullptr) QApplication::sendEvent(focused, &release);
        break;
    }
    default:
        window->close();
        break;
    }
}

// Sends the events from inside whatever loop runs, then ends the run's loops.
class User {
public:
    User(vellum::Interpreter& ip, std::span<const uint8_t> events) : in{events}
    {
        const Clock::time_point end = Clock::now() + kInputTime;
        timer.setInterval(1);
        timer.callOnTimeout([this, &ip, end] {
            if (!in.Done() && sent < kMostEvents && Clock::now() < end) {
                ++sent;
                // Sent from the loop, not from the timer's own call: an event
                // that opens a modal loop would otherwise hold this timer,
                // which fires only once its call returned, and no later
                // event or end could reach that loop.
                QMetaObject::invokeMethod(&timer, [this] { SendEvent(in); }, Qt::QueuedConnection);
            } else {
                // Forms shown by scripts that RunScript started run loops of
                // their own interpreters, inside the run's own loops.
                vellum::platform::EndLoopsInside(&ip);
                vellum::platform::EndLoopsOf(&ip);
            }
        });
        timer.start();
    }

private:
    ByteReader in;
    int sent = 0;
    QTimer timer;
};

bool IsScript(std::span<const uint8_t> bytes)
{
    if (bytes.empty()) return false;
    const uint8_t first = bytes[0];
    return first == '#' || first == 0xEF || (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    const std::span<const uint8_t> bytes(data, size);
    std::string source;
    std::span<const uint8_t> events;
    if (IsScript(bytes)) {
        size_t end = 0;
        while (end < size && data[end] != 0) ++end;
        source.assign(reinterpret_cast<const char*>(data), end);
        events = bytes.subspan(std::min(size, end + 1));
    } else {
        ByteReader recipe{bytes};
        source = FormRecipe(recipe);
        events = recipe.Rest();
    }
    {
        const auto ip = vellum::fuzz::FullInterpreter();
        const User user(*ip, events);
        vellum::fuzz::RunAndForget(*ip, vellum::FromUtf8(source));
    }
    // Windows and controls retired by the run go before the next input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

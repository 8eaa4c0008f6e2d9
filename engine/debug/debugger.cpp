#include "engine/debug/debugger.h"

#include "engine/core/case_folding.h"
#include "engine/core/function_object.h"
#include "engine/debug/debug_hooks.h"
#include "engine/vm/interpreter_internal.h"
#include "engine/vm/interrupt.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <unordered_map>

namespace vellum {

std::atomic<Debugger*> DebugHooks::active{nullptr};

namespace {

bool IsStatementStart(const Code& code, size_t pc)
{
    const auto& statements = code.statements;
    auto at = std::lower_bound(statements.begin(), statements.end(), pc,
                               [](const Code::Position& p, size_t wanted) { return p.pc < wanted; });
    return at != statements.end() && at->pc == pc;
}

// Offsets where each line of a text starts, for many lookups in one text.
std::vector<int32_t> LineStarts(std::u16string_view text)
{
    std::vector<int32_t> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        if (crlf) ++i;
        if (text[i] == u'\n' || text[i] == u'\r') starts.push_back(static_cast<int32_t>(i + 1));
    }
    return starts;
}

int LineAt(const std::vector<int32_t>& starts, int32_t position)
{
    return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin());
}

// Whether a breakpoint's hitCondition lets its hits-th holding hit stop.
bool HitStops(std::u16string_view condition, int hits)
{
    size_t i = 0;
    auto skipSpaces = [&] {
        while (i < condition.size() && condition[i] == u' ') ++i;
    };
    skipSpaces();
    if (i == condition.size()) return true;
    std::string op;
    while (i < condition.size() && std::u16string_view(u"<>=%!").find(condition[i]) != std::u16string_view::npos) {
        op += static_cast<char>(condition[i++]);
    }
    skipSpaces();
    std::string digits;
    while (i < condition.size() && condition[i] >= u'0' && condition[i] <= u'9') digits += static_cast<char>(condition[i++]);
    skipSpaces();
    long n = 0;
    if (digits.empty() || i != condition.size() ||
        std::from_chars(digits.data(), digits.data() + digits.size(), n).ec != std::errc()) {
        // A condition the debugger cannot read never hides a stop.
        return true;
    }
    if (op.empty() || op == ">=") return hits >= n;
    if (op == "==" || op == "=") return hits == n;
    if (op == ">") return hits > n;
    if (op == "<") return hits < n;
    if (op == "<=") return hits <= n;
    if (op == "!=") return hits != n;
    if (op == "%") return n > 0 && hits % n == 0;
    return true;
}

} // namespace

Debugger::Debugger(DebugFrontEnd& frontEnd_) : frontEnd(frontEnd_)
{
    Debugger* none = nullptr;
    if (!DebugHooks::active.compare_exchange_strong(none, this)) std::abort();
}

const char* StopReasonName(StopReason reason)
{
    switch (reason) {
    case StopReason::Entry:
        return "entry";
    case StopReason::Breakpoint:
        return "breakpoint";
    case StopReason::Step:
        return "step";
    case StopReason::Pause:
        return "pause";
    case StopReason::Exception:
        return "exception";
    }
    return "pause";
}

bool Debugger::Attached() { return DebugHooks::active.load() != nullptr; }

Debugger::~Debugger()
{
    DebugHooks::active.store(nullptr);
    DivertForDebugger(false);
}

void Debugger::SetBreakpoints(std::u16string_view source, std::vector<BreakpointRequest> requests)
{
    {
        const std::lock_guard lock(mutex);
        const std::u16string key = FoldCase(source);
        if (requests.empty()) {
            breakpoints.erase(key);
        } else {
            auto& lines = breakpoints[key];
            lines.clear();
            for (BreakpointRequest& request : requests) lines.emplace(request.line, Breakpoint{std::move(request)});
        }
        generation.fetch_add(1);
    }
    UpdateDiversion();
}

void Debugger::SetStopOnErrors(bool on) { stopOnErrors.store(on); }

void Debugger::Pause()
{
    mode.store(Mode::Pause);
    UpdateDiversion();
}

void Debugger::StopOnEntry()
{
    mode.store(Mode::Entry);
    UpdateDiversion();
}

bool Debugger::NeedsEachInstruction() const
{
    if (mode.load() != Mode::Run) return true;
    const std::lock_guard lock(mutex);
    return !breakpoints.empty();
}

void Debugger::UpdateDiversion() { DivertForDebugger(NeedsEachInstruction()); }

std::u16string Debugger::SourceName(Interpreter& ip, uint32_t textId)
{
    if (textId == kNoSourceText) return {};
    const std::u16string_view file = ip.SourceFile(textId);
    if (!file.empty()) return std::u16string(file);
    return ip.Messages().scriptPath;
}

void Debugger::MarkBreakpoints(Interpreter& ip, Code& code, uint32_t forGeneration)
{
    code.breakpointPcs.clear();
    code.breakpointGeneration = forGeneration;
    const std::lock_guard lock(mutex);
    if (breakpoints.empty()) return;
    struct TextLines {
        const std::multimap<int, Breakpoint>* lines;
        std::vector<int32_t> starts;
    };
    std::unordered_map<uint32_t, TextLines> texts;
    for (const Code::Position& statement : code.statements) {
        auto known = texts.find(statement.place.text);
        if (known == texts.end()) {
            TextLines entry{nullptr, {}};
            const auto found = breakpoints.find(FoldCase(SourceName(ip, statement.place.text)));
            if (found != breakpoints.end()) {
                entry.lines = &found->second;
                entry.starts = LineStarts(Internals(ip).SourceText(statement.place.text));
            }
            known = texts.emplace(statement.place.text, std::move(entry)).first;
        }
        if (known->second.lines == nullptr) continue;
        const int line = LineAt(known->second.starts, statement.place.position);
        if (known->second.lines->count(line) != 0) code.breakpointPcs.push_back(statement.pc);
    }
}

bool Debugger::BreakpointHolds(DebugStop& stop, const SourcePlace& place)
{
    Interpreter& ip = stop.Owner();
    const std::u16string source = FoldCase(SourceName(ip, place.text));
    const int line = LocateInText(Internals(ip).SourceText(place.text), place.position).line;
    std::vector<BreakpointRequest> requests;
    uint32_t asOf;
    {
        const std::lock_guard lock(mutex);
        asOf = generation.load();
        const auto found = breakpoints.find(source);
        if (found == breakpoints.end()) return false;
        const auto [first, last] = found->second.equal_range(line);
        for (auto i = first; i != last; ++i) requests.push_back(i->second.request);
    }
    // Conditions run script code: not while holding the lock.
    std::vector<bool> holds;
    for (const BreakpointRequest& request : requests) {
        if (request.condition.empty()) {
            holds.push_back(true);
            continue;
        }
        const DebugStop::Evaluation result = stop.Evaluate(0, request.condition);
        if (!result.ok) stop.message = u"Breakpoint condition failed: " + result.error;
        holds.push_back(!result.ok || (result.result.type == u"bool" && result.result.value == u"true"));
    }
    const std::lock_guard lock(mutex);
    // Breakpoints replaced meanwhile start counting afresh.
    if (generation.load() != asOf) return false;
    auto [first, last] = breakpoints.find(source)->second.equal_range(line);
    bool stops = false;
    for (size_t i = 0; first != last; ++first, ++i) {
        if (!holds[i]) continue;
        Breakpoint& breakpoint = first->second;
        ++breakpoint.hits;
        stops = stops || HitStops(breakpoint.request.hitCondition, breakpoint.hits);
    }
    return stops;
}

bool Debugger::Stop(DebugStop& stop)
{
    Interpreter& ip = stop.Owner();
    busy = true;
    mode.store(Mode::Run);
    const Resume resume = frontEnd.Stopped(stop);
    stop.Release();
    busy = false;
    stepDepth = ip.callDepth;
    stepInterpreter = &ip;
    switch (resume) {
    case Resume::Continue:
        break;
    case Resume::StepIn:
        mode.store(Mode::StepIn);
        break;
    case Resume::StepOver:
        mode.store(Mode::StepOver);
        break;
    case Resume::StepOut:
        mode.store(Mode::StepOut);
        break;
    case Resume::Terminate:
        RequestStop();
        ip.RaiseError(errStopped);
        UpdateDiversion();
        return true;
    }
    UpdateDiversion();
    return false;
}

bool DebugHooks::BeforeInstruction(Interpreter& ip, Code& code, size_t pc, Value* frame)
{
    Debugger* debugger = active.load();
    if (debugger == nullptr || debugger->busy) return false;
    const uint32_t generation = debugger->generation.load();
    if (code.breakpointGeneration != generation) debugger->MarkBreakpoints(ip, code, generation);
    const bool atBreakpoint = std::binary_search(code.breakpointPcs.begin(), code.breakpointPcs.end(), pc);
    using Mode = Debugger::Mode;
    const Mode mode = debugger->mode.load();
    if (mode == Mode::Run && !atBreakpoint) return false;
    if (!IsStatementStart(code, pc)) return false;
    const bool sameRun = &ip == debugger->stepInterpreter;
    bool stepEnds = false;
    StopReason reason = StopReason::Step;
    switch (mode) {
    case Mode::Run:
        break;
    case Mode::Entry:
        reason = StopReason::Entry;
        stepEnds = true;
        break;
    case Mode::Pause:
        reason = StopReason::Pause;
        stepEnds = true;
        break;
    case Mode::StepIn:
        stepEnds = true;
        break;
    case Mode::StepOver:
        stepEnds = sameRun && ip.callDepth <= debugger->stepDepth;
        break;
    case Mode::StepOut:
        stepEnds = sameRun && ip.callDepth < debugger->stepDepth;
        break;
    }
    if (!stepEnds && !atBreakpoint) return false;
    DebugStop stop(ip, reason, code, pc, frame);
    if (!stepEnds) {
        // A step still going on passes breakpoints by: they stop it.
        const SourcePlace place = std::lower_bound(code.statements.begin(), code.statements.end(), pc,
                                                   [](const Code::Position& p, size_t wanted) {
                                                       return p.pc < wanted;
                                                   })->place;
        debugger->busy = true;
        const bool holds = debugger->BreakpointHolds(stop, place);
        debugger->busy = false;
        if (!holds) return false;
        stop.reason = StopReason::Breakpoint;
    }
    return debugger->Stop(stop);
}

void DebugHooks::ErrorPending(Interpreter& ip, Code& code, size_t pc, Value* frame)
{
    Debugger* debugger = active.load();
    if (debugger == nullptr || debugger->busy || !debugger->stopOnErrors.load()) return;
    const ErrorId id = ip.ErrorIdentifier();
    if (id == errOK || id == errDie || id == errStopped || ip.errorSeenByDebugger) return;
    ip.errorSeenByDebugger = true;
    DebugStop stop(ip, StopReason::Exception, code, pc, frame);
    stop.message = ip.FormatError();
    debugger->Stop(stop);
}

} // namespace vellum

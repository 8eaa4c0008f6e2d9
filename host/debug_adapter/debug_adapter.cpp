#include "host/debug_adapter/debug_adapter.h"

#include "engine/debug/debugger.h"
#include "engine/vm/interrupt.h"
#include "host/command_line.h"
#include "host/debug_adapter/dap_stream.h"
#include "host/debug_adapter/output_capture.h"
#include "host/module/program.h"
#include "platform/files/device_folder.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace vellum {

namespace {

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

// Requests that read or resume a stopped run: they are answered on the
// run's thread while it is stopped.
bool NeedsStop(const QString& command)
{
    static const QStringList kCommands{"stackTrace", "scopes", "variables", "evaluate",
                                       "continue",   "next",   "stepIn",    "stepOut"};
    return kCommands.contains(command);
}

class DapSession final : public DebugFrontEnd {
public:
    DapSession(int argc, char** argv);
    ~DapSession() override;
    int Run();
    Resume Stopped(DebugStop& stop) override;

private:
    enum class Phase { New, Initialized, Launched, Running, Ended };

    void Read();
    void Handle(const QJsonObject& request);
    void Launch(const QJsonObject& request);
    void SetBreakpoints(const QJsonObject& request);
    void EndRun(const QJsonObject& request);
    // A request of the stopped run; gives how the run goes on when it resumes it.
    std::optional<Resume> HandleStopped(const QJsonObject& request, DebugStop& stop);
    QJsonObject Variable(const DebugVariable& variable);

    void Respond(const QJsonObject& request, bool success, const QJsonObject& body = {},
                 const QString& message = {});
    void SendEvent(const QString& event, const QJsonObject& body = {});
    void Send(QJsonObject message);
    void Output(const char* category, const std::string& text);

    int argc;
    char** argv;
    std::atomic<int> sequence{1};
    OutputCapture capture;
    DapWriter writer;
    Debugger debugger{*this};

    std::mutex mutex;
    std::condition_variable changed;
    Phase phase = Phase::New;
    bool configured = false;
    bool disconnected = false;
    bool stopped = false;
    std::deque<QJsonObject> stopRequests;
    CommandLine options;
    std::optional<platform::DeviceFolder> folder;
    std::thread reader;
};

DapSession::DapSession(int argc_, char** argv_)
    : argc(argc_), argv(argv_), capture([this](const char* category, const std::string& text) { Output(category, text); }),
      writer(capture.ProtocolFd())
{
    capture.Start();
    reader = std::thread([this] { Read(); });
}

DapSession::~DapSession()
{
    // The reader may wait for input the client never sends: it ends with the process.
    if (reader.joinable()) reader.detach();
}

void DapSession::Send(QJsonObject message)
{
    message["seq"] = sequence.fetch_add(1);
    writer.Send(QJsonDocument(message).toJson(QJsonDocument::Compact).toStdString());
}

void DapSession::Respond(const QJsonObject& request, bool success, const QJsonObject& body, const QString& message)
{
    QJsonObject response{{"type", "response"},
                         {"request_seq", request.value("seq").toInt()},
                         {"command", request.value("command").toString()},
                         {"success", success}};
    if (!success) response["message"] = message;
    if (!body.isEmpty()) response["body"] = body;
    Send(response);
}

void DapSession::SendEvent(const QString& event, const QJsonObject& body)
{
    QJsonObject message{{"type", "event"}, {"event", event}};
    if (!body.isEmpty()) message["body"] = body;
    Send(message);
}

void DapSession::Output(const char* category, const std::string& text)
{
    SendEvent("output", {{"category", category}, {"output", QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))}});
}

void DapSession::Read()
{
    DapReader input(0);
    for (;;) {
        const auto message = input.Next();
        if (!message) break;
        if (!message->error.empty()) {
            Respond({}, false, {}, QString::fromStdString(message->error));
            continue;
        }
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(message->body), &error);
        if (!document.isObject()) {
            Respond({}, false, {},
                    error.error != QJsonParseError::NoError ? "not JSON: " + error.errorString() : "not a JSON object");
            continue;
        }
        const QJsonObject request = document.object();
        if (request.value("type").toString() != "request" || !request.value("command").isString()) {
            Respond(request, false, {}, "not a request: a message needs \"type\": \"request\" and a command");
            continue;
        }
        // An accepted disconnect lets the session end and be destroyed at
        // once, so after handling it the reader touches nothing of it again.
        bool ending = false;
        if (request.value("command").toString() == "disconnect") {
            const std::lock_guard lock(mutex);
            ending = phase != Phase::New;
        }
        Handle(request);
        if (ending) return;
    }
    // The client has gone: the run ends as after a disconnect.
    EndRun({{"command", "disconnect"}, {"seq", 0}});
}

void DapSession::Handle(const QJsonObject& request)
{
    const QString command = request.value("command").toString();
    std::unique_lock lock(mutex);
    if (command == "initialize") {
        if (phase != Phase::New) return Respond(request, false, {}, "already initialized");
        phase = Phase::Initialized;
        lock.unlock();
        const QJsonArray filters{QJsonObject{{"filter", "errors"}, {"label", "Script errors"}, {"default", false}}};
        return Respond(request, true,
                       {{"supportsConfigurationDoneRequest", true},
                        {"supportsConditionalBreakpoints", true},
                        {"supportsHitConditionalBreakpoints", true},
                        {"supportsEvaluateForHovers", true},
                        {"supportsTerminateRequest", true},
                        {"exceptionBreakpointFilters", filters}});
    }
    if (phase == Phase::New) return Respond(request, false, {}, "the session is not initialized");
    if (command == "launch") {
        lock.unlock();
        return Launch(request);
    }
    if (command == "disconnect" || command == "terminate") {
        lock.unlock();
        return EndRun(request);
    }
    if (command == "threads") return Respond(request, true, {{"threads", QJsonArray{QJsonObject{{"id", 1}, {"name", "main"}}}}});
    if (command == "setExceptionBreakpoints") {
        debugger.SetStopOnErrors(request.value("arguments").toObject().value("filters").toArray().contains("errors"));
        return Respond(request, true);
    }
    if (phase == Phase::Initialized) return Respond(request, false, {}, "launch comes first");
    if (command == "setBreakpoints") {
        lock.unlock();
        return SetBreakpoints(request);
    }
    if (command == "configurationDone") {
        if (configured) return Respond(request, false, {}, "the configuration is already done");
        configured = true;
        changed.notify_all();
        return Respond(request, true);
    }
    if (command == "pause") {
        if (phase != Phase::Running) return Respond(request, false, {}, "the program is not running");
        debugger.Pause();
        return Respond(request, true);
    }
    if (NeedsStop(command)) {
        if (!stopped) return Respond(request, false, {}, "the program is not stopped");
        stopRequests.push_back(request);
        changed.notify_all();
        return;
    }
    Respond(request, false, {}, "unsupported request: " + command);
}

void DapSession::Launch(const QJsonObject& request)
{
    const QJsonObject arguments = request.value("arguments").toObject();
    {
        const std::lock_guard lock(mutex);
        if (phase != Phase::Initialized) return Respond(request, false, {}, "already launched");
    }
    if (!arguments.value("program").isString() || arguments.value("program").toString().isEmpty()) {
        return Respond(request, false, {}, "launch needs \"program\": the script or folder to run");
    }
    std::vector<std::string> line;
    if (arguments.value("console").toBool()) line.push_back("--console");
    if (arguments.contains("screen")) line.insert(line.end(), {"--screen", arguments.value("screen").toString().toStdString()});
    if (arguments.contains("dpi")) {
        const QJsonValue dpi = arguments.value("dpi");
        line.insert(line.end(), {"--dpi", dpi.isDouble() ? std::to_string(dpi.toInt()) : dpi.toString().toStdString()});
    }
    line.push_back(arguments.value("program").toString().toStdString());
    const ParsedCommandLine parsed = ParseCommandLine(line);
    std::string error = parsed.error;
    const auto target = error.empty() ? ResolveTarget(parsed.options, error) : std::nullopt;
    if (!target) return Respond(request, false, {}, QString::fromStdString(error));
    {
        const std::lock_guard lock(mutex);
        options = parsed.options;
        folder.emplace(target->folder);
        phase = Phase::Launched;
    }
    if (arguments.value("stopOnEntry").toBool()) debugger.StopOnEntry();
    Respond(request, true);
    SendEvent("initialized");
}

void DapSession::SetBreakpoints(const QJsonObject& request)
{
    const QJsonObject arguments = request.value("arguments").toObject();
    const QString path = arguments.value("source").toObject().value("path").toString();
    const QJsonArray wanted = arguments.value("breakpoints").toArray();
    const auto device = path.isEmpty() ? std::nullopt : folder->DevicePath(std::filesystem::path(path.toStdString()));
    std::vector<BreakpointRequest> requests;
    QJsonArray answered;
    for (const QJsonValue& item : wanted) {
        const QJsonObject breakpoint = item.toObject();
        const int line = breakpoint.value("line").toInt();
        QJsonObject answer{{"verified", device.has_value() && line > 0}, {"line", line}};
        if (!device) answer["message"] = "the file lies outside the device folder";
        answered.append(answer);
        if (!device || line <= 0) continue;
        requests.push_back({line, breakpoint.value("condition").toString().toStdU16String(),
                         breakpoint.value("hitCondition").toString().toStdU16String()});
    }
    if (device) debugger.SetBreakpoints(*device, std::move(requests));
    Respond(request, true, {{"breakpoints", answered}});
}

void DapSession::EndRun(const QJsonObject& request)
{
    std::unique_lock lock(mutex);
    if (stopped) {
        // The stopped run answers and ends itself.
        if (request.value("command").toString() == "disconnect") disconnected = true;
        stopRequests.push_back(request);
        changed.notify_all();
        return;
    }
    // Answered before the program may end.
    if (request.value("seq").toInt() != 0) Respond(request, true);
    if (request.value("command").toString() == "disconnect") disconnected = true;
    const bool running = phase == Phase::Running;
    changed.notify_all();
    lock.unlock();
    if (running) {
        RequestStop();
        // Forms waiting for input end their loops; the run then meets the stop.
        if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QMetaObject::invokeMethod(app, &QApplication::closeAllWindows, Qt::QueuedConnection);
        }
    }
}

QJsonObject DapSession::Variable(const DebugVariable& variable)
{
    QJsonObject out{{"name", Q(variable.name)},
                    {"value", Q(variable.value)},
                    {"type", Q(variable.type)},
                    {"variablesReference", static_cast<qint64>(variable.reference)}};
    if (variable.reference != 0) out["namedVariables"] = static_cast<qint64>(variable.childCount);
    return out;
}

std::optional<Resume> DapSession::HandleStopped(const QJsonObject& request, DebugStop& stop)
{
    const QString command = request.value("command").toString();
    const QJsonObject arguments = request.value("arguments").toObject();
    const std::vector<DebugFrame>& frames = stop.Frames();
    // Frame ids are their places in the stack, from 1.
    auto frameAt = [&](const QJsonValue& id) -> std::optional<size_t> {
        const int n = id.toInt(0);
        if (n < 1 || static_cast<size_t>(n) > frames.size()) return std::nullopt;
        return static_cast<size_t>(n - 1);
    };
    if (command == "stackTrace") {
        const size_t start = static_cast<size_t>(std::max(0, arguments.value("startFrame").toInt()));
        const int levels = arguments.value("levels").toInt();
        QJsonArray out;
        for (size_t i = start; i < frames.size() && (levels <= 0 || out.size() < levels); ++i) {
            const DebugFrame& frame = frames[i];
            QJsonObject item{{"id", static_cast<qint64>(i + 1)},
                             {"name", Q(frame.name)},
                             {"line", frame.line},
                             {"column", frame.column}};
            if (frame.native) item["presentationHint"] = "subtle";
            const auto host = frame.source.empty() ? std::nullopt : folder->HostPath(frame.source);
            if (host) {
                item["source"] = QJsonObject{{"name", QString::fromStdString(host->filename().string())},
                                             {"path", QString::fromStdString(host->string())}};
            }
            out.append(item);
        }
        Respond(request, true, {{"stackFrames", out}, {"totalFrames", static_cast<qint64>(frames.size())}});
        return std::nullopt;
    }
    if (command == "scopes") {
        const auto frame = frameAt(arguments.value("frameId"));
        if (!frame) {
            Respond(request, false, {}, "no such frame");
            return std::nullopt;
        }
        QJsonArray scopes;
        if (frames[*frame].hasLocals) {
            const uint32_t locals = stop.Locals(*frame);
            scopes.append(QJsonObject{{"name", "Locals"},
                                      {"presentationHint", "locals"},
                                      {"variablesReference", static_cast<qint64>(locals)},
                                      {"namedVariables", static_cast<qint64>(stop.VariableCount(locals))},
                                      {"expensive", false}});
        }
        scopes.append(QJsonObject{{"name", "Globals"},
                                  {"variablesReference", static_cast<qint64>(stop.Globals())},
                                  {"expensive", true}});
        Respond(request, true, {{"scopes", scopes}});
        return std::nullopt;
    }
    if (command == "variables") {
        const auto reference = static_cast<uint32_t>(arguments.value("variablesReference").toInteger());
        const auto start = static_cast<size_t>(std::max<qint64>(0, arguments.value("start").toInteger()));
        const auto count = static_cast<size_t>(std::max<qint64>(0, arguments.value("count").toInteger()));
        QJsonArray out;
        for (const DebugVariable& variable : stop.Variables(reference, start, count)) out.append(Variable(variable));
        Respond(request, true, {{"variables", out}});
        return std::nullopt;
    }
    if (command == "evaluate") {
        const auto frame = arguments.contains("frameId") ? frameAt(arguments.value("frameId")) : std::optional<size_t>(0);
        if (!frame) {
            Respond(request, false, {}, "no such frame");
            return std::nullopt;
        }
        const DebugStop::Evaluation result =
            stop.Evaluate(*frame, arguments.value("expression").toString().toStdU16String());
        if (!result.ok) {
            Respond(request, false, {}, Q(result.error));
            return std::nullopt;
        }
        Respond(request, true,
                {{"result", Q(result.result.value)},
                 {"type", Q(result.result.type)},
                 {"variablesReference", static_cast<qint64>(result.result.reference)}});
        return std::nullopt;
    }
    if (command == "disconnect" || command == "terminate") {
        if (request.value("seq").toInt() != 0) Respond(request, true);
        return Resume::Terminate;
    }
    Respond(request, true, command == "continue" ? QJsonObject{{"allThreadsContinued", true}} : QJsonObject{});
    if (command == "next") return Resume::StepOver;
    if (command == "stepIn") return Resume::StepIn;
    if (command == "stepOut") return Resume::StepOut;
    return Resume::Continue;
}

Resume DapSession::Stopped(DebugStop& stop)
{
    capture.Drain();
    {
        const std::lock_guard lock(mutex);
        stopped = true;
    }
    QJsonObject body{{"reason", StopReasonName(stop.Reason())}, {"threadId", 1}, {"allThreadsStopped", true}};
    if (!stop.Message().empty()) {
        body["description"] = Q(stop.Message());
        body["text"] = Q(stop.Message());
    }
    SendEvent("stopped", body);
    for (;;) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !stopRequests.empty(); });
        const QJsonObject request = stopRequests.front();
        stopRequests.pop_front();
        lock.unlock();
        const std::optional<Resume> resume = HandleStopped(request, stop);
        if (!resume) continue;
        lock.lock();
        stopped = false;
        // What came after the resume finds the run going again.
        while (!stopRequests.empty()) {
            const QJsonObject late = stopRequests.front();
            stopRequests.pop_front();
            if (late.value("command").toString() == "disconnect" || late.value("command").toString() == "terminate") {
                lock.unlock();
                HandleStopped(late, stop);
                lock.lock();
                return Resume::Terminate;
            }
            Respond(late, false, {}, "the program is not stopped");
        }
        if (disconnected) return Resume::Terminate;
        return *resume;
    }
}

int DapSession::Run()
{
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return configured || disconnected; });
        if (disconnected && !configured) {
            phase = Phase::Ended;
            lock.unlock();
            capture.Finish();
            SendEvent("terminated");
            return 0;
        }
        phase = Phase::Running;
    }
    const int status = RunProgram(options, argc, argv);
    capture.Finish();
    {
        const std::lock_guard lock(mutex);
        phase = Phase::Ended;
    }
    SendEvent("exited", {{"exitCode", status}});
    SendEvent("terminated");
    // The client answers the end with a disconnect; one that has gone quiet
    // does not keep the program.
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(10), [this] { return disconnected; });
    return 0;
}

} // namespace

int RunDebugAdapter(int argc, char** argv)
{
    DapSession session(argc, argv);
    return session.Run();
}

} // namespace vellum

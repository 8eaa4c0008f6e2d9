// The instance module: the single-instance rule over a Qt local socket.
//
// The socket is named after the main window class, the user and a hash of
// the canonical device folder, so other folders and other users never meet.
// A start first tries to reach a running instance and asks it to raise its
// window; only when nothing answers does it listen itself. A socket file
// that nothing answers on was left by a crashed instance and is removed.
//
// Two starts at once could otherwise both find nothing, and the second's
// clean-up would delete the first one's fresh socket, leaving two instances
// of which only one can be reached. So the claim runs under a lock file; a
// lock left by a crashed claim is stale once its process is gone.
//
// Needs a QCoreApplication (or QApplication) in the process: requests from
// later starts arrive through its event loop.
#include "platform/modules/loadable_module.h"
#include "platform/window/single_instance_module.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include <system_error>
#include <utility>

namespace vellum::platform {

namespace fs = std::filesystem;

namespace {

constexpr char mainWindowClass[] = "Q9TWnd";
constexpr QByteArrayView raiseRequest = "raise\n";
// Hex digits of the folder's hash kept in the name: enough to keep folders
// apart, short enough for a socket path.
constexpr int folderHashDigits = 16;
// Generous for a local peer that is alive; a dead one fails at once.
constexpr int peerTimeoutMs = 2000;
// A claim takes milliseconds; waiting longer means the lock is not working.
constexpr int claimLockTimeoutMs = 5000;

QString SocketName(const fs::path& deviceFolder)
{
    std::error_code error;
    fs::path folder = fs::weakly_canonical(fs::absolute(deviceFolder, error), error);
    if (error || folder.empty()) folder = deviceFolder;
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(folder.string()), QCryptographicHash::Sha1);
    return QStringLiteral("%1-%2-%3")
        .arg(QLatin1StringView(mainWindowClass))
        .arg(getuid())
        .arg(QString::fromLatin1(hash.toHex().left(folderHashDigits)));
}

// Asks the instance listening on name to raise its window; false when no
// instance answers.
bool AskToRaise(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(peerTimeoutMs)) return false;
    // The instance is there even if the request should not get through.
    socket.write(raiseRequest.data(), raiseRequest.size());
    socket.waitForBytesWritten(peerTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

class LocalSocketInstance final : public SingleInstance {
public:
    explicit LocalSocketInstance(std::function<void()> onRaise) : onRaise(std::move(onRaise))
    {
        // Only this user may connect: nobody else can make us raise.
        server.setSocketOptions(QLocalServer::UserAccessOption);
        QObject::connect(&server, &QLocalServer::newConnection, [this] { TakeConnections(); });
    }

    bool Listen(const QString& name) { return server.listen(name); }
    QString ErrorString() const { return server.errorString(); }

private:
    void TakeConnections()
    {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { ReadRequest(socket); });
            ReadRequest(socket);
        }
    }

    // Waits for the whole request; anything else than a raise request is
    // dropped with its connection.
    void ReadRequest(QLocalSocket* socket)
    {
        if (socket->bytesAvailable() < raiseRequest.size()) return;
        const bool raise = socket->read(raiseRequest.size()) == raiseRequest;
        socket->disconnectFromServer();
        if (raise && onRaise) onRaise();
    }

    std::function<void()> onRaise;
    QLocalServer server; // after onRaise: its connections call it until it is gone
};

std::unique_ptr<SingleInstance> ClaimOverLocalSocket(const fs::path& deviceFolder, std::function<void()> onRaise)
{
    const QString name = SocketName(deviceFolder);
    QLockFile claimLock(QDir::temp().filePath(name + QStringLiteral(".lock")));
    // Without the lock only the protection against a simultaneous start is lost.
    if (!claimLock.tryLock(claimLockTimeoutMs)) qWarning("Vellum: cannot lock the claim of the device folder");

    if (AskToRaise(name)) return nullptr;
    QLocalServer::removeServer(name);
    auto instance = std::make_unique<LocalSocketInstance>(std::move(onRaise));
    if (!instance->Listen(name)) {
        // Another start may have won despite the lock; then it answers now.
        if (AskToRaise(name)) return nullptr;
        // Running unreachable is better than not running at all.
        qWarning("Vellum: cannot listen for later starts: %s", qPrintable(instance->ErrorString()));
    }
    return instance;
}

constexpr SingleInstanceModule kModule{ClaimOverLocalSocket};

} // namespace

} // namespace vellum::platform

VELLUM_MODULE_ENTRY(vellum_instance_module)
{
    return &vellum::platform::kModule;
}

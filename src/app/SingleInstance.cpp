#include "app/SingleInstance.h"

#include "platform/Dialogs.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

// A socket address holds at most 107 bytes of path.
constexpr qsizetype kSocketPathMax = 107;

// The folder is this user's alone: a real folder (no link) owned by the user
// that nobody else may enter or write.
bool ownedPrivately(const QString& folder, bool repairMode)
{
    struct stat info;
    const QByteArray path = QFile::encodeName(folder);
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) == 0) return true;
    return repairMode && ::chmod(path.constData(), 0700) == 0;
}

} // namespace

std::optional<QString> SingleInstance::privateFolder(const QString& name)
{
    const auto fits = [&name](const QString& folder) {
        return QFile::encodeName(folder + u'/' + name).size() <= kSocketPathMax;
    };
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && ownedPrivately(runtime, false) && fits(runtime)) return runtime;
    const QString own = QStringLiteral("lumo-%1").arg(::getuid());
    // A long TMPDIR would leave no room for the socket's name.
    for (const QString& temp : {QDir::tempPath(), QStringLiteral("/tmp")}) {
        const QString folder = QDir(temp).filePath(own);
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        if (fits(folder) && ownedPrivately(folder, true)) return folder;
    }
    return std::nullopt;
}

QString SingleInstance::key(const QString& appFolder)
{
    const QFileInfo folder(appFolder);
    const QString canonical = folder.canonicalFilePath();
    const QString path = canonical.isEmpty() ? folder.absoluteFilePath() : canonical;
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("lumo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(const QString& appFolder, QObject* parent)
    : QObject(parent), m_key(key(appFolder))
{
    const std::optional<QString> folder = privateFolder(m_key);
    if (!folder) return;
    m_socket = QDir(*folder).filePath(m_key);
    m_lock = std::make_unique<QLockFile>(m_socket + QStringLiteral(".lock"));
    // The organiser runs for days: only a dead owner makes the lock stale.
    m_lock->setStaleLockTime(0);
}

QString SingleInstance::lockFilePath() const
{
    return m_lock ? m_lock->fileName() : QString();
}

SingleInstance::~SingleInstance()
{
    release();
}

void SingleInstance::release()
{
    delete m_server; // stops listening before the lock goes
    m_server = nullptr;
    if (m_lock) m_lock->unlock();
}

bool SingleInstance::claim(std::function<void()> onRaise)
{
    // Without a folder of its own this start cannot meet another one; it
    // must not keep the user out either.
    if (!m_lock) return true;
    // Only the superuser can plant a lock in this user's folder; never trust it.
    struct stat info;
    const QByteArray lockFile = QFile::encodeName(m_lock->fileName());
    if (::lstat(lockFile.constData(), &info) == 0 && info.st_uid != ::getuid())
        ::unlink(lockFile.constData());
    if (!m_lock->tryLock(0)) {
        // Only a lock held by a live organiser stops the start; a folder
        // that cannot take the lock must not keep the user out.
        if (m_lock->error() == QLockFile::LockFailedError) return false;
    }
    m_onRaise = std::move(onRaise);
    QLocalServer::removeServer(m_socket); // a socket left by a crash
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    m_server->listen(m_socket); // without it later starts say that Lumo runs
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            if (socket->readLine() != kRaise) {
                socket->abort();
                return;
            }
            socket->write(kDone);
            socket->flush();
            socket->disconnectFromServer();
            if (m_onRaise) m_onRaise();
        });
    }
}

bool SingleInstance::askToRaise(int timeoutMs)
{
    if (m_socket.isEmpty()) return false;
    const QDeadlineTimer deadline(timeoutMs);
    // Started together, the first may hold the lock but not listen yet.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socket);
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            socket.write(kRaise);
            if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
            while (!socket.canReadLine() &&
                   socket.waitForReadyRead(int(deadline.remainingTime()))) {
            }
            return socket.canReadLine() && socket.readLine() == kDone;
        }
        QThread::msleep(50);
    }
    return false;
}

bool startAsOrganiser(SingleInstance& instance, platform::Dialogs& dialogs,
                      std::function<void()> onRaise, int timeoutMs)
{
    if (instance.claim(std::move(onRaise))) return true;
    if (!instance.askToRaise(timeoutMs))
        dialogs.message(kAlreadyRunning, platform::kDefaultTitle, platform::Buttons::Ok,
                        platform::Icon::Information);
    return false;
}

} // namespace app

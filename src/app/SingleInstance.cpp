#include "app/SingleInstance.h"

#include "app/InstanceKey.h"
#include "platform/Dialogs.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace app {

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

} // namespace

QString SingleInstance::key(const QString& bookPath)
{
    return instanceKey(bookPath);
}

SingleInstance::SingleInstance(const QString& bookPath, QObject* parent)
    : QObject(parent), m_key(key(bookPath)), m_socket(instanceSocketPath(m_key))
{
    const QString lock = instanceLockPath(m_key);
    if (lock.isEmpty()) return;
    m_lock = std::make_unique<QLockFile>(lock);
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
    if (!m_lock->tryLock(0)) {
        // Only a lock held by a live organiser stops the start; a temporary
        // folder that cannot take the lock must not keep the user out.
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

#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;

namespace platform {
class Dialogs;
}

namespace app {

// One organiser per application folder. The first start claims the folder
// and listens; a later start asks it to come to the front instead of
// opening the same book a second time.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& appFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process now runs the folder's organiser; `onRaise` then
    // runs whenever a later start asks. False when another one runs.
    bool claim(std::function<void()> onRaise);
    // Asks the running organiser to come forward; false when none answered.
    bool askToRaise(int timeoutMs = 3000);
    // Gives the folder up: stops listening and removes the lock.
    void release();

    // The folder's name for the lock and the socket, the same for every
    // spelling of the path.
    static QString key(const QString& appFolder);
    // This user's private folder for the lock and the socket: the runtime
    // folder, else "lumo-<uid>" in the temporary folder (made 0700). A
    // folder another user owns or can write is never used.
    static std::optional<QString> privateFolder(const QString& name);
    // Where the lock lives; empty when no private folder could be had.
    QString lockFilePath() const;

private:
    void answer();

    QString m_key;
    QString m_socket; // full path, empty without a private folder
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_onRaise;
};

inline const QString kAlreadyRunning = QStringLiteral("Lumo 已经在运行，请使用已经打开的窗口。");

// The start's first step: true when this start goes on as the organiser;
// otherwise the running one was asked to come forward (or, when it does not
// answer, the user is told it runs) and this start must end.
bool startAsOrganiser(SingleInstance& instance, platform::Dialogs& dialogs,
                      std::function<void()> onRaise, int timeoutMs = 3000);

} // namespace app

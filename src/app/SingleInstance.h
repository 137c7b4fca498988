#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace platform {
class Dialogs;
}

namespace app {

// One organiser per book. The first start claims the book and listens; a
// later start asks it to come to the front instead of opening the same
// book a second time.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& bookPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process now runs the folder's organiser; `onRaise` then
    // runs whenever a later start asks. False when another one runs.
    bool claim(std::function<void()> onRaise);
    // Asks the running organiser to come forward; false when none answered.
    bool askToRaise(int timeoutMs = 3000);
    // Gives the book up: stops listening and removes the lock.
    void release();

    // The book's name for the lock and the socket (see instanceKey).
    static QString key(const QString& bookPath);
    // Where the lock lives (see instanceFolder); empty without a private folder.
    QString lockFilePath() const;

private:
    void answer();

    QString m_key;
    QString m_socket; // empty without a private folder
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

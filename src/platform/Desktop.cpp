#include "platform/Desktop.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

namespace platform {

namespace {

// Files copied from other systems often carry the executable bit, so only real
// programs (binaries and scripts) are started; everything else goes to its viewer.
bool isProgram(const QFileInfo& info)
{
    if (!info.isFile() || !info.isExecutable()) return false;
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(4);
    return head == QByteArray("\x7f"
                              "ELF",
                              4) ||
           head.startsWith("#!");
}

const QString kCannotOpen = QStringLiteral("桌面无法打开这个文件：");

// xdg-open's own failures: no program for the type (3), the program failed (4).
// A viewer that xdg-open runs in the foreground and that ends later with an error
// is not a failure to open, so only an answer within the first seconds counts.
void watchOpener(const QString& opener, const QString& file,
                 const std::function<void(const QString&)>& lateFailure)
{
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto* patience = new QTimer(process);
    patience->setSingleShot(true);
    patience->start(15000);
    QObject::connect(process, &QProcess::finished, process,
                     [process, patience, file, lateFailure](int code, QProcess::ExitStatus status) {
                         const bool failed =
                             status != QProcess::NormalExit || code == 3 || code == 4;
                         if (failed && patience->isActive() && lateFailure)
                             lateFailure(kCannotOpen + file);
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, file, lateFailure](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         if (lateFailure) lateFailure(kCannotOpen + file);
                         process->deleteLater();
                     });
    process->start(opener, {file});
}

} // namespace

void askDefaultApplication(const QString& mimeType, QObject* receiver,
                           std::function<void(bool)> answer, int timeoutMs)
{
    // The process belongs to the receiver, so the answer never outlives it.
    auto* query = new QProcess(receiver);
    auto* timer = new QTimer(query);
    auto answered = std::make_shared<bool>(false);
    const auto give = [query, answer, answered](bool known) {
        if (std::exchange(*answered, true)) return;
        query->deleteLater();
        answer(known);
    };
    QObject::connect(query, &QProcess::finished, query,
                     [query, give](int code, QProcess::ExitStatus status) {
                         give(status == QProcess::NormalExit && code == 0 &&
                              !query->readAllStandardOutput().trimmed().isEmpty());
                     });
    QObject::connect(query, &QProcess::errorOccurred, query, [give](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) give(false);
    });
    QObject::connect(timer, &QTimer::timeout, query, [query, give] {
        give(false);
        query->kill();
    });
    timer->setSingleShot(true);
    timer->start(timeoutMs);
    query->start(QStringLiteral("xdg-mime"),
                 {QStringLiteral("query"), QStringLiteral("default"), mimeType});
}

QString QtDesktop::open(const QString& path)
{
    const QFileInfo info(path);
    if (path.trimmed().isEmpty() || !info.exists()) return QStringLiteral("找不到文件：") + path;
    if (isProgram(info)) {
        if (!QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath()))
            return QStringLiteral("无法启动程序：") + path;
        return {};
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return QStringLiteral("没有可以打开此文件的程序：") + path;
    watchOpener(opener, info.absoluteFilePath(), m_lateFailure);
    return {};
}

} // namespace platform

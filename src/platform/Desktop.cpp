#include "platform/Desktop.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

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

} // namespace

bool hasDefaultApplication(const QString& mimeType)
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
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
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
        return QStringLiteral("没有可以打开此文件的程序：") + path;
    return {};
}

} // namespace platform

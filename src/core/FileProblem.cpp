#include "core/FileProblem.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

namespace core {

namespace {

QString systemSays(const QFileDevice& file)
{
    return file.errorString().isEmpty() ? QStringLiteral("原因不明")
                                        : QStringLiteral("系统报告：%1").arg(file.errorString());
}

} // namespace

QString readProblem(const QString& path, const QFileDevice& file)
{
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("文件不存在");
    if (info.isDir()) return QStringLiteral("这是一个文件夹，不是文件");
    if (!info.isReadable()) return QStringLiteral("没有读取这个文件的权限");
    return systemSays(file);
}

QString writeProblem(const QString& path, const QFileDevice& file)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder.filePath()));
    if (info.isDir()) return QStringLiteral("这是一个文件夹，不是文件");
    // A new file is made beside the old one and then takes its name.
    if (!folder.isWritable()) return QStringLiteral("没有在这个文件夹中写入的权限");
    if (info.exists() && !info.isWritable()) return QStringLiteral("没有写入这个文件的权限");
    return systemSays(file);
}

} // namespace core

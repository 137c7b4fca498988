#include "BookFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#ifndef LUMO_RESOURCES_FROM_PROGRAM
#define LUMO_RESOURCES_FROM_PROGRAM "../../share/lumo"
#endif

namespace store {

namespace {

const QString kBookName = QStringLiteral("rmd.mdb");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QString notAFile(const QString& book)
{
    return QStringLiteral(
               "%1 不是数据库文件（它是一个文件夹或特殊文件），Lumo 无法使用它。请把它移走，"
               "再把数据库 rmd.mdb 放到这里。")
        .arg(native(book));
}

QString lostBook(const BookFolders& folders)
{
    return QStringLiteral("找不到数据库文件 %1。\n"
                          "文件夹 %2 已经存在，但其中没有 rmd.mdb。为了不让一本空白的新数据库"
                          "（初始密码）顶替你的数据，Lumo 不会自动新建。\n"
                          "如有备份（例如 %3 中的文件），可以这样恢复：lumo --restore 备份文件\n"
                          "要重新开始一本空白的数据库，请先删除或改名文件夹 %2。")
        .arg(native(folders.book()), native(folders.data), native(folders.backups()));
}

// $XDG_DATA_HOME/lumo; a relative value is ignored, as the XDG rules say.
QString userDataFolder(const QProcessEnvironment& environment)
{
    const QString xdg = environment.value(QStringLiteral("XDG_DATA_HOME"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir(xdg).filePath(QStringLiteral("lumo"));
    const QString home = environment.value(QStringLiteral("HOME"));
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) return {};
    return QDir(home).filePath(QStringLiteral(".local/share/lumo"));
}

// Fills a temporary folder beside the target and renames it into place, so
// a failure (read-only parent, full disk) leaves nothing that looks like a book.
QString createFromSeed(const BookFolders& folders)
{
    const QString seed = QDir(folders.resources).filePath(QStringLiteral("seed/") + kBookName);
    if (!QFileInfo(seed).isFile())
        return QStringLiteral("找不到初始数据库 %1，无法为你建立数据库 %2。请重新安装 Lumo。")
            .arg(native(seed), native(folders.book()));
    const QString parent = QFileInfo(folders.data).absolutePath();
    const auto cannot = [&](const QString& why) {
        return QStringLiteral("无法建立 Lumo 的数据文件夹 %1：%2").arg(native(folders.data), why);
    };
    if (!QDir().mkpath(parent))
        return cannot(QStringLiteral("无法创建文件夹 %1（是否只读？）").arg(native(parent)));
    QTemporaryDir staging(QDir(parent).filePath(QStringLiteral(".lumo-new-XXXXXX")));
    if (!staging.isValid())
        return cannot(
            QStringLiteral("文件夹 %1 无法写入：%2").arg(native(parent), staging.errorString()));
    QFile copy(seed);
    const QString book = staging.filePath(kBookName);
    if (!copy.copy(book))
        return cannot(
            QStringLiteral("复制初始数据库失败（磁盘是否已满？）：%1").arg(copy.errorString()));
    QFile::setPermissions(book, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!QDir(staging.path()).mkdir(QStringLiteral("wbwj")))
        return cannot(QStringLiteral("无法创建文件夹 wbwj（磁盘是否已满？）"));
    if (!QDir().rename(staging.path(), folders.data)) {
        // Another start may have made it a moment ago.
        if (QFileInfo(folders.book()).isFile()) return {};
        return cannot(QStringLiteral("无法把准备好的文件夹改名为它"));
    }
    staging.setAutoRemove(false);
    return {};
}

} // namespace

QString BookFolders::book() const
{
    return QDir(data).filePath(kBookName);
}

QString BookFolders::backups() const
{
    return QDir(data).filePath(QStringLiteral("backups"));
}

BookFolders portableFolders(const QString& programFolder)
{
    return {programFolder, programFolder, programFolder, true};
}

QString installedResources(const QString& programFolder)
{
    return QDir::cleanPath(
        QDir(programFolder).filePath(QStringLiteral(LUMO_RESOURCES_FROM_PROGRAM)));
}

BookPlace locateBook(const QString& programFolder, const QProcessEnvironment& environment)
{
    BookPlace place;
    const QFileInfo own(QDir(programFolder).filePath(kBookName));
    if (own.exists() || own.isSymLink()) {
        place.folders = portableFolders(programFolder);
        if (!own.isFile()) place.problem = notAFile(own.filePath());
        return place;
    }

    BookFolders& folders = place.folders;
    folders.program = programFolder;
    folders.portable = false;
    const QString shared = installedResources(programFolder);
    folders.resources = QFileInfo(shared).isDir() ? shared : programFolder;
    folders.data = userDataFolder(environment);
    if (folders.data.isEmpty()) {
        place.problem =
            QStringLiteral("无法确定数据库的位置：环境变量 HOME 和 XDG_DATA_HOME 都没有给出"
                           "一个绝对路径。");
        return place;
    }
    const QFileInfo data(folders.data);
    if (!data.exists() && !data.isSymLink()) {
        place.problem = createFromSeed(folders);
        return place;
    }
    const QFileInfo book(folders.book());
    if (!data.isDir())
        place.problem = QStringLiteral("%1 应当是 Lumo 的数据文件夹，但它不是文件夹。")
                            .arg(native(folders.data));
    else if (!book.exists() && !book.isSymLink()) {
        place.problem = lostBook(folders);
        place.lost = true;
    } else if (!book.isFile())
        place.problem = notAFile(folders.book());
    return place;
}

} // namespace store

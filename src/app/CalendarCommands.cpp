#include "app/CommandParts.h"

#include "core/IcsExport.h"
#include "core/IcsImport.h"
#include "store/Connection.h"
#include "store/StoreError.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace app::detail {

int exportIcs(const Command& command, const QString& book, const platform::Clock& clock,
              QIODevice& out, QIODevice& err)
{
    std::vector<core::AffairRecord> records;
    try {
        store::Connection connection;
        connection.open(book, store::Connection::Access::ReadOnly);
        records = core::readAffairs(connection);
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：无法读取数据库 %1：%2\n")
                           .arg(QDir::toNativeSeparators(book), error.message()));
        return kUsageError;
    }
    // Written whole or not at all: a full disk leaves no half calendar behind.
    QSaveFile file(command.file);
    core::IcsExport result;
    if (file.open(QIODevice::WriteOnly))
        result = core::exportCalendar(records, clock, file, command.lunarRule);
    if (!file.isOpen() || !result.written || !file.commit()) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(core::cannotWriteText(command.file, file)));
        return kRefused;
    }
    writeText(out, core::exportedText(result, command.file) + u'\n');
    return 0;
}

int importIcs(const QString& path, const QString& book, QIODevice& out, QIODevice& err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(core::cannotOpenText(path, file)));
        return kRefused;
    }
    core::ImportReport report;
    try {
        store::Connection connection;
        connection.open(book);
        report = core::importCalendar(connection, file.readAll());
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：导入失败，数据库 %1 没有任何改动：%2\n")
                           .arg(QDir::toNativeSeparators(book), error.message()));
        return kUsageError;
    }
    if (!report.refusal.isEmpty()) {
        writeText(err, QStringLiteral("rmd：%1 %2\n").arg(native(path), report.summary()));
        return kRefused;
    }
    writeText(out, report.summary() + u'\n');
    for (const QString& line : report.firstReasons() + report.firstExpansions())
        writeText(err, line + u'\n');
    // The full list beside the book, where the user finds it again.
    const QString saved = report.saveBeside(book);
    if (!saved.isEmpty())
        writeText(out, core::reportSavedText(saved) + u'\n');
    else
        writeText(err, QStringLiteral("rmd：无法写入报告 %1。\n")
                           .arg(native(QFileInfo(book).dir().filePath(core::kReportFileName))));
    return 0;
}

} // namespace app::detail

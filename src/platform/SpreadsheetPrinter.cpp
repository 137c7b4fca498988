#include "platform/SpreadsheetPrinter.h"
#include "platform/Desktop.h"
#include "platform/OoxmlSheet.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <zip.h>

#include <list>
#include <optional>

namespace platform {

namespace {

// A zip archive held in memory, so that a failure half way leaves no file behind.
class ZipPackage {
public:
    explicit ZipPackage(QByteArray data) : data_(std::move(data))
    {
        zip_error_t error;
        zip_error_init(&error);
        source_ =
            zip_source_buffer_create(data_.constData(), zip_uint64_t(data_.size()), 0, &error);
        if (source_) {
            zip_ = zip_open_from_source(source_, 0, &error);
            if (zip_) {
                zip_source_keep(source_); // zip_close must leave it to us to read back
            } else {
                zip_source_free(source_);
                source_ = nullptr;
            }
        }
        zip_error_fini(&error);
    }

    ~ZipPackage()
    {
        if (zip_) zip_discard(zip_);
        if (source_) zip_source_free(source_);
    }

    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool isOpen() const { return zip_ != nullptr; }

    std::optional<QByteArray> read(const QString& name) const
    {
        const zip_int64_t index = locate(name);
        zip_stat_t stat;
        if (index < 0 || zip_stat_index(zip_, zip_uint64_t(index), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_SIZE) || stat.size > 256u * 1024 * 1024)
            return std::nullopt;
        zip_file_t* file = zip_fopen_index(zip_, zip_uint64_t(index), 0);
        if (!file) return std::nullopt;
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t got = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        if (got != zip_int64_t(stat.size)) return std::nullopt;
        return bytes;
    }

    bool replace(const QString& name, const QByteArray& bytes)
    {
        const zip_int64_t index = locate(name);
        if (index < 0) return false;
        // libzip reads the buffer only when the archive is written.
        const QByteArray& kept = pending_.emplace_back(bytes);
        zip_source_t* source =
            zip_source_buffer(zip_, kept.constData(), zip_uint64_t(kept.size()), 0);
        if (!source) return false;
        if (zip_file_replace(zip_, zip_uint64_t(index), source, 0) != 0) {
            zip_source_free(source);
            return false;
        }
        return true;
    }

    // Writes the changes and returns the whole archive.
    std::optional<QByteArray> save()
    {
        if (zip_close(zip_) != 0) return std::nullopt;
        zip_ = nullptr;
        zip_stat_t stat;
        if (zip_source_stat(source_, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
            zip_source_open(source_) != 0)
            return std::nullopt;
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t got = zip_source_read(source_, bytes.data(), stat.size);
        zip_source_close(source_);
        if (got != zip_int64_t(stat.size)) return std::nullopt;
        return bytes;
    }

private:
    zip_int64_t locate(const QString& name) const
    {
        return zip_name_locate(zip_, name.toUtf8().constData(), ZIP_FL_NOCASE);
    }

    QByteArray data_;
    std::list<QByteArray> pending_;
    zip_source_t* source_ = nullptr;
    zip_t* zip_ = nullptr;
};

QByteArray filledPackage(const QByteArray& templateBytes, const QStringList& lines, bool* ok)
{
    *ok = false;
    ZipPackage package(templateBytes);
    if (!package.isOpen()) return {};
    QString sheet;
    const auto workbook = package.read(QStringLiteral("xl/workbook.xml"));
    const auto rels = package.read(QStringLiteral("xl/_rels/workbook.xml.rels"));
    if (workbook && rels) sheet = ooxml::firstSheetPart(*workbook, *rels);
    if (sheet.isEmpty()) sheet = QStringLiteral("xl/worksheets/sheet1.xml");

    const auto sheetXml = package.read(sheet);
    if (!sheetXml) return {};
    const auto filled = ooxml::fillColumnB(*sheetXml, lines);
    if (!filled || !package.replace(sheet, *filled)) return {};

    const QString typesPart = QStringLiteral("[Content_Types].xml");
    const auto types = package.read(typesPart);
    if (!types) return {};
    const QByteArray workbookTypes = ooxml::templateToWorkbook(*types);
    if (workbookTypes != *types && !package.replace(typesPart, workbookTypes)) return {};

    const auto saved = package.save();
    if (!saved) return {};
    *ok = true;
    return *saved;
}

} // namespace

OoxmlSpreadsheetPrinter::OoxmlSpreadsheetPrinter(Opener opener) : opener_(std::move(opener))
{
    if (opener_) return;
    opener_ = [this](const QString& path, std::function<void(bool)> done) {
        askDefaultApplication(
            QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"),
            this, [path, done](bool known) {
                done(known && QDesktopServices::openUrl(
                                  QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())));
            });
    };
}

QString OoxmlSpreadsheetPrinter::fill(const QString& templatePath, const QStringList& lines,
                                      const QString& savePath)
{
    QFile source(templatePath);
    if (!QFileInfo(templatePath).isFile()) return QStringLiteral("找不到表格模板：") + templatePath;
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取表格模板：") + templatePath;

    bool ok = false;
    const QByteArray bytes = filledPackage(source.readAll(), lines, &ok);
    if (!ok) return QStringLiteral("表格模板已损坏，无法使用：") + templatePath;

    const QFileInfo target(savePath);
    QSaveFile file(target.absoluteFilePath());
    if (!QDir().mkpath(target.absolutePath()) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("无法保存表格文件：") + savePath;
    return {};
}

QString OoxmlSpreadsheetPrinter::print(const QString& templatePath, const QStringList& lines,
                                       const QString& savePath)
{
    const QString error = fill(templatePath, lines, savePath);
    if (!error.isEmpty()) return error;
    opener_(savePath, [this, savePath](bool shown) {
        if (!shown)
            emit notShown(QStringLiteral("表格已保存到%1，但本机没有可以打开.xlsx文件的电子表格程序"
                                         "（例如LibreOffice Calc），请安装后再打开它。")
                              .arg(QDir::toNativeSeparators(savePath)));
    });
    return {};
}

} // namespace platform

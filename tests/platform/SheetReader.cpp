#include "SheetReader.h"

#include <QXmlStreamReader>

#include <zip.h>

SheetContent readSheet(const QByteArray& xml, const QList<QString>& sharedStrings)
{
    SheetContent sheet;
    QXmlStreamReader reader(xml);
    QString cell;
    QString type;
    QString text;
    bool inText = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto a = reader.attributes();
            if (reader.name() == u"row") {
                sheet.rows << a.value(QLatin1String("r")).toInt();
            } else if (reader.name() == u"c") {
                cell = a.value(QLatin1String("r")).toString();
                type = a.value(QLatin1String("t")).toString();
                text.clear();
                if (a.hasAttribute(QLatin1String("s")))
                    sheet.styles[cell] = a.value(QLatin1String("s")).toString();
            } else if (reader.name() == u"t" || reader.name() == u"v") {
                inText = true;
            }
        } else if (reader.isCharacters() && inText) {
            text += reader.text();
        } else if (reader.isEndElement()) {
            if (reader.name() == u"t" || reader.name() == u"v")
                inText = false;
            else if (reader.name() == u"c" && !text.isEmpty())
                sheet.values[cell] = type == u"s" ? sharedStrings.value(text.toInt()) : text;
        }
    }
    sheet.valid = !reader.hasError();
    return sheet;
}

QByteArray zipEntry(const QString& path, const QString& name)
{
    int error = 0;
    zip_t* zip = zip_open(path.toLocal8Bit().constData(), ZIP_RDONLY, &error);
    if (!zip)
        return {};
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_stat(zip, name.toUtf8().constData(), 0, &stat) == 0) {
        if (zip_file_t* file = zip_fopen(zip, name.toUtf8().constData(), 0)) {
            bytes.resize(qsizetype(stat.size));
            if (zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size))
                bytes.clear();
            zip_fclose(file);
        }
    }
    zip_discard(zip);
    return bytes;
}

bool replaceZipEntry(const QString& path, const QString& name, const QByteArray& bytes)
{
    int error = 0;
    zip_t* zip = zip_open(path.toLocal8Bit().constData(), 0, &error);
    if (!zip)
        return false;
    zip_source_t* source = zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    if (!source || zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        zip_discard(zip);
        return false;
    }
    return zip_close(zip) == 0;
}

Workbook readWorkbook(const QString& path)
{
    Workbook book;
    book.contentTypes = zipEntry(path, "[Content_Types].xml");
    const QByteArray sheet = zipEntry(path, "xl/worksheets/sheet1.xml");
    if (book.contentTypes.isEmpty() || sheet.isEmpty())
        return book;

    QList<QString> shared;
    QXmlStreamReader strings(zipEntry(path, "xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == u"t")
            shared << strings.readElementText();
    }
    book.firstSheet = readSheet(sheet, shared);
    book.valid = book.firstSheet.valid;
    return book;
}

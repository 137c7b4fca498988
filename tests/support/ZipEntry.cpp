#include "ZipEntry.h"

#include <QFile>

#include <zip.h>

QByteArray zipEntry(const QString& path, const char* name)
{
    QByteArray bytes;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    zip_file_t* file = zip ? zip_fopen(zip, name, 0) : nullptr;
    char buffer[4096];
    for (zip_int64_t n; file && (n = zip_fread(file, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, qsizetype(n));
    if (file) zip_fclose(file);
    if (zip) zip_discard(zip);
    return bytes;
}

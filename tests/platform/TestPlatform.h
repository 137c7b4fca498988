#pragma once

#include <QFile>
#include <QObject>

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    // TestPlatform.cpp
    void autostart();
    void desktop();
    void defaultApplication_data();
    void defaultApplication();
    void dialogsAnswer_data();
    void dialogsAnswer();
    void qtFilter_data();
    void qtFilter();
    void languageId_data();
    void languageId();

    // TestMedia.cpp
    void mediaPlayerReportsBadFiles_data();
    void mediaPlayerReportsBadFiles();
    void mediaSamplesLoad_data();
    void mediaSamplesLoad();
    void speechListsVoices();

    // TestSpreadsheet.cpp
    void sheetFill();
    void printerFillsTemplate();
    void printerRefusesBadTemplates_data();
    void printerRefusesBadTemplates();
};

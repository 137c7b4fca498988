#pragma once

#include <QObject>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    // TestPlatform.cpp
    void autostartWritesEntry_data();
    void autostartWritesEntry();
    void autostartFindsConfigFolder();
    void autostartReportsFailure();
    void desktopReportsMissingFiles();
    void desktopStartsPrograms();
    void dialogsAnswer_data();
    void dialogsAnswer();
    void qtFilter_data();
    void qtFilter();
    void languageId_data();
    void languageId();

    // TestMedia.cpp
    void mediaPlayerLoadsWave();
    void mediaPlayerReportsBadFiles_data();
    void mediaPlayerReportsBadFiles();
    void mediaPlayerForgetsEarlierFile();
    void speechListsVoices();

    // TestSpreadsheet.cpp
    void sheetFill_data();
    void sheetFill();
    void printerFillsTemplate();
    void printerRefusesBadTemplates_data();
    void printerRefusesBadTemplates();
    void printerSaysWhereFileIs();
};

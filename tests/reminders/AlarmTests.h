#pragma once

#include <QObject>

class TestAlarm : public QObject {
    Q_OBJECT
private slots:
    // test_alarm.cpp
    void alarmMinutesParse_data();
    void alarmMinutesParse();
    void countdown_data();
    void countdown();
    void startRefusals_data();
    void startRefusals();
    void chooseCommands_data();
    void chooseCommands();
    void mediaErrorsAreShown();

    // test_print.cpp
    void splitLines_data();
    void splitLines();
    void prints_data();
    void prints();
    void printFailuresAreReported_data();
    void printFailuresAreReported();
    void recreateTextFiles();
    void workbooksAreNeverOverwritten();
};

#pragma once

#include "TestApp.h"
#include "reminders/ReminderWindow.h"

#include <QObject>
#include <QStringList>
#include <memory>

// A fresh application folder with the templates and wbwj/, and the reminder
// window opened on it.
struct AlarmWindow {
    TestApp app;
    std::unique_ptr<reminders::ReminderWindow> w;

    explicit AlarmWindow(const QStringList& statements = {});
    template <class T> T* get(const QString& name)
    {
        T* widget = w->findChild<T*>(name);
        if (!widget) qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void click(const QString& button);
    QString file(const QString& name) const;
};

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
    void printSelectedNeedsSelection();
    void printFailuresAreReported_data();
    void printFailuresAreReported();
    void recreateTextFiles();
    void workbooksAreNeverOverwritten();
};

#pragma once

#include <QObject>

class TestSetup : public QObject {
    Q_OBJECT
private slots:
    // TestChecks.cpp
    void checks_data();
    void checks();
    void probeInspectsDatabase_data();
    void probeInspectsDatabase();

    // TestWindows.cpp
    void wizard();
    void installWindow();
    void installWindowClosedDuringCheck();
    void tutorialWindow();
    void loginRegistersLibraries();
};

#pragma once

#include <QObject>

// The free functions behind the reminder window.
class TestAffairText : public QObject {
    Q_OBJECT
private slots:
    void composeStoredAffair_data();
    void composeStoredAffair();
};

// The reminder window driven through its controls.
class TestReminderWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void loadOnFixedDates_data();
    void loadOnFixedDates();
    void clockTicks();
    void addStoresComposedAffair_data();
    void addStoresComposedAffair();
    void modifyWritesNullsAndNests();
    void modifyAndDeleteNeedASelectedLine();
    void deletesAskFirst_data();
    void deletesAskFirst();
    void clearAndRefresh();
    void quitAndCloseEndTheProgram();
    void badDateIsRefused();
    void pickersWriteTheirBoxes();
    void clicksLoadTheRecord();
    void searches_data();
    void searches();
    void searchesChangeTheShownRecords();
    void dragsOfferCopyOnly();
};

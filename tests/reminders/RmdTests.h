#pragma once

#include <QObject>

// The free functions behind the reminder window.
class TestAffairText : public QObject {
    Q_OBJECT
private slots:
    void composeStoredAffair_data();
    void composeStoredAffair();
    void searchStatements_data();
    void searchStatements();
    void boxTexts_data();
    void boxTexts();
};

// The reminder window driven through its controls.
class TestReminderWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void loadOnFixedDates_data();
    void loadOnFixedDates();
    void loadSetsClockDateAndMinutes();
    void addStoresComposedAffair_data();
    void addStoresComposedAffair();
    void addTakesTheDueList();
    void modifyWritesNullsAndNests();
    void modifyAndDeleteNeedASelectedLine();
    void deleteAsksAndRemoves_data();
    void deleteAsksAndRemoves();
    void deleteAllEmptiesBookAndList_data();
    void deleteAllEmptiesBookAndList();
    void clearAndRefresh();
    void quitAndCloseEndTheProgram_data();
    void quitAndCloseEndTheProgram();
    void badDateIsRefused_data();
    void badDateIsRefused();
    void pickersWriteTheirBoxes_data();
    void pickersWriteTheirBoxes();
    void clickLoadsRecordIntoEditor();
    void searches_data();
    void searches();
    void modifyAfterSearchActsOnShownRecord();
    void viewAllAffairsRebuildsList();
    void showKeywords();
    void doubleClickKeepsKeyword();
    void dragsOfferCopyOnly();
    void affairBoxDragEmptiesSearchAndKeyword();
    void dropInsertsAtDropPosition();
    void tooltipsFollowText();
    void menuRunsButtonCommand();
};

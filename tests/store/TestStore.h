#pragma once

#include <QObject>

// Real SQLite files, made from the schema for every case.
class TestStore : public QObject {
    Q_OBJECT

private slots:
    void translate_data();
    void translate();
    void userTextInStatements_data();
    void userTextInStatements();
    void dateText_data();
    void dateText();
    void statementTexts_data();
    void statementTexts();
    void executeStatements();
    void deleteDuringWalk_data();
    void deleteDuringWalk();
    void addNewJoinsTheEnd();
    void staleCursor_data();
    void staleCursor();
    void refusedValues_data();
    void refusedValues();
    void dateColumns_data();
    void dateColumns();
    void nullAndEmptyText();
    void numbersReadAsText();
    void openFailures_data();
    void openFailures();
};

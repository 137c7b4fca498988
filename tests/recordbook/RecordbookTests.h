#pragma once

#include <QObject>

// Statements, bindings and the list model, without windows.
class TestRecordbook : public QObject {
    Q_OBJECT
private slots:
    void anyCharPatterns();
    void searchesMatchLiterally_data();
    void searchesMatchLiterally();
    void bindingsWrite_data();
    void bindingsWrite();
    void bindingsFill();
    void listModelLines();
};

// The controller with the shared list and boxes, driven like a user.
class TestRecordbookWidgets : public QObject {
    Q_OBJECT
private slots:
    void selectionRules_data();
    void selectionRules();
    void requireSelection();
    void reopenKeepsLinesAndFillMovesFirst();
    void boxTexts_data();
    void boxTexts();
};

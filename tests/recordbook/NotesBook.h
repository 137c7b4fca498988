#pragma once

#include "TestApp.h"

#include <QStringList>

// A small table of the tests' own in a fresh application folder, opened
// through the store as the windows open their tables.
struct NotesBook {
    TestApp app;
    NotesBook()
    {
        app.exec("create table notes (标题 TEXT COLLATE NOCASE, 正文 TEXT COLLATE NOCASE, "
                 "日期 DATETEXT, 星期 TEXT, 标签 TEXT)");
        app.context().openDatabase();
    }
    // Adds one row per title; other columns null.
    void add(const QStringList& titles)
    {
        for (const QString& t : titles)
            app.exec("insert into notes (标题) values ('" + QString(t).replace("'", "''") + "')");
    }
    QStringList titles() { return app.column("select 标题 from notes"); }
};

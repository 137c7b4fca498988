#pragma once

#include "TestApp.h"
#include "WindowDriver.h"
#include "app/CommandLine.h"
#include "reminders/ReminderWindow.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

inline QString insert(const QString& columns, const QString& values)
{
    return "insert into mp(" + columns + ") values(" + values + ")";
}

// A fresh application folder with the print templates, its book filled by
// `statements`, and the reminder window opened on it at 09:30:05 of `today`.
struct Rmd : WindowDriver<Rmd, QLineEdit> {
    TestApp app;
    std::unique_ptr<reminders::ReminderWindow> w;

    explicit Rmd(const QStringList& statements = {}, const QDate& today = QDate(2026, 12, 7),
                 bool open = true)
    {
        app.clock.current = QDateTime(today, QTime(9, 30, 5));
        for (const QString& sql : statements)
            app.exec(sql);
        QDir folder(app.path());
        folder.mkpath("wbwj");
        folder.mkpath("dy");
        for (const char* name : {"mhxzsw.xltx", "mhzdsw.xltx", "mhqbsw.xltx"})
            QFile::copy(QStringLiteral(LUMO_TEMPLATE_DIR "/") + name,
                        folder.filePath("dy/") + name);
        if (open) this->open();
    }
    void open()
    {
        app.context().openDatabase();
        w = std::make_unique<reminders::ReminderWindow>(app.context());
        w->show();
    }
    QString file(const QString& name) const { return QDir(app.path()).filePath(name); }
    QStringList db(const QString& column) { return app.column("select " + column + " from mp"); }
    // What `--due --date day` prints on both streams for the same book.
    QString due(const QDate& day)
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        app::runCommand(app::parseCommandLine({"--due", "--date", day.toString(Qt::ISODate)}),
                        app.path(), app.clock, out, out);
        return QString::fromUtf8(out.data());
    }
    QStringList said() const // every message box as "title: text"
    {
        QStringList out;
        for (const auto& m : app.dialogs.messages)
            out << m.title + ": " + m.text +
                       (m.buttons == platform::Buttons::YesNo            ? " [yes/no]"
                        : m.buttons == platform::Buttons::YesNoDefaultNo ? " [yes/NO]"
                                                                         : "");
        return out;
    }
};

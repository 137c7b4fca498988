#pragma once

#include "lunar/LunarCalendar.h"

#include <QDate>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QIODevice;

namespace platform {
class Clock;
class Notifier;
} // namespace platform

namespace app {

// Handles the options that need no window (rmd --due, rmd --help) before any
// QApplication exists. Returns the exit code when it handled the call, or
// nothing when the organiser should start normally.
std::optional<int> runCommandLine(int argc, char** argv);

// What the arguments (program name left out) ask for. Qt's own window
// options (-platform, -style...) are left to the organiser's start.
struct Command {
    enum class Kind {
        Start,
        Help,
        Due,
        Error,
        Lunar,
        Solar,
        Backup,
        Restore,
        ExportIcs,
        ImportIcs,
        NotifyDue
    };
    Kind kind = Kind::Start;
    QString window;             // Start: a window to open after the login, or empty
    std::optional<QDate> date;  // Due, NotifyDue: the day asked for, none means today;
                                // Lunar: the day
    lunar::LunarDate lunarDate; // Solar: the lunar day asked for
    QString file;               // Backup: the copy to write; Restore: the book to restore
    bool lunarRule = false;     // ExportIcs: lunar schedules as Chinese-calendar rules
    QString error;              // Error: what is wrong, for the user
};
Command parseCommandLine(const QStringList& arguments);

// Windows that `rmd --window NAME` opens beside the reminder window after
// the login; the organiser maps each name to its window.
struct WindowOption {
    const char* name;
    const char* caption;
};
inline constexpr WindowOption kWindowOptions[] = {
    {"IQDW", "英语单词、一些英语短语查询、朗读"},
    {"yycxlb", "应用程序、文档、图片、音乐、课件等分类列表"},
    {"qqzxcx", "分类管理QQ、Email、电话号码、图书、光盘、杂志等等"},
};

QString helpText();

// What rmd --notify-due sends through; no notifier plays a bus without a
// notification service.
struct NotifyServices {
    platform::Notifier* notifier = nullptr;
    std::function<bool()> startOrganiser;
    int waitMs = 10 * 60 * 1000;
};

// Carries out a parsed command for the program in `appFolder`, on the book
// the one rule finds from there and `environment`: the due list goes to
// `out` as UTF-8, messages to `err`. Returns the exit code: 0 done, 1 a
// backup or restore refused or failed, 2 wrong arguments or a database that
// cannot be read.
int runCommand(const Command& command, const QString& appFolder, const platform::Clock& clock,
               QIODevice& out, QIODevice& err,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const NotifyServices& notify = {});

} // namespace app

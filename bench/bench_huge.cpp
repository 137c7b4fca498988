// bench_huge DATABASE
//
// Opens the real reminder window (offscreen) on a copy of a generated affair
// book whose first affair is a text of 1 MB that is not due, and times the
// start a user waits for: the window up with its due list and its list laid
// out and painted. Median of several runs; exits 1 when the budget is missed.

#include "BenchBook.h"
#include "BenchSupport.h"
#include "reminders/ReminderWindow.h"
#include "shell/AppContext.h"

#include <QApplication>
#include <sqlite3.h>

#include <cstdio>
#include <memory>

namespace {

constexpr double kStartBudget = 1.0; // seconds
constexpr int kRuns = 5;

// The book's first affair becomes 1 MB of text (no line break) due on no day.
bool makeHuge(const QString& database)
{
    const QByteArray text =
        QStringLiteral("甲乙丙丁戊己庚辛壬癸").repeated(40000).toUtf8().left(1 << 20);
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    bool done = sqlite3_open(database.toUtf8().constData(), &db) == SQLITE_OK &&
                sqlite3_prepare_v2(db,
                                   "update mp set 要事 = ?, 时间点 = null, 起始时间 = null, "
                                   "结束时间 = null, 每日时间 = '', 每月时间 = '', 每周时间 = "
                                   "'100', 每月每日时间 = '' where rowid = (select min(rowid) "
                                   "from mp)",
                                   -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_bind_text(statement, 1, text.constData(), int(text.size()),
                                  SQLITE_TRANSIENT) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_DONE && sqlite3_changes(db) == 1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return done;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_huge DATABASE\n");
        return 2;
    }
    bench::BookCopy book(QString::fromLocal8Bit(argv[1]), "bench_huge");
    if (!book.ready()) return 2;
    if (!makeHuge(book.database())) {
        std::fprintf(stderr, "bench_huge: cannot add the huge affair to %s\n", argv[1]);
        return 2;
    }
    shell::AppContext& context = book.open();

    std::unique_ptr<reminders::ReminderWindow> window;
    const double seconds =
        bench::timeRuns(kRuns,
                        [&] {
                            window.reset();
                            window = std::make_unique<reminders::ReminderWindow>(context);
                            window->show();
                            window->grab(); // laid out and painted
                        })[kRuns / 2]
            .wall;
    bench::verdict(QStringLiteral("start with a 1 MB affair not due (%1 affairs)")
                       .arg(context.affairCursor->recordCount()),
                   seconds, kStartBudget, "s");
    return bench::failed ? 1 : 0;
}

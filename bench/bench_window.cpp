// bench_window APPFOLDER|DATABASE
//
// Opens the real reminder window (offscreen) on a copy of a generated affair
// book and times what a user waits for with a large book: opening the window,
// each search with the list filled and painted, rebuilding the list, viewing
// every affair, and the peak memory. Timed figures are medians of several
// runs, so one slow moment of a busy machine does not decide. Prints one
// line per figure and exits 1 when a budget is missed.

#include "BenchBook.h"
#include "BenchSupport.h"
#include "platform/Dialogs.h"
#include "reminders/AffairEditor.h"
#include "reminders/AffairSearch.h"
#include "reminders/ReminderWindow.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double kSearchBudget = 0.3;  // seconds
constexpr double kOpenBudget = 0.4;    // seconds
constexpr double kViewAllBudget = 1.0; // seconds
constexpr double kMemoryBudget = 200;  // MB, with the book loaded
constexpr double kViewAllMemory = 250; // MB, peak after viewing every affair
constexpr int kRuns = 5;

using bench::peakMegabytes;
using bench::verdict;

// Median of kRuns, in seconds.
double median(const std::function<void()>& action)
{
    return bench::timeRuns(kRuns, action)[kRuns / 2].wall;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_window APPFOLDER|DATABASE\n");
        return 2;
    }
    QString source = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo(source).isDir()) source = QDir(source).filePath(QStringLiteral("rmd.mdb"));
    bench::BookCopy book(source, "bench_window");
    if (!book.ready()) return 2;
    shell::AppContext& context = book.open();

    // Each opening evaluates the due list, writes it, cleans up and fills the list.
    std::unique_ptr<reminders::ReminderWindow> opened;
    const double openSeconds = median([&] {
        opened.reset();
        opened = std::make_unique<reminders::ReminderWindow>(context);
        opened->show();
    });
    reminders::ReminderWindow& window = *opened;
    const int records = context.affairCursor->recordCount();
    verdict(
        QStringLiteral("opening the window (due list, clean-up, list; %1 affairs)").arg(records),
        openSeconds, kOpenBudget, "s");

    auto* searchBox = window.findChild<QLineEdit*>(QStringLiteral("searchBox"));
    auto* list = window.findChild<QListView*>(QStringLiteral("List1"));
    reminders::AffairSearch& search = window.search();
    reminders::AffairEditor& editor = window.editor();

    const struct {
        const char* label;
        QString text;
        bool anyChar;
    } searches[] = {
        {"substringSearch 会议 + list fill", QStringLiteral("会议"), false},
        {"substringSearch 标记 (every affair) + list fill", QStringLiteral("标记"), false},
        {"substringSearch, no match + list fill", QStringLiteral("没有这件事"), false},
        {"anyCharSearch 会议 + list fill", QStringLiteral("会议"), true},
        {"anyCharSearch 标记 (every affair) + list fill", QStringLiteral("标记"), true},
    };
    for (const auto& s : searches) {
        searchBox->setText(s.text);
        const double seconds = median([&] {
            if (s.anyChar)
                search.anyCharSearch();
            else
                search.substringSearch();
        });
        verdict(QStringLiteral("%1 (%2 lines)")
                    .arg(QString::fromUtf8(s.label))
                    .arg(list->model()->rowCount()),
                seconds, kSearchBudget, "s");
    }

    editor.refresh();
    const double refreshSeconds = median([&] { editor.refreshAffairList(); });
    verdict(QStringLiteral("refreshAffairList (%1 lines)").arg(list->model()->rowCount()),
            refreshSeconds, kSearchBudget, "s");
    const double reopenSeconds = median([&] { editor.refresh(); });
    std::printf("  info  %-52s %8.3f s\n", "Refresh (reopen the cursor + list)", reopenSeconds);

    verdict(QStringLiteral("peak memory with %1 affairs loaded").arg(records), peakMegabytes(),
            kMemoryBudget, "MB");

    // Every stored text at once in the affair box.
    const double viewSeconds = median([&] { search.viewAllAffairs(); });
    verdict(QStringLiteral("viewAllAffairs (every text in affairBox)"), viewSeconds, kViewAllBudget,
            "s");
    verdict(QStringLiteral("peak memory after viewAllAffairs"), peakMegabytes(), kViewAllMemory,
            "MB");
    return bench::failed ? 1 : 0;
}

// bench_books DATABASE
//
// Opens both category books (offscreen) on a copy of DATABASE, filled by
// gen_books, and times what a user waits for: opening the window (tree,
// list and category items), refreshing it, and each search with its list
// filled and painted. Prints one line per figure and exits 1 when a budget
// is missed.

#include "BenchBook.h"
#include "BenchSupport.h"
#include "books/BookConfig.h"
#include "books/CategoryBookWindow.h"
#include "platform/Dialogs.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using bench::verdict;

constexpr double kOpenBudget = 0.3;   // seconds: open and refresh
constexpr double kSearchBudget = 0.1; // seconds: either search
constexpr int kRuns = 5;

// Best of kRuns, in seconds.
double best(const std::function<void()>& action)
{
    return bench::timeRuns(kRuns, action).front().wall;
}

void measure(const books::BookConfig& config, shell::AppContext& context)
{
    std::unique_ptr<books::CategoryBookWindow> window;
    const double open = best([&] {
        window.reset();
        window = std::make_unique<books::CategoryBookWindow>(config, context);
        window->show();
    });
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    auto* list = window->findChild<QListView*>(QStringLiteral("List1"));
    auto* text2 = window->findChild<QLineEdit*>(QStringLiteral("Text2"));
    const QString name = config.windowName;
    verdict(QStringLiteral("%1: open (%2 lines, %3 categories)")
                .arg(name)
                .arg(list->model()->rowCount())
                .arg(tree->topLevelItemCount()),
            open, kOpenBudget);
    verdict(QStringLiteral("%1: refresh").arg(name), best([&] { window->reloadTreeAndList(); }),
            kOpenBudget);

    const struct {
        const char* label;
        QString text;
        bool anyChar;
    } searches[] = {
        {"substring search, two characters", QStringLiteral("报告"), false},
        {"substring search, every entry", QStringLiteral("份"), false},
        {"any-character search, two characters", QStringLiteral("报告"), true},
        {"any-character search, seven characters", QStringLiteral("年度总结报告书"), true},
    };
    for (const auto& s : searches) {
        text2->setText(s.text);
        const double seconds = best([&] {
            if (s.anyChar)
                window->anyCharSearch();
            else
                window->substringSearch();
        });
        verdict(QStringLiteral("%1: %2 (%3 lines)")
                    .arg(name, QString::fromUtf8(s.label))
                    .arg(list->model()->rowCount()),
                seconds, kSearchBudget);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_books DATABASE\n");
        return 2;
    }
    bench::BookCopy book(QString::fromLocal8Bit(argv[1]), "bench_books");
    if (!book.ready()) return 2;
    shell::AppContext& context = book.open();
    measure(books::documentBook(), context);
    measure(books::miscellanyBook(), context);
    return bench::failed ? 1 : 0;
}

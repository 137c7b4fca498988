// bench_vocabulary DATABASE
//
// Opens only the vocabulary window IQDW (offscreen) with the real speech
// service on a copy of DATABASE and times what a user waits for with a large
// vocabulary: the window shown, load all, both searches, a click on the last
// line, each with the list laid out and painted; then the peak memory.
// Prints one line per figure and exits 1 when a budget is missed.

#include "BenchBook.h"
#include "BenchSupport.h"
#include "platform/Dialogs.h"
#include "platform/Speech.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "vocabulary/VocabularyWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTest>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr double kBudget = 0.3;       // seconds
constexpr double kMemoryBudget = 200; // MB
constexpr int kRuns = 3;

using bench::cpuSeconds;
using bench::peakMegabytes;

// The processor time of the best run, beside the wall time: on a loaded
// machine the two differ.
double lastCpu = 0;

// Best of kRuns, wall time in seconds, the list laid out and painted.
double best(const std::function<void()>& action)
{
    const bench::Run fastest = bench::timeRuns(kRuns, action).front();
    lastCpu = fastest.cpu;
    return fastest.wall;
}

void verdict(const QString& what, double value, double budget, const char* unit)
{
    bench::verdict(what, value, budget, unit, lastCpu);
    lastCpu = 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_vocabulary DATABASE\n");
        return 2;
    }
    bench::BookCopy book(QString::fromLocal8Bit(argv[1]), "bench_vocabulary");
    if (!book.ready()) return 2;

    QElapsedTimer opening;
    const double openingCpu = cpuSeconds();
    opening.start();
    const std::unique_ptr<platform::Speech> speech = platform::createQtSpeech();
    book.services.speech = speech.get();
    shell::AppContext& context = book.open();
    vocabulary::VocabularyWindow window(context);
    window.show();
    QApplication::processEvents();
    lastCpu = cpuSeconds() - openingCpu;
    verdict(QStringLiteral("window shown (speech engine %1)")
                .arg(speech->ready() ? QStringLiteral("ready") : QStringLiteral("still starting")),
            opening.nsecsElapsed() / 1e9, kBudget, "s");

    auto* zw = window.findChild<QLineEdit*>(QStringLiteral("zw"));
    auto* list = window.findChild<QListView*>(QStringLiteral("List1"));
    auto lines = [list] { return list->model()->rowCount(); };

    const double loadAll = best([&] { window.loadAllWords(); });
    verdict(QStringLiteral("load all (%1 lines)").arg(lines()), loadAll, kBudget, "s");

    const struct {
        const char* label;
        QString text;
        bool anyChar;
    } searches[] = {
        {"substring search apple", QStringLiteral("apple"), false},
        {"substring search 苹果", QStringLiteral("苹果"), false},
        {"substring search, no match", QStringLiteral("没有这个词"), false},
        {"any-character search go", QStringLiteral("go"), true},
        {"any-character search 水果", QStringLiteral("水果"), true},
    };
    for (const auto& s : searches) {
        zw->setText(s.text);
        const double seconds = best([&] {
            if (s.anyChar)
                window.anyCharWordSearch();
            else
                window.substringWordSearch();
        });
        verdict(QStringLiteral("%1 (%2 lines)").arg(QString::fromUtf8(s.label)).arg(lines()),
                seconds, kBudget, "s");
    }

    window.loadAllWords();
    QApplication::processEvents();
    const int last = lines() - 1;
    double click = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        list->clearSelection();
        list->scrollToBottom();
        QApplication::processEvents();
        const QRect rect = list->visualRect(list->model()->index(last, 0));
        QElapsedTimer timer;
        const double cpu = cpuSeconds();
        timer.start();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
        if (timer.nsecsElapsed() / 1e9 < click) {
            click = timer.nsecsElapsed() / 1e9;
            lastCpu = cpuSeconds() - cpu;
        }
    }
    const auto* rtb = window.findChild<QPlainTextEdit*>(QStringLiteral("RTB"));
    verdict(QStringLiteral("click on the last line (%1)").arg(rtb->toPlainText().left(20)), click,
            kBudget, "s");

    verdict(QStringLiteral("peak memory with %1 entries").arg(window.wordCursor().recordCount()),
            peakMegabytes(), kMemoryBudget, "MB");
    return bench::failed ? 1 : 0;
}

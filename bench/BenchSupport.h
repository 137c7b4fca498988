#pragma once

// What the window benchmarks share: a dialog service nobody answers, timed
// runs, peak memory and the pass/fail lines.

#include "platform/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace bench {

// Every question is a yes, every error is printed.
class SilentDialogs : public platform::Dialogs {
public:
    platform::Answer message(const QString& text, const QString&, platform::Buttons buttons,
                             platform::Icon) override
    {
        std::fprintf(stderr, "bench: message: %s\n", qPrintable(text));
        return buttons >= platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

inline double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

struct Run {
    double wall = 0; // seconds
    double cpu = 0;  // processor seconds: on a loaded machine the two differ
};

// `runs` runs of `action`, each laid out and painted before the clock stops,
// fastest first.
inline std::vector<Run> timeRuns(int runs, const std::function<void()>& action)
{
    std::vector<Run> out;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpu = cpuSeconds();
        timer.start();
        action();
        QApplication::processEvents();
        out.push_back({timer.nsecsElapsed() / 1e9, cpuSeconds() - cpu});
    }
    std::sort(out.begin(), out.end(), [](const Run& a, const Run& b) { return a.wall < b.wall; });
    return out;
}

inline bool failed = false;

// One result line; a missed budget makes the program fail at the end.
inline void verdict(const QString& what, double value, double budget, const char* unit = "s",
                    double cpu = 0)
{
    const bool holds = value < budget;
    failed = failed || !holds;
    std::printf("  %s  %-58s %8.3f %s  (budget < %g %s)", holds ? "pass" : "FAIL", qPrintable(what),
                value, unit, budget, unit);
    if (cpu > 0) std::printf("  cpu %.3f s", cpu);
    std::printf("\n");
}

} // namespace bench

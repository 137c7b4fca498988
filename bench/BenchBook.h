#pragma once

// A copy of a book in a folder of its own, opened as the organiser opens it.
// Opening a window writes the due list and cleans up, so the benches never
// work on the book they are given.

#include "BenchSupport.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "shell/AppContext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace bench {

class BookCopy {
public:
    BookCopy(const QString& source, const char* program)
    {
        services.clock = &m_clock;
        services.dialogs = &m_dialogs;
        m_ready = m_folder.isValid() && QFile::copy(source, database());
        if (!m_ready) std::fprintf(stderr, "%s: cannot copy %s\n", program, qPrintable(source));
    }
    bool ready() const { return m_ready; }
    QString database() const { return QDir(m_folder.path()).filePath(QStringLiteral("rmd.mdb")); }

    // Set what else a window needs (speech, ...) before open().
    platform::Services services;
    shell::AppContext& open()
    {
        m_context = std::make_unique<shell::AppContext>(
            m_folder.path(), services, [](int code) { std::exit(code ? code : 1); });
        m_context->openDatabase();
        return *m_context;
    }

private:
    QTemporaryDir m_folder;
    platform::SystemClock m_clock;
    SilentDialogs m_dialogs;
    std::unique_ptr<shell::AppContext> m_context;
    bool m_ready = false;
};

} // namespace bench

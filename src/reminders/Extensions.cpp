#include "reminders/Extensions.h"

#include "core/IcsExport.h"
#include "core/IcsImport.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/NotifyAtLogin.h"
#include "recordbook/RecordBookController.h"
#include "reminders/AffairEditor.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSaveFile>
#include <array>

namespace reminders {

namespace {

const QString kCalendarTitle = QStringLiteral("日历文件");
const QString kCalendarFilter = QStringLiteral("iCalendar 日历文件(*.ics)|*.ics|所有文件|*");
const QString kExportQuestion = QStringLiteral("把列表中的事务导出为日历文件");
const QString kImportQuestion = QStringLiteral("选择要导入的日历文件");
const QString kNothingListedText = QStringLiteral("列表中没有事务，没有可以导出的内容。");
const QString kDefaultFileName = QStringLiteral("重要事务.ics");

// The wait cursor while a large file is written or read.
struct Busy {
    Busy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QApplication::restoreOverrideCursor(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

} // namespace

Extensions::Extensions(const ExtensionWidgets& form, shell::AppContext& context,
                       AffairEditor& editor, QObject* parent)
    : QObject(parent), m_form(form), m_context(context), m_editor(editor)
{
    // The files may have been removed by hand since the last look.
    connect(m_form.menuExtensions, &QMenu::aboutToShow, this, &Extensions::showState);
    connect(m_form.actionNotifyAtLogin, &QAction::triggered, this,
            &Extensions::toggleNotifyAtLogin);
    connect(m_form.actionExportCalendar, &QAction::triggered, this,
            &Extensions::exportListedAffairs);
    connect(m_form.actionImportCalendar, &QAction::triggered, this,
            &Extensions::importCalendarFile);
    showState();
}

void Extensions::showState()
{
    m_form.actionNotifyAtLogin->setChecked(platform::NotifyAtLogin().enabled());
}

void Extensions::toggleNotifyAtLogin()
{
    platform::NotifyAtLogin files;
    const QString error =
        files.enabled() ? files.disable() : files.enable(QCoreApplication::applicationFilePath());
    showState();
    if (!error.isEmpty()) m_context.services().dialogs->message(error);
}

void Extensions::tell(const QString& text, bool warning) const
{
    m_context.services().dialogs->message(text, kCalendarTitle, platform::Buttons::Ok,
                                          warning ? platform::Icon::Warning
                                                  : platform::Icon::Information);
}

// The records behind the list's lines, cell for cell as the book keeps them.
std::vector<core::AffairRecord> Extensions::listedAffairs() const
{
    std::vector<core::AffairRecord> records;
    if (!m_editor.book().hasCursor()) return records;
    const store::Recordset& c = m_editor.affairCursor();
    std::array<int, core::AffairRecord::ColumnCount> columns{};
    for (int i = 0; i < core::AffairRecord::ColumnCount; ++i)
        columns[i] = c.columnIndex(core::affairColumnNames()[i]);
    const int count = std::min(m_editor.book().lineCount(), c.recordCount());
    records.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        core::AffairRecord& r = records.emplace_back();
        for (int i = 0; i < core::AffairRecord::ColumnCount; ++i) {
            // A book from before the lunar columns reads them as empty.
            const QByteArrayView cell =
                columns[i] < 0 ? QByteArrayView("") : c.stored(row, columns[i]);
            if (cell.data()) r.cells[i] = QString::fromUtf8(cell);
            if (cell.data() && r.cells[i].isNull()) r.cells[i] = QStringLiteral("");
        }
    }
    return records;
}

void Extensions::exportListedAffairs()
{
    const std::vector<core::AffairRecord> records = listedAffairs();
    if (records.empty()) {
        tell(kNothingListedText, false);
        return;
    }
    const QString path = m_context.services().dialogs->saveFile(
        kExportQuestion, kCalendarFilter, QDir::home().filePath(kDefaultFileName));
    if (path.isEmpty()) return;
    // Written whole or not at all.
    QSaveFile file(path);
    core::IcsExport result;
    bool written = false;
    {
        const Busy busy;
        if (file.open(QIODevice::WriteOnly))
            result = core::exportCalendar(records, *m_context.services().clock, file);
        written = file.isOpen() && result.written && file.commit();
    }
    if (!written) {
        tell(core::cannotWriteText(path, file), true);
        return;
    }
    tell(core::exportedText(result, path), false);
}

void Extensions::importCalendarFile()
{
    const QString path =
        m_context.services().dialogs->openFile(kImportQuestion, kCalendarFilter, QDir::homePath());
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(core::cannotOpenText(path, file), true);
        return;
    }
    const QByteArray bytes = file.readAll();
    core::ImportReport report;
    // A refusing book rolls the whole import back; the guard says so.
    const bool done = m_context.guarded([&] {
        const Busy busy; // gone before the guard says anything
        report = core::importCalendar(m_context.dbConnection(), bytes);
        if (report.refusal.isEmpty()) m_editor.refresh();
    });
    if (!done) return;
    if (!report.refusal.isEmpty()) {
        tell(report.summary(), true);
        return;
    }
    QStringList text{report.summary()};
    if (!report.skipped.isEmpty()) text << QString() << report.firstReasons();
    if (!report.expanded.isEmpty()) text << QString() << report.firstExpansions();
    const QString saved = report.saveBeside(m_context.databasePath());
    if (!saved.isEmpty()) text << QString() << core::reportSavedText(saved);
    tell(text.join(u'\n'), false);
}

} // namespace reminders

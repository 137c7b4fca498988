#include "reminders/ListPrinting.h"

#include "core/LineSplit.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SpreadsheetPrinter.h"
#include "reminders/AffairEditor.h"
#include "reminders/AffairSearch.h"
#include "reminders/Housekeeping.h"
#include "shell/AppContext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace reminders {

const PrintedList kSelectedList{QStringLiteral("xzsw.txt"), QStringLiteral("mhxzsw.xltx"),
                                QStringLiteral("选中事务打印清单")};
const PrintedList kDueList{QStringLiteral("zdsw.txt"), QStringLiteral("mhzdsw.xltx"),
                           QStringLiteral("自动提醒事务打印清单")};
const PrintedList kAllList{QStringLiteral("qbsw.txt"), QStringLiteral("mhqbsw.xltx"),
                           QStringLiteral("所有重要事务打印清单")};

namespace {

const QString kPrintTitle = QStringLiteral("打印提醒");

QString cannotWrite(const QString& path)
{
    return QStringLiteral("无法写入文本文件%1，请检查wbwj文件夹是否存在、是否可以写入。")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace

ListPrinting::ListPrinting(shell::AppContext& context, AffairEditor& editor, AffairSearch& search,
                           Housekeeping& housekeeping, QObject* parent)
    : QObject(parent), m_context(context), m_editor(editor), m_search(search),
      m_housekeeping(housekeeping)
{
    if (platform::SpreadsheetPrinter* printer = m_context.services().printer)
        connect(printer, &platform::SpreadsheetPrinter::notShown, this,
                [this](const QString& text) { report(text); });
}

QString ListPrinting::textFilePath(const PrintedList& list) const
{
    return QDir(m_context.dataPath()).filePath(QStringLiteral("wbwj/") + list.textFile);
}

void ListPrinting::report(const QString& text) const
{
    m_context.services().dialogs->message(text, kPrintTitle);
}

bool ListPrinting::recreateTextFile(const PrintedList& list)
{
    const QString path = textFilePath(list);
    QFile file(path);
    if ((file.exists() && !file.remove()) || !file.open(QIODevice::WriteOnly)) {
        report(cannotWrite(path));
        return false;
    }
    return true;
}

void ListPrinting::printSelected()
{
    if (!recreateTextFile(kSelectedList)) return;
    if (m_editor.selectedLine() < 0) {
        report(QStringLiteral("请选中一个具体事务"));
        return;
    }
    print(kSelectedList);
}

void ListPrinting::printDueList()
{
    if (!recreateTextFile(kDueList)) return;
    m_editor.refresh();
    m_housekeeping.viewStoredDueList();
    print(kDueList);
}

void ListPrinting::printAll()
{
    if (!recreateTextFile(kAllList)) return;
    m_editor.refresh();
    m_search.viewAllAffairs();
    print(kAllList);
}

void ListPrinting::print(const PrintedList& list)
{
    const QString path = textFilePath(list);
    QFile file(path);
    QStringEncoder encode(QStringConverter::System);
    const QByteArray bytes = encode(m_editor.rawAffairText());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        report(cannotWrite(path));
        return;
    }
    file.close();

    // The rows come from the file as written, as a print of the saved list.
    if (!file.open(QIODevice::ReadOnly)) {
        report(cannotWrite(path));
        return;
    }
    QStringDecoder decode(QStringConverter::System);
    const QStringList lines = core::splitLines(decode(file.readAll()));
    file.close();

    const QString templatePath =
        QDir(m_context.resourcePath()).filePath(QStringLiteral("dy/") + list.templateFile);
    const QString error =
        m_context.services().printer->print(templatePath, lines, newWorkbookPath(list));
    if (!error.isEmpty()) report(error);
}

QString ListPrinting::newWorkbookPath(const PrintedList& list) const
{
    const QDir folder(QDir(m_context.dataPath()).filePath(QStringLiteral("wbwj")));
    const QString stem =
        list.title + m_context.services().clock->now().toString(QStringLiteral("-yyyyMMdd-HHmmss"));
    QString path = folder.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1-%2.xlsx").arg(stem).arg(n));
    return path;
}

} // namespace reminders

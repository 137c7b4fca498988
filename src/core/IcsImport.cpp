#include "core/IcsImport.h"
#include "core/FileProblem.h"

#include "store/BookColumns.h"
#include "store/Connection.h"
#include "store/Prepared.h"
#include "store/Scan.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace core {

namespace {

QString eventName(int number, const EventAffair& event)
{
    return event.title.isEmpty() ? QStringLiteral("第 %1 个事件").arg(number)
                                 : QStringLiteral("第 %1 个事件“%2”").arg(number).arg(event.title);
}

QSet<QByteArray> knownUids(store::Connection& connection)
{
    connection.execute(QStringLiteral("create table if not exists %1 (uid TEXT PRIMARY KEY)")
                           .arg(kImportedUidTable));
    QSet<QByteArray> known;
    store::Scan uids(connection, QStringLiteral("select uid from %1").arg(kImportedUidTable));
    while (uids.next())
        known.insert(uids.raw(0).toByteArray());
    // The book's own affairs under the names an export gives them.
    for (const QByteArray& key : recordKeys(readAffairs(connection)))
        known.insert(key + "@lumo");
    return known;
}

void insertAffair(store::Prepared& insert, const AffairRecord& record)
{
    for (int c = 0; c < AffairRecord::ColumnCount; ++c) {
        if (record.cells[c].isNull())
            insert.bindNull(c + 1);
        else
            insert.bindText(c + 1, record.cells[c].toUtf8());
    }
    insert.run();
}

void rememberUid(store::Prepared& remember, const QByteArray& uid)
{
    remember.bindText(1, uid);
    remember.run();
}

} // namespace

QString ImportReport::summary() const
{
    if (!refusal.isEmpty()) return QStringLiteral("没有导入任何事务：%1").arg(refusal);
    QString text = QStringLiteral("文件中有 %1 个事件：导入 %2 个，新增 %3 条事务；跳过 %4 个。")
                       .arg(events)
                       .arg(imported)
                       .arg(affairs)
                       .arg(skipped.size());
    if (!expanded.isEmpty())
        text += QStringLiteral("其中 %1 个事件按 Lumo 能准确表示的方式展开为多条事务。")
                    .arg(expanded.size());
    if (!note.isEmpty()) text += u'\n' + note;
    return text;
}

namespace {

QStringList firstOf(const QStringList& all, int shown, const QString& more)
{
    QStringList lines = all.first(std::min<qsizetype>(shown, all.size()));
    if (all.size() > shown) lines << more.arg(all.size() - shown);
    return lines;
}

} // namespace

QStringList ImportReport::firstReasons(int shown) const
{
    return firstOf(skipped, shown, QStringLiteral("……另有 %1 个跳过的事件。"));
}

QStringList ImportReport::firstExpansions(int shown) const
{
    return firstOf(expanded, shown, QStringLiteral("……另有 %1 个展开的事件。"));
}

QString ImportReport::saveBeside(const QString& book) const
{
    QSaveFile list(QFileInfo(book).dir().filePath(kReportFileName));
    const QByteArray text = (summary() + u'\n' + lines.join(u'\n') + u'\n').toUtf8();
    if (list.open(QIODevice::WriteOnly) && list.write(text) == text.size() && list.commit())
        return list.fileName();
    return {};
}

QString reportSavedText(const QString& path)
{
    return QStringLiteral("完整的报告在 %1。").arg(QDir::toNativeSeparators(path));
}

QString cannotOpenText(const QString& path, const QFileDevice& file)
{
    return QStringLiteral("无法打开文件 %1：%2")
        .arg(QDir::toNativeSeparators(path), readProblem(path, file));
}

namespace {

// Adds the events one by one as they are read, inside the import's transaction.
class Adding {
public:
    Adding(store::Connection& connection, ImportReport& report)
        : m_report(report), m_known(knownUids(connection)), m_insert(connection, insertStatement()),
          m_remember(
              connection,
              QStringLiteral("insert or ignore into %1 (uid) values (?)").arg(kImportedUidTable))
    {
    }

    void add(const EventAffair& e)
    {
        m_report.events = e.number;
        const QString name = eventName(e.number, e);
        QString reason = e.reason;
        if (reason.isEmpty() && m_known.contains(e.uid))
            reason = QStringLiteral("已经导入过（UID 相同）");
        else if (reason.isEmpty() && !e.group.isEmpty() && m_known.contains(e.group) &&
                 !m_groupsAdded.contains(e.group))
            reason = QStringLiteral("数据库中已有这条事务");
        if (!reason.isEmpty()) {
            // The parts of an expanded event share their fate; it is said once.
            if (e.part > 0) return;
            m_report.skipped << name + QStringLiteral("：跳过，") + reason;
            m_report.lines << m_report.skipped.last();
            return;
        }
        m_known.insert(e.uid);
        rememberUid(m_remember, e.uid);
        if (e.part == 0) ++m_report.imported;
        if (!e.group.isEmpty() && m_groupsAdded.contains(e.group)) {
            m_report.lines << name + QStringLiteral("：已导入（与前面的事件同属一条事务）");
            return;
        }
        if (!e.group.isEmpty()) {
            m_groupsAdded.insert(e.group);
            m_known.insert(e.group);
            rememberUid(m_remember, e.group);
        }
        insertAffair(m_insert, e.record);
        ++m_report.affairs;
        if (e.expansion.isEmpty()) {
            m_report.lines << name + QStringLiteral("：已导入");
        } else if (e.part == 0) {
            m_report.expanded << name + QStringLiteral("：") + e.expansion;
            m_report.lines << name + QStringLiteral("：已导入，") + e.expansion;
        }
    }

private:
    static QString insertStatement()
    {
        QStringList names;
        for (const QString& name : affairColumnNames())
            names << store::quotedName(name);
        return QStringLiteral("insert into mp (%1) values (%2)")
            .arg(names.join(u','), QStringList(names.size(), QStringLiteral("?")).join(u','));
    }

    ImportReport& m_report;
    QSet<QByteArray> m_known;
    QSet<QByteArray> m_groupsAdded;
    store::Prepared m_insert;
    store::Prepared m_remember;
};

} // namespace

ImportReport importCalendar(store::Connection& connection, const QByteArray& file)
{
    ImportReport report;
    const QByteArray calendar = checkedCalendar(file, report.refusal, report.note);
    if (!report.refusal.isEmpty()) return report;

    // Inside a window's command the command's transaction holds the import.
    const bool own = connection.aboutToChange() == 0;
    store::addMissingColumns(connection);
    if (own) connection.execute(QStringLiteral("begin immediate"));
    try {
        // Added a few thousand at a time, so the file's affairs are never all in memory.
        Adding adding(connection, report);
        std::vector<EventAffair> batch;
        const auto addBatch = [&] {
            for (const EventAffair& e : batch)
                adding.add(e);
            batch.clear();
        };
        forEachEvent(calendar, [&](EventAffair&& e) {
            batch.push_back(std::move(e));
            if (batch.size() == 4096) addBatch();
        });
        addBatch();
        if (own) connection.execute(QStringLiteral("commit"));
    } catch (...) {
        if (!own) throw;
        try {
            connection.execute(QStringLiteral("rollback"));
        } catch (const store::StoreError&) {
            // The failure that got us here is the one to report.
        }
        throw;
    }
    return report;
}

} // namespace core

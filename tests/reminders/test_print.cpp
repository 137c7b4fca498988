#include "RmdDriver.h"
#include "core/LineSplit.h"
#include "reminders/AffairEditor.h"

namespace {

const auto fileBytes = [](const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
};
const auto affair = [](const QString& text, const QString& day = "2026-12-07") {
    return QString("insert into mp(要事, 时间点) values('%1', '%2')").arg(text, day);
};

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    // Every break, CR LF, LF CR, lone CR or LF, ends a line; a last break ends
    // the last line.
    void splitLines()
    {
        const std::pair<QString, QStringList> cases[] = {{"", {}},
                                                         {"a\rb\r\rc", {"a", "b", "", "c"}},
                                                         {"\n", {""}},
                                                         {"  a \n\t", {"  a ", "\t"}}};
        for (const auto& [text, lines] : cases)
            QCOMPARE(core::splitLines(text), lines);
    }

    // Each print writes its list to a text file, byte for byte (UTF-8), shows
    // it, and fills a new workbook from its template with the list's lines.
    void prints()
    {
        const QString dashes(88, u'-'), due1 = "买菜 ---标记\r\n" + dashes,
                                        due2 = "开会：三楼\r\n带上报告";
        // list: the text file and template stem.
        const auto print = [&](const QString& button, const QString& list, const QString& text,
                               const QStringList& statements, const QStringList& rows) {
            Rmd a(statements);
            a.app.printer.fillForReal = true;
            if (button == "Image6") a.w->editor().selectLine(1);
            const QStringList affairsBefore = a.app.column("select 要事 from mp");
            a.press(button);
            QCOMPARE(fileBytes(a.file("wbwj/" + list + ".txt")), text.toUtf8());
            QCOMPARE(a.app.printer.jobs.size(), 1);
            const auto& job = a.app.printer.jobs[0];
            QVERIFY2(job.savePath.startsWith(a.file("wbwj/")) && job.savePath.endsWith(".xlsx"),
                     qPrintable(job.savePath));
            QCOMPARE((QStringList{a.w->rawAffairText(), job.templatePath} + job.lines +
                      a.app.dialogs.texts() + a.app.column("select 要事 from mp")),
                     (QStringList{text, a.file("dy/mh" + list + ".xltx")} + rows + affairsBefore));
        };
        print("Image11", "zdsw", due1 + "\n\r\n\r" + due2 + "\n\r\n\r",
              {affair(due1), affair(due2), affair("下周", "2026-12-14")},
              {"买菜 ---标记", dashes, "", "开会：三楼", "带上报告", ""});
        print("Image12", "qbsw", "甲\r\n\r\n乙\n丙 <&>\n",
              {affair("甲\r\n\r\n乙", "2026-12-14"), affair("丙 <&>", "2026-12-15")},
              {"甲", "", "乙", "丙 <&>"});
        print("Image6", "xzsw", "其二\r\n第二行",
              {affair("其一", "2026-12-14"), affair("其二\r\n第二行", "2026-12-14")},
              {"其二", "第二行"});
    }

    void printFailuresAreReported()
    {
        const char* const cases[][3] = {{"Image6", "", "打印提醒: 请选中一个具体事务"},
                                        {"Image12", "dy/mhqbsw.xltx", "打印提醒: 找不到表格模板："},
                                        {"Image12", "wbwj", "打印提醒: 无法写入文本文件"}};
        for (const auto& [button, broken, said] : cases) {
            Rmd a({affair("甲", "2026-12-14")});
            a.app.printer.fillForReal = true;
            QFile old(a.file("wbwj/xzsw.txt"));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("上次的内容") > 0);
            old.close();
            if (QString(broken) == "wbwj")
                QVERIFY(QDir(a.file(broken)).removeRecursively());
            else if (*broken)
                QVERIFY(QFile::remove(a.file(broken)));

            a.press(button);
            QVERIFY2(a.said().size() == 1 && a.said()[0].startsWith(said),
                     qPrintable(a.said().join('\n')));
            QVERIFY(!a.app.context().ended() && a.app.printer.jobs.isEmpty());
            QCOMPARE(a.app.column("select 要事 from mp"), QStringList{"甲"});
            // Print selected recreates its text file before it finds no selection.
            if (!*broken) QCOMPARE(fileBytes(old.fileName()), QByteArray());
        }
    }

    // A workbook no program could show is reported when that is known, later.
    void notShownIsReported()
    {
        Rmd a;
        emit a.app.printer.notShown("表格已保存到/x.xlsx");
        QCOMPARE(a.said(), QStringList{"打印提醒: 表格已保存到/x.xlsx"});
    }

    void workbooksAreNeverOverwritten()
    {
        Rmd a({affair("甲", "2026-12-14")});
        a.app.printer.fillForReal = true;
        a.press("Image12");
        a.press("Image12");
        QStringList saved;
        for (const auto& job : a.app.printer.jobs)
            saved << QFileInfo(job.savePath).fileName() +
                         (QFile::exists(job.savePath) ? "" : " gone");
        const QString name = "所有重要事务打印清单-20261207-093005";
        QCOMPARE(saved, (QStringList{name + ".xlsx", name + "-2.xlsx"}));
    }
};

QTEST_MAIN(TestPrint)
#include "test_print.moc"

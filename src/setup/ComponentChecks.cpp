#include "setup/ComponentChecks.h"

#include "setup/SystemProbe.h"

#include <QDir>
#include <optional>

namespace setup {

namespace {

Finding good(const QString& text)
{
    return {true, text, {}};
}

Finding missing(const QString& text, const QString& packages = {})
{
    return {false, text, packages};
}

// Adds a finding for a package and tells whether it is there.
bool requirePackage(CheckReport& report, SystemProbe& probe, const QString& package,
                    const QString& what)
{
    if (probe.packageInstalled(package)) {
        report.findings << good(what + QStringLiteral("：软件包 ") + package +
                                QStringLiteral(" 已安装"));
        return true;
    }
    report.findings << missing(
        what + QStringLiteral("：软件包 ") + package + QStringLiteral(" 没有安装"), package);
    return false;
}

QString firstLine(const QString& text)
{
    const QString line = text.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    return line.isEmpty() ? QStringLiteral("没有输出") : line;
}

// The player's message names the file first, the reason last.
QString lastLine(const QString& text)
{
    return text.trimmed().section(QLatin1Char('\n'), -1).trimmed();
}

// spd-say -O: a heading, then one output module a line.
QStringList outputModules(const ProgramRun& run)
{
    QStringList modules = run.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!modules.isEmpty() && modules.first().trimmed().startsWith(QLatin1String("OUTPUT")))
        modules.removeFirst();
    for (QString& m : modules)
        m = m.trimmed();
    modules.removeAll(QString());
    return modules;
}

// Asks speech-dispatcher once (it starts itself for the first client).
std::optional<QStringList> dispatcherModules(CheckReport& report, SystemProbe& probe)
{
    const ProgramRun run = probe.run(QStringLiteral("spd-say"), {QStringLiteral("-O")});
    if (!run.started) {
        report.findings << missing(QStringLiteral("无法运行 spd-say，语音服务无法启动"),
                                   QStringLiteral("speech-dispatcher"));
        return std::nullopt;
    }
    if (run.exitCode != 0) {
        report.findings << missing(
            QStringLiteral("语音服务 speech-dispatcher 无法启动或没有应答（") +
            firstLine(run.output) + QStringLiteral("）：可在终端中执行 spd-say -O 查看原因"));
        return std::nullopt;
    }
    return outputModules(run);
}

void engineFindings(CheckReport& report, SystemProbe& probe, const QString& engine,
                    const QString& what, const QString& plugin)
{
    if (!probe.speechEngines().contains(engine)) {
        report.findings << missing(
            QStringLiteral("Qt 语音插件 ") + engine + QStringLiteral(" 不存在"), plugin);
        return;
    }
    const EngineVoices voices = probe.engineVoices(engine);
    if (!voices.error.isEmpty()) {
        report.findings << missing(what + QStringLiteral("无法使用：") + voices.error);
        return;
    }
    if (voices.voices.isEmpty()) {
        report.findings << missing(what + QStringLiteral("没有任何语音"));
        return;
    }
    const QString count = what + QStringLiteral("共有 %1 个语音，其中英语语音 %2 个")
                                     .arg(voices.voices.size())
                                     .arg(voices.englishVoices);
    if (voices.englishVoices == 0)
        report.findings << missing(count + QStringLiteral("：朗读英语单词需要英语语音"));
    else
        report.findings << good(count);
}

QString listed(const QStringList& names)
{
    return names.join(QStringLiteral("、"));
}

} // namespace

bool CheckReport::ok() const
{
    for (const Finding& f : findings)
        if (!f.ok) return false;
    return true;
}

QStringList CheckReport::missingPackages() const
{
    QStringList packages;
    for (const Finding& f : findings)
        if (!f.ok)
            for (const QString& p : f.packages.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (!packages.contains(p)) packages << p;
    return packages;
}

QString CheckReport::text() const
{
    QStringList lines{title};
    for (const Finding& f : findings)
        lines << (f.ok ? QStringLiteral("  [正常] ") : QStringLiteral("  [缺少] ")) + f.text;
    if (ok()) {
        lines << QStringLiteral("结论：一切正常，不需要安装什么。");
        return lines.join(QLatin1Char('\n'));
    }
    const QStringList packages = missingPackages();
    if (!packages.isEmpty()) {
        lines << QStringLiteral("结论：请安装 Debian 软件包 ") + packages.join(QLatin1Char(' ')) +
                     QStringLiteral("，在终端中执行：");
        lines << QStringLiteral("  sudo apt-get install ") + packages.join(QLatin1Char(' '));
    }
    bool otherProblems = false;
    for (const Finding& f : findings)
        otherProblems = otherProblems || (!f.ok && f.packages.isEmpty());
    if (otherProblems)
        lines << QStringLiteral("结论：有的问题不是缺少软件包造成的，请按上面的说明处理。");
    return lines.join(QLatin1Char('\n'));
}

CheckReport checkDatabaseEngine(SystemProbe& probe, const QString& bookFolder)
{
    CheckReport report{QStringLiteral("1.数据库引擎"), {}};
    const QString version = probe.sqliteVersion();
    if (version.isEmpty())
        report.findings << missing(QStringLiteral("找不到 SQLite 数据库引擎"),
                                   QStringLiteral("libsqlite3-0"));
    else
        report.findings << good(QStringLiteral("SQLite 数据库引擎 ") + version);

    const QString path = QDir(bookFolder).filePath(QStringLiteral("rmd.mdb"));
    const DatabaseInfo info = probe.inspectDatabase(path);
    if (!info.exists) {
        report.findings << missing(QStringLiteral("没有数据库文件 ") + path +
                                   QStringLiteral("：请把备份的 rmd.mdb 复制到这里"));
        return report;
    }
    if (!info.error.isEmpty()) {
        report.findings << missing(QStringLiteral("数据库文件 ") + path +
                                   QStringLiteral(" 无法读取：") + info.error);
        return report;
    }
    if (info.integrity != QLatin1String("ok")) {
        report.findings << missing(
            QStringLiteral("数据库文件 ") + path + QStringLiteral(" 已损坏（完整性检查：") +
            firstLine(info.integrity) + QStringLiteral("）：请用备份的 rmd.mdb 替换它"));
        return report;
    }
    report.findings << good(QStringLiteral("数据库文件 ") + path +
                            QStringLiteral(" 完整性检查通过"));

    QStringList problems;
    const QMap<QString, QStringList> expected = probe.expectedTables();
    for (auto table = expected.cbegin(); table != expected.cend(); ++table) {
        if (!info.columns.contains(table.key())) {
            problems << QStringLiteral("缺少表 ") + table.key();
            continue;
        }
        QStringList absent;
        for (const QString& column : table.value())
            if (!info.columns.value(table.key()).contains(column, Qt::CaseInsensitive))
                absent << column;
        if (!absent.isEmpty())
            problems << QStringLiteral("表 ") + table.key() + QStringLiteral(" 缺少字段 ") +
                            listed(absent);
    }
    if (problems.isEmpty())
        report.findings << good(QStringLiteral("%1 个表及其字段齐全：").arg(expected.size()) +
                                listed(expected.keys()));
    else
        report.findings << missing(QStringLiteral("数据库文件不是本软件的数据库或已被改动：") +
                                   listed(problems) +
                                   QStringLiteral("；请用备份的 rmd.mdb 替换它"));
    return report;
}

CheckReport checkSpeechService(SystemProbe& probe)
{
    CheckReport report{QStringLiteral("2.语音引擎-1"), {}};
    if (!requirePackage(report, probe, QStringLiteral("speech-dispatcher"),
                        QStringLiteral("语音服务 speech-dispatcher")))
        return report;
    const std::optional<QStringList> modules = dispatcherModules(report, probe);
    if (!modules) return report;
    if (modules->isEmpty())
        report.findings << missing(QStringLiteral("语音服务已应答，但没有任何语音输出模块"),
                                   QStringLiteral("speech-dispatcher-espeak-ng"));
    else
        report.findings << good(QStringLiteral("语音服务已启动并应答，输出模块：") +
                                listed(*modules));
    return report;
}

CheckReport checkEspeak(SystemProbe& probe)
{
    CheckReport report{QStringLiteral("3.语音引擎-2"), {}};
    bool installed = requirePackage(report, probe, QStringLiteral("espeak-ng"),
                                    QStringLiteral("语音合成 espeak-ng"));
    installed = requirePackage(report, probe, QStringLiteral("speech-dispatcher-espeak-ng"),
                               QStringLiteral("语音服务的 espeak-ng 模块")) &&
                installed;
    if (!installed) return report;
    const std::optional<QStringList> modules = dispatcherModules(report, probe);
    if (!modules) return report;
    if (!modules->contains(QStringLiteral("espeak-ng"))) {
        report.findings << missing(QStringLiteral("语音服务中没有 espeak-ng 输出模块"),
                                   QStringLiteral("speech-dispatcher-espeak-ng"));
        return report;
    }
    report.findings << good(QStringLiteral("语音服务中有 espeak-ng 输出模块"));
    engineFindings(report, probe, QStringLiteral("speechd"), QStringLiteral("经语音服务朗读："),
                   QStringLiteral("qt6-speech-speechd-plugin"));
    return report;
}

CheckReport checkFlite(SystemProbe& probe)
{
    CheckReport report{QStringLiteral("4.语音引擎-3"), {}};
    if (!requirePackage(report, probe, QStringLiteral("qt6-speech-flite-plugin"),
                        QStringLiteral("备用语音合成 flite")))
        return report;
    engineFindings(report, probe, QStringLiteral("flite"), QStringLiteral("flite："),
                   QStringLiteral("qt6-speech-flite-plugin"));
    return report;
}

CheckReport checkRuntimeLibraries(SystemProbe& probe)
{
    CheckReport report{QStringLiteral("5.注册动态链接库"), {}};
    if (probe.platformPlugin(QStringLiteral("xcb")))
        report.findings << good(QStringLiteral("Qt 窗口平台插件 xcb 存在"));
    else
        report.findings << missing(QStringLiteral("找不到 Qt 窗口平台插件 xcb"),
                                   QStringLiteral("libqt6gui6"));
    if (probe.chineseTranslations())
        report.findings << good(QStringLiteral("Qt 的中文翻译可以加载"));
    else
        report.findings << missing(QStringLiteral("Qt 的中文翻译无法加载，对话框按钮会显示英文"),
                                   QStringLiteral("qt6-translations-l10n"));
    const QStringList fonts = probe.chineseFonts();
    if (fonts.isEmpty())
        report.findings << missing(QStringLiteral("没有中文字体，汉字会显示成方框"),
                                   QStringLiteral("fonts-wqy-microhei"));
    else
        report.findings << good(QStringLiteral("中文字体：") + fonts.first());

    const QStringList engines = probe.speechEngines();
    for (const auto& [engine, package] :
         {std::pair{QStringLiteral("speechd"), QStringLiteral("qt6-speech-speechd-plugin")},
          std::pair{QStringLiteral("flite"), QStringLiteral("qt6-speech-flite-plugin")}}) {
        if (engines.contains(engine))
            report.findings << good(QStringLiteral("Qt 语音插件 ") + engine +
                                    QStringLiteral(" 存在"));
        else
            report.findings << missing(QStringLiteral("找不到 Qt 语音插件 ") + engine, package);
    }

    // The packages whose GStreamer elements read each kind of file.
    const QMap<QString, QString> providers{
        {QStringLiteral("wav"), QStringLiteral("gstreamer1.0-plugins-good")},
        {QStringLiteral("mid"), QStringLiteral("gstreamer1.0-plugins-bad timgm6mb-soundfont")},
        {QStringLiteral("dat"), QStringLiteral("gstreamer1.0-plugins-bad gstreamer1.0-libav")},
        {QStringLiteral("avi"), QStringLiteral("gstreamer1.0-plugins-good")},
    };
    const QList<SampleFile> samples = probe.mediaSamples();
    if (samples.isEmpty())
        report.findings << missing(
            QStringLiteral("无法写出试听用的媒体样本文件（临时文件夹不可写）"));
    for (const SampleFile& sample : samples) {
        const QString what = QStringLiteral("媒体播放：") + sample.kind + QStringLiteral(" 文件");
        const QString error = probe.loadMedia(sample.path);
        if (error.isEmpty())
            report.findings << good(what + QStringLiteral("可以播放"));
        else
            report.findings << missing(what + QStringLiteral("无法播放（") + lastLine(error) +
                                           QStringLiteral("）"),
                                       providers.value(sample.kind));
    }
    return report;
}

CheckReport runCheck(int n, SystemProbe& probe, const QString& bookFolder)
{
    switch (n) {
    case 1:
        return checkDatabaseEngine(probe, bookFolder);
    case 2:
        return checkSpeechService(probe);
    case 3:
        return checkEspeak(probe);
    case 4:
        return checkFlite(probe);
    default:
        return checkRuntimeLibraries(probe);
    }
}

} // namespace setup

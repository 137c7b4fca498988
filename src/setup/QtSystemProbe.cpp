#include "setup/QtSystemProbe.h"

#include "platform/MediaPlayer.h"
#include "platform/MediaSamples.h"
#include "store/Connection.h"
#include "store/Scan.h"
#include "store/StoreError.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QTimer>
#include <QTranslator>

namespace setup {

namespace {

// Every row of a one-column query.
QStringList queryColumn(store::Connection& db, const QString& sql, int column) // throws StoreError
{
    QStringList rows;
    store::Scan scan(db, sql);
    while (scan.next())
        rows << scan.text(column);
    return rows;
}

QMap<QString, QStringList> readColumns(store::Connection& db) // throws StoreError
{
    QMap<QString, QStringList> tables;
    const QStringList names =
        queryColumn(db,
                    QStringLiteral("select name from sqlite_master where type = 'table' "
                                   "and name not like 'sqlite\\_%' escape '\\'"),
                    0);
    for (const QString& name : names) {
        QString quoted = name;
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        tables.insert(name,
                      queryColumn(db, QStringLiteral("pragma table_info(\"%1\")").arg(quoted), 1));
    }
    return tables;
}

} // namespace

QtSystemProbe::QtSystemProbe(platform::MediaPlayer* player) : m_player(player) {}

QtSystemProbe::~QtSystemProbe() = default;

bool QtSystemProbe::packageInstalled(const QString& package)
{
    const ProgramRun status = run(QStringLiteral("dpkg-query"),
                                  {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), package});
    return status.exitCode == 0 && status.output.contains(QLatin1String("install ok installed"));
}

QString QtSystemProbe::sqliteVersion()
{
    return store::engineVersion();
}

DatabaseInfo QtSystemProbe::inspectDatabase(const QString& path)
{
    DatabaseInfo info;
    info.exists = QFileInfo(path).isFile();
    if (!info.exists) return info;
    try {
        // Read-only: the check never changes a byte of the book.
        store::Connection db;
        db.open(path, store::Connection::Access::ReadOnly);
        info.integrity =
            queryColumn(db, QStringLiteral("pragma integrity_check"), 0).join(QLatin1Char('\n'));
        if (info.integrity == QLatin1String("ok")) info.columns = readColumns(db);
    } catch (const store::StoreError& error) {
        // The check names the file itself; the store's text ends with it too.
        info.error = error.message();
        const QString named = QStringLiteral("：") + path;
        if (info.error.endsWith(named)) info.error.chop(named.size());
    }
    return info;
}

QMap<QString, QStringList> QtSystemProbe::expectedTables()
{
    QFile schema(QStringLiteral(":/setup/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) return {};
    try {
        store::Connection db;
        db.openInMemory(QString::fromUtf8(schema.readAll()));
        return readColumns(db);
    } catch (const store::StoreError&) {
        return {};
    }
}

ProgramRun QtSystemProbe::run(const QString& program, const QStringList& args)
{
    ProgramRun result;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The answers are parsed in English, and a session locale that was never
    // generated makes spd-say fail before it asks anything.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(program, args);
    result.started = process.waitForStarted(5000);
    if (!result.started) return result;
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(1000);
        result.output = QStringLiteral("15 秒内没有应答");
        return result;
    }
    result.output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() == QProcess::NormalExit) result.exitCode = process.exitCode();
    return result;
}

QStringList QtSystemProbe::speechEngines()
{
    return QTextToSpeech::availableEngines();
}

EngineVoices QtSystemProbe::engineVoices(const QString& engine)
{
    EngineVoices result;
    QTextToSpeech tts(engine);
    if (tts.state() == QTextToSpeech::Error) {
        result.error = tts.errorString().isEmpty() ? QStringLiteral("无法连接") : tts.errorString();
        return result;
    }
    QSet<QString> names;
    for (const QLocale& locale : tts.availableLocales()) {
        tts.setLocale(locale);
        for (const QVoice& voice : tts.availableVoices()) {
            // espeak-ng lists each voice again in many timbres ("...+female1").
            if (voice.name().contains(QLatin1Char('+')) || names.contains(voice.name())) continue;
            names.insert(voice.name());
            result.voices << voice.name();
            if (locale.language() == QLocale::English) ++result.englishVoices;
        }
    }
    return result;
}

bool QtSystemProbe::platformPlugin(const QString& name)
{
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                         QStringLiteral("/platforms/libq") + name + QStringLiteral(".so"));
}

bool QtSystemProbe::chineseTranslations()
{
    QTranslator translator;
    return translator.load(QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QStringList QtSystemProbe::chineseFonts()
{
    QStringList fonts = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    // The font the windows ask for first comes first.
    const QString preferred = QStringLiteral("WenQuanYi Micro Hei");
    if (fonts.removeAll(preferred) > 0) fonts.prepend(preferred);
    return fonts;
}

QList<SampleFile> QtSystemProbe::mediaSamples()
{
    m_samples = std::make_unique<QTemporaryDir>();
    QList<SampleFile> files;
    if (!m_samples->isValid()) return files;
    for (const platform::MediaSample& sample : platform::writeMediaSamples(m_samples->path()))
        files.append({sample.kind, sample.path});
    return files;
}

QString QtSystemProbe::loadMedia(const QString& path)
{
    if (!m_player) return QStringLiteral("没有媒体播放器");
    QEventLoop loop;
    QString error = QStringLiteral("20 秒内没有加载完成");
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto loaded = QObject::connect(m_player, &platform::MediaPlayer::loaded, &loop, [&] {
        error.clear();
        loop.quit();
    });
    const auto failed = QObject::connect(m_player, &platform::MediaPlayer::errorOccurred, &loop,
                                         [&](const QString& message) {
                                             error = message;
                                             loop.quit();
                                         });
    m_player->play(path);
    timeout.start(20000);
    // Only the player's own events are awaited; the window ignores input meanwhile.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(loaded);
    QObject::disconnect(failed);
    m_player->stop();
    return error;
}

} // namespace setup

#include "setup/QtSystemProbe.h"

#include "platform/MediaPlayer.h"
#include "platform/MediaSamples.h"

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
#include <sqlite3.h>

namespace setup {

namespace {

QString engineText(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Every row of a one-column query; false with the engine's text on failure.
bool queryColumn(sqlite3* db, const QString& sql, int column, QStringList& rows, QString& error)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        error = engineText(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        rows << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) {
        error = engineText(db);
        return false;
    }
    return true;
}

bool readColumns(sqlite3* db, QMap<QString, QStringList>& tables, QString& error)
{
    QStringList names;
    if (!queryColumn(db,
                     QStringLiteral("select name from sqlite_master where type = 'table' "
                                    "and name not like 'sqlite\\_%' escape '\\'"),
                     0, names, error))
        return false;
    for (const QString& name : names) {
        QStringList columns;
        QString quoted = name;
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        if (!queryColumn(db, QStringLiteral("pragma table_info(\"%1\")").arg(quoted), 1, columns,
                         error))
            return false;
        tables.insert(name, columns);
    }
    return true;
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
    return QString::fromLatin1(sqlite3_libversion());
}

DatabaseInfo QtSystemProbe::inspectDatabase(const QString& path)
{
    DatabaseInfo info;
    info.exists = QFileInfo(path).isFile();
    if (!info.exists) return info;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        info.error = db ? engineText(db) : QStringLiteral("内存不足");
        sqlite3_close(db);
        return info;
    }
    QStringList integrity;
    if (queryColumn(db, QStringLiteral("pragma integrity_check"), 0, integrity, info.error)) {
        info.integrity = integrity.join(QLatin1Char('\n'));
        if (info.integrity == QLatin1String("ok")) readColumns(db, info.columns, info.error);
    }
    sqlite3_close(db);
    return info;
}

QMap<QString, QStringList> QtSystemProbe::expectedTables()
{
    QMap<QString, QStringList> tables;
    QFile schema(QStringLiteral(":/setup/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) return tables;
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) == SQLITE_OK &&
        sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr) == SQLITE_OK) {
        QString error;
        readColumns(db, tables, error);
    }
    sqlite3_close(db);
    return tables;
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

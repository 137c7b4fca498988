#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace setup {

// What a look into rmd.mdb found. Columns by table, in their stored order.
struct DatabaseInfo {
    bool exists = false;
    QString error; // opening or reading failed: the engine's text
    QString integrity;
    QMap<QString, QStringList> columns;
};

struct ProgramRun {
    bool started = false;
    int exitCode = -1;
    QString output;
};

struct EngineVoices {
    QString error; // empty when the engine connected
    QStringList voices;
    int englishVoices = 0;
};

struct SampleFile {
    QString kind; // wav, mid, dat, avi
    QString path;
};

// The questions the component checks ask of this machine. Each answers from
// what is there; nothing is installed or changed.
class SystemProbe {
public:
    virtual ~SystemProbe() = default;
    virtual bool packageInstalled(const QString& package) = 0;
    virtual QString sqliteVersion() = 0;
    // Opens the file read-only on a connection of its own and closes it again.
    virtual DatabaseInfo inspectDatabase(const QString& path) = 0;
    virtual QMap<QString, QStringList> expectedTables() = 0;
    virtual ProgramRun run(const QString& program, const QStringList& args) = 0;
    virtual QStringList speechEngines() = 0;
    virtual EngineVoices engineVoices(const QString& engine) = 0;
    virtual bool platformPlugin(const QString& name) = 0;
    virtual bool chineseTranslations() = 0;
    virtual QStringList chineseFonts() = 0;
    virtual QList<SampleFile> mediaSamples() = 0;
    // Empty when the file loads, else the player's Chinese message.
    virtual QString loadMedia(const QString& path) = 0;
};

} // namespace setup

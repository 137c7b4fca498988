#pragma once

#include "setup/SystemProbe.h"

#include <memory>

class QTemporaryDir;

namespace platform {
class MediaPlayer;
}

namespace setup {

// Answers from this Debian installation: dpkg, the programs on PATH, Qt's
// plugins and fonts, and the media player the windows use.
class QtSystemProbe : public SystemProbe {
public:
    explicit QtSystemProbe(platform::MediaPlayer* player);
    ~QtSystemProbe() override;

    bool packageInstalled(const QString& package) override;
    QString sqliteVersion() override;
    DatabaseInfo inspectDatabase(const QString& path) override;
    QMap<QString, QStringList> expectedTables() override;
    ProgramRun run(const QString& program, const QStringList& args) override;
    QStringList speechEngines() override;
    EngineVoices engineVoices(const QString& engine) override;
    bool platformPlugin(const QString& name) override;
    bool chineseTranslations() override;
    QStringList chineseFonts() override;
    QList<SampleFile> mediaSamples() override;
    QString loadMedia(const QString& path) override;

private:
    platform::MediaPlayer* m_player;
    std::unique_ptr<QTemporaryDir> m_samples;
};

} // namespace setup

#pragma once

#include "setup/SystemProbe.h"

#include <QSet>

// A Debian installation on which everything is present and works, until a
// test takes something away.
class FakeProbe : public setup::SystemProbe {
public:
    QSet<QString> packages{"speech-dispatcher", "espeak-ng", "speech-dispatcher-espeak-ng",
                           "qt6-speech-flite-plugin"};
    QString version = "3.40.1";
    QMap<QString, QStringList> expected{
        {"ma", {"mm", "zdtxsw"}}, {"mp", {"要事", "要事关键字"}}, {"wblb", {"外部", "说明"}}};
    setup::DatabaseInfo database{true, {}, "ok", expected};
    setup::ProgramRun spd{true, 0, "OUTPUT MODULES\nespeak-ng\n"};
    QStringList engines{"speechd", "flite"};
    QMap<QString, setup::EngineVoices> voices{
        {"speechd", {{}, {"English (America)", "English (Great Britain)", "Chinese"}, 2}},
        {"flite", {{}, {"kal16"}, 1}}};
    bool xcb = true;
    bool translations = true;
    QStringList fonts{"WenQuanYi Micro Hei"};
    QList<setup::SampleFile> samples{
        {"wav", "/tmp/s.wav"}, {"mid", "/tmp/s.mid"}, {"dat", "/tmp/s.dat"}, {"avi", "/tmp/s.avi"}};
    QMap<QString, QString> mediaErrors; // by path

    QStringList databasesOpened;
    QList<QStringList> runs;

    bool packageInstalled(const QString& package) override { return packages.contains(package); }
    QString sqliteVersion() override { return version; }
    setup::DatabaseInfo inspectDatabase(const QString& path) override
    {
        databasesOpened << path;
        return database;
    }
    QMap<QString, QStringList> expectedTables() override { return expected; }
    setup::ProgramRun run(const QString& program, const QStringList& args) override
    {
        runs << (QStringList{program} + args);
        return spd;
    }
    QStringList speechEngines() override { return engines; }
    setup::EngineVoices engineVoices(const QString& e) override { return voices.value(e); }
    bool platformPlugin(const QString& name) override { return xcb && name == "xcb"; }
    bool chineseTranslations() override { return translations; }
    QStringList chineseFonts() override { return fonts; }
    QList<setup::SampleFile> mediaSamples() override { return samples; }
    QString loadMedia(const QString& path) override { return mediaErrors.value(path); }
};

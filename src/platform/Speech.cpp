#include "platform/Speech.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QTextToSpeech>
#include <QVoice>

#include <algorithm>

namespace platform {

namespace {

// Windows language ids of the locales speech engines commonly offer.
const QHash<QString, int>& languageIds()
{
    static const QHash<QString, int> ids{
        {QStringLiteral("ar_SA"), 1025},  {QStringLiteral("zh_TW"), 1028},
        {QStringLiteral("cs_CZ"), 1029},  {QStringLiteral("da_DK"), 1030},
        {QStringLiteral("de_DE"), 1031},  {QStringLiteral("el_GR"), 1032},
        {QStringLiteral("en_US"), 1033},  {QStringLiteral("fi_FI"), 1035},
        {QStringLiteral("fr_FR"), 1036},  {QStringLiteral("he_IL"), 1037},
        {QStringLiteral("hu_HU"), 1038},  {QStringLiteral("it_IT"), 1040},
        {QStringLiteral("ja_JP"), 1041},  {QStringLiteral("ko_KR"), 1042},
        {QStringLiteral("nl_NL"), 1043},  {QStringLiteral("nb_NO"), 1044},
        {QStringLiteral("pl_PL"), 1045},  {QStringLiteral("pt_BR"), 1046},
        {QStringLiteral("ru_RU"), 1049},  {QStringLiteral("sv_SE"), 1053},
        {QStringLiteral("th_TH"), 1054},  {QStringLiteral("tr_TR"), 1055},
        {QStringLiteral("id_ID"), 1057},  {QStringLiteral("uk_UA"), 1058},
        {QStringLiteral("vi_VN"), 1066},  {QStringLiteral("hi_IN"), 1081},
        {QStringLiteral("zh_CN"), 2052},  {QStringLiteral("de_CH"), 2055},
        {QStringLiteral("en_GB"), 2057},  {QStringLiteral("es_MX"), 2058},
        {QStringLiteral("fr_BE"), 2060},  {QStringLiteral("nl_BE"), 2067},
        {QStringLiteral("pt_PT"), 2070},  {QStringLiteral("zh_HK"), 3076},
        {QStringLiteral("de_AT"), 3079},  {QStringLiteral("en_AU"), 3081},
        {QStringLiteral("es_ES"), 3082},  {QStringLiteral("fr_CA"), 3084},
        {QStringLiteral("zh_SG"), 4100},  {QStringLiteral("en_CA"), 4105},
        {QStringLiteral("fr_CH"), 4108},  {QStringLiteral("en_NZ"), 5129},
        {QStringLiteral("en_IE"), 6153},  {QStringLiteral("en_ZA"), 7177},
        {QStringLiteral("en_IN"), 16393},
    };
    return ids;
}

const QString kNoEngine =
    QStringLiteral("没有可用的语音引擎，无法朗读。请安装并启动 speech-dispatcher "
                   "(espeak-ng) 或 flite。");

class QtSpeech : public Speech {
public:
    bool usable() const override
    {
        const QTextToSpeech* tts = engine();
        return tts && tts->state() != QTextToSpeech::Error;
    }

    QString errorText() const override
    {
        if (usable())
            return {};
        const QString reason = tts_ ? tts_->errorString() : reason_;
        return reason.isEmpty() ? kNoEngine : kNoEngine + QStringLiteral("\n") + reason;
    }

    QList<Voice> voices() override
    {
        collectVoices();
        QList<Voice> out;
        for (const auto& v : voices_)
            out << Voice{v.voice.name(), windowsLanguageId(v.locale.name())};
        return out;
    }

    void setParameters(const SpeechParameters& p) override
    {
        if (!usable())
            return;
        tts_->setRate(std::clamp(p.rate, -1.0, 1.0));
        tts_->setPitch(std::clamp(p.pitch, -1.0, 1.0));
        tts_->setVolume(std::clamp(p.volume, 0.0, 1.0));
        if (p.voiceName.isEmpty())
            return;
        collectVoices();
        for (const auto& v : voices_) {
            if (v.voice.name() != p.voiceName)
                continue;
            if (tts_->locale() != v.locale)
                tts_->setLocale(v.locale);
            tts_->setVoice(v.voice);
            return;
        }
    }

    void speak(const QString& text) override
    {
        if (usable())
            tts_->say(text);
    }

    void stop() override
    {
        if (usable())
            tts_->stop();
    }

private:
    // Starting an engine may spawn the speech server and take seconds, so it
    // waits until someone wants to read or list voices.
    QTextToSpeech* engine() const
    {
        if (started_)
            return tts_.get();
        started_ = true;
        for (const QString& name : {QStringLiteral("speechd"), QStringLiteral("flite")}) {
            if (!QTextToSpeech::availableEngines().contains(name))
                continue;
            tts_ = std::make_unique<QTextToSpeech>(name);
            // The engines report a failed start through state(); errorString()
            // may keep an older, harmless message.
            if (tts_->state() != QTextToSpeech::Error)
                return tts_.get();
            reason_ = tts_->errorString();
        }
        tts_.reset();
        return nullptr;
    }

    struct LocaleVoice {
        QLocale locale;
        QVoice voice;
    };

    // Engines list voices per locale only, so every locale is visited once and
    // the engine is left on the locale and voice it had. Locales come in no
    // particular order; sorting keeps the numbering of voices the same each run.
    void collectVoices()
    {
        if (collected_ || !usable())
            return;
        collected_ = true;
        const QLocale locale = tts_->locale();
        const QVoice voice = tts_->voice();
        QList<QLocale> locales = tts_->availableLocales();
        std::sort(locales.begin(), locales.end(),
                  [](const QLocale& a, const QLocale& b) { return a.name() < b.name(); });
        for (const QLocale& l : locales) {
            tts_->setLocale(l);
            if (tts_->state() == QTextToSpeech::Error)
                break;
            const QList<QVoice> available = tts_->availableVoices();
            QSet<QString> names;
            for (const QVoice& v : available)
                names.insert(v.name());
            for (const QVoice& v : available)
                if (!isVariant(v.name(), names))
                    voices_.append({l, v});
        }
        tts_->setLocale(locale);
        tts_->setVoice(voice);
    }

    // espeak-ng offers every voice again in a hundred timbres ("English
    // (America)+female1"), which would bury the real choices.
    static bool isVariant(const QString& name, const QSet<QString>& names)
    {
        const qsizetype plus = name.indexOf(u'+');
        return plus > 0 && names.contains(name.left(plus));
    }

    mutable std::unique_ptr<QTextToSpeech> tts_;
    mutable QString reason_;
    mutable bool started_ = false;
    QList<LocaleVoice> voices_;
    bool collected_ = false;
};

} // namespace

int windowsLanguageId(const QString& localeName)
{
    QString name = localeName.trimmed();
    name.replace(u'-', u'_');
    const auto& ids = languageIds();
    if (const auto it = ids.constFind(name); it != ids.cend())
        return *it;
    if (name.isEmpty())
        return 0;
    // A plain language ("en") or an unlisted form ("zh_Hant") counts as the
    // language of its main country, as QLocale resolves it.
    const QLocale locale(name);
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return 0;
    if (const auto it = ids.constFind(locale.name()); it != ids.cend())
        return *it;
    const QLocale main(locale.language());
    return ids.value(main.name(), 0);
}

std::unique_ptr<Speech> createQtSpeech()
{
    return std::make_unique<QtSpeech>();
}

} // namespace platform

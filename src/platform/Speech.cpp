#include "platform/Speech.h"

#include <QHash>
#include <QLocale>
#include <QPointer>
#include <QSet>
#include <QTextToSpeech>
#include <QThread>
#include <QTimer>
#include <QVoice>

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

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

// What the engine thread found, handed once to the owner's thread.
struct EngineAnswer {
    bool usable = false;
    QString reason;
    QList<Voice> voices;
};

// Lives in the engine thread and is the only code that touches the engine,
// which it owns as a child, so the engine also ends in that thread.
class EngineHost : public QObject {
public:
    EngineAnswer start()
    {
        EngineAnswer answer;
        for (const QString& name : {QStringLiteral("speechd"), QStringLiteral("flite")}) {
            if (!QTextToSpeech::availableEngines().contains(name)) continue;
            tts_ = new QTextToSpeech(name, this);
            collectVoices();
            // Under a Chinese locale speechd reports Error for its default
            // voice yet speaks: an engine that lists voices works.
            if (!voices_.isEmpty() || tts_->state() != QTextToSpeech::Error) {
                answer.usable = true;
                for (const auto& v : voices_)
                    answer.voices << Voice{v.voice.name(), windowsLanguageId(v.locale.name())};
                return answer;
            }
            answer.reason = tts_->errorString();
            delete tts_;
            tts_ = nullptr;
        }
        return answer;
    }

    void setParameters(const SpeechParameters& p)
    {
        if (!tts_) return;
        tts_->setRate(std::clamp(p.rate, -1.0, 1.0));
        tts_->setPitch(std::clamp(p.pitch, -1.0, 1.0));
        tts_->setVolume(std::clamp(p.volume, 0.0, 1.0));
        if (p.voiceName.isEmpty() || tts_->voice().name() == p.voiceName) return;
        for (const auto& v : voices_) {
            if (v.voice.name() != p.voiceName) continue;
            if (tts_->locale() != v.locale) tts_->setLocale(v.locale);
            tts_->setVoice(v.voice);
            return;
        }
    }

    void speak(const QString& text)
    {
        if (tts_) tts_->say(text);
    }

    void stop()
    {
        if (tts_) tts_->stop();
    }

private:
    struct LocaleVoice {
        QLocale locale;
        QVoice voice;
    };

    // Engines list voices per locale only, so every locale is visited once and
    // the engine is left on the locale and voice it had. Locales come in no
    // particular order; sorting keeps the numbering of voices the same each run.
    void collectVoices()
    {
        voices_.clear();
        const QLocale locale = tts_->locale();
        const QVoice voice = tts_->voice();
        QList<QLocale> locales = tts_->availableLocales();
        std::sort(locales.begin(), locales.end(),
                  [](const QLocale& a, const QLocale& b) { return a.name() < b.name(); });
        for (const QLocale& l : locales) {
            tts_->setLocale(l);
            const QList<QVoice> available = tts_->availableVoices();
            QSet<QString> names;
            for (const QVoice& v : available)
                names.insert(v.name());
            for (const QVoice& v : available)
                if (!isVariant(v.name(), names)) voices_.append({l, v});
        }
        if (!locales.isEmpty()) {
            tts_->setLocale(locale);
            tts_->setVoice(voice);
        }
    }

    // espeak-ng offers every voice again in a hundred timbres ("English
    // (America)+female1"), which would bury the real choices.
    static bool isVariant(const QString& name, const QSet<QString>& names)
    {
        const qsizetype plus = name.indexOf(u'+');
        return plus > 0 && names.contains(name.left(plus));
    }

    QTextToSpeech* tts_ = nullptr;
    QList<LocaleVoice> voices_;
};

// The engine thread's way back: cleared when the service ends first.
struct AnswerLink {
    std::mutex mutex;
    QObject* front = nullptr;
};

constexpr int kStartSeconds = 20;
constexpr int kEndWaitMs = 2000;

class QtSpeech : public Speech {
public:
    QtSpeech() : link_(std::make_shared<AnswerLink>())
    {
        link_->front = &front_;
        thread_ = new QThread;
        thread_->setObjectName(QStringLiteral("speech"));
        host_ = new EngineHost;
        host_->moveToThread(thread_);
        QObject::connect(thread_, &QThread::finished, host_, &QObject::deleteLater);
        thread_->start();
        QMetaObject::invokeMethod(
            host_,
            [this, host = host_, link = link_] {
                EngineAnswer answer = host->start();
                const std::lock_guard lock(link->mutex);
                if (link->front)
                    QMetaObject::invokeMethod(
                        link->front, [this, answer = std::move(answer)] { deliver(answer); },
                        Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        // A speech server that never answers must not leave reading
        // half-alive: after a while the engine counts as unusable.
        QTimer::singleShot(kStartSeconds * 1000, &front_, [this] {
            deliver({false, QStringLiteral("语音引擎 %1 秒内没有响应。").arg(kStartSeconds), {}});
        });
    }

    ~QtSpeech() override
    {
        {
            const std::lock_guard lock(link_->mutex);
            link_->front = nullptr;
        }
        thread_->quit();
        // An engine stuck in its start is left to end with the process.
        if (thread_->wait(kEndWaitMs)) delete thread_;
    }

    bool ready() const override { return ready_; }

    void whenReady(QObject* receiver, std::function<void()> done) override
    {
        if (ready_) {
            done();
            return;
        }
        waiting_.append({receiver, std::move(done)});
    }

    bool usable() const override { return ready_ && answer_.usable; }

    QString errorText() const override
    {
        if (!ready_ || answer_.usable) return {};
        return answer_.reason.isEmpty() ? kNoEngine : kNoEngine + u'\n' + answer_.reason;
    }

    QList<Voice> voices() const override { return answer_.voices; }

    void setParameters(const SpeechParameters& p) override
    {
        if (usable()) post([p](EngineHost& host) { host.setParameters(p); });
    }

    void speak(const QString& text) override
    {
        if (usable()) post([text](EngineHost& host) { host.speak(text); });
    }

    void stop() override
    {
        if (usable()) post([](EngineHost& host) { host.stop(); });
    }

private:
    void post(std::function<void(EngineHost&)> job)
    {
        QMetaObject::invokeMethod(
            host_, [host = host_, job = std::move(job)] { job(*host); }, Qt::QueuedConnection);
    }

    void deliver(const EngineAnswer& answer)
    {
        if (ready_) return;
        answer_ = answer;
        ready_ = true;
        const auto waiting = std::exchange(waiting_, {});
        for (const auto& [receiver, done] : waiting)
            if (receiver) done();
    }

    std::shared_ptr<AnswerLink> link_;
    QThread* thread_ = nullptr;  // deleted once it has ended
    EngineHost* host_ = nullptr; // lives in thread_, deleted there when it ends
    QObject front_;              // receives the answer in the owner's thread
    EngineAnswer answer_;
    bool ready_ = false;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> waiting_;
};

} // namespace

int windowsLanguageId(const QString& localeName)
{
    QString name = localeName.trimmed();
    name.replace(u'-', u'_');
    const auto& ids = languageIds();
    if (const auto it = ids.constFind(name); it != ids.cend()) return *it;
    if (name.isEmpty()) return 0;
    // A plain language ("en") or an unlisted form ("zh_Hant") counts as the
    // language of its main country, as QLocale resolves it.
    const QLocale locale(name);
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) return 0;
    if (const auto it = ids.constFind(locale.name()); it != ids.cend()) return *it;
    const QLocale main(locale.language());
    return ids.value(main.name(), 0);
}

std::unique_ptr<Speech> createQtSpeech()
{
    return std::make_unique<QtSpeech>();
}

} // namespace platform

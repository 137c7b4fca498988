// The voice lists and reading the English aloud.
#include "vocabulary/VocabularyWindow.h"

#include "platform/Dialogs.h"
#include "platform/Speech.h"
#include "shell/AppContext.h"
#include "ui_IQDW.h"
#include "vocabulary/WordText.h"

#include <QSignalBlocker>

namespace vocabulary {

namespace {

// The two reading settings of the original speech control, a volume of 80
// and a pace of 150 words a minute, against the 175 words a minute the
// engines read at by default.
constexpr double kVolume = 0.8;
constexpr double kRate = 150.0 / 175.0 - 1.0;

} // namespace

void VocabularyWindow::listVoices()
{
    // The engine answers seconds after the window opened; the lists fill then.
    platform::Speech& speech = *m_context.services().speech;
    speech.whenReady(this, [this, &speech] {
        if (!speech.usable()) {
            m_context.services().dialogs->message(QStringLiteral("无法使用TTS"),
                                                  QStringLiteral("提示"), platform::Buttons::Ok,
                                                  platform::Icon::Information);
            return;
        }
        const VoiceLines lines = voiceLines(speech.voices());
        const QSignalBlocker blockEnglish(m_ui->ComboE);
        const QSignalBlocker blockOthers(m_ui->ComboC);
        m_ui->ComboE->addItems(lines.english);
        m_ui->ComboC->addItems(lines.others);
    });
}

QString VocabularyWindow::englishShown() const
{
    return m_ui->RTB->toPlainText();
}

void VocabularyWindow::readAloud()
{
    platform::Speech& speech = *m_context.services().speech;
    if (!speech.usable()) return;
    // The caret counts the characters the box shows, so the text it is
    // measured in is the shown one too.
    const QString text = textToRead(englishShown(), m_ui->RTB->textCursor().position());
    platform::SpeechParameters parameters;
    parameters.voiceName = readingVoice(speech.voices());
    parameters.rate = kRate;
    parameters.volume = kVolume;
    speech.setParameters(parameters);
    speech.speak(text);
}

} // namespace vocabulary

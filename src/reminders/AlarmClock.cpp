#include "reminders/AlarmClock.h"

#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/Notifier.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace reminders {

namespace {

constexpr int kMinuteMs = 60000;
const QString kAlarmColumn = QStringLiteral("闹钟音乐");
const QString kResetTitle = QStringLiteral("请重新设置");
const QString kTimeUp = QStringLiteral("时间到!");
const QString kAlarmTitle = QStringLiteral("闹钟提醒");

} // namespace

std::optional<int> alarmMinutes(const QString& text)
{
    // "45分钟" is 45 and "1.5" is 1: whatever follows the leading digits is a unit or a fraction.
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    qint64 minutes = 0;
    const qsizetype first = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        minutes = minutes * 10 + (text[i].unicode() - u'0');
        if (minutes > kMaxAlarmMinutes) return std::nullopt;
    }
    if (i == first || minutes < 1) return std::nullopt;
    return int(minutes);
}

int minutesLeft(int minutes, qint64 elapsedMs)
{
    return int(qMax<qint64>(0, minutes - elapsedMs / kMinuteMs));
}

QString storedMediaPath(store::Recordset* cursor, const QString& column)
{
    if (!cursor || cursor->recordCount() == 0) return {};
    cursor->moveFirst();
    return cursor->text(column);
}

AlarmClock::AlarmClock(const AlarmWidgets& form, shell::AppContext& context,
                       std::unique_ptr<store::Recordset>& mediaCursor, QObject* parent)
    : QObject(parent), m_form(form), m_context(context), m_mediaCursor(mediaCursor),
      m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("lz"));
    // Typing 1 must give 1 minute, not the listed 120 that inline completion offers.
    m_form.Combolz->setCompleter(nullptr);
    connect(m_timer, &QTimer::timeout, this, [this] { m_context.guarded([this] { tick(); }); });
}

bool AlarmClock::counting() const
{
    return m_timer->isActive();
}

void AlarmClock::start()
{
    platform::Dialogs& dialogs = *m_context.services().dialogs;
    // A mistyped length refuses the start and leaves a running count-down alone.
    const std::optional<int> minutes = alarmMinutes(m_form.Combolz->currentText());
    if (!minutes) {
        dialogs.message(
            QStringLiteral("请在“设置定时”中输入1到%1之间的整数分钟数!").arg(kMaxAlarmMinutes),
            kResetTitle);
        return;
    }

    m_timer->stop();
    m_form.Text1->setText(QStringLiteral("0"));
    if (!m_mediaCursor || m_mediaCursor->recordCount() == 0) {
        showCountdown(false);
        dialogs.message(QStringLiteral("用于闹钟提醒的声音或视频文件没有设置!"), kResetTitle);
        return;
    }
    const QString path = storedMediaPath(m_mediaCursor.get(), kAlarmColumn);
    if (path.trimmed().isEmpty() || !QFileInfo(path).isFile()) {
        showCountdown(false);
        dialogs.message(QStringLiteral("用于闹钟提醒的声音或视频文件不存在!"), kResetTitle);
        return;
    }
    m_minutes = *minutes;
    m_form.Label21->setText(QString::number(m_minutes));
    showCountdown(true);
    m_timer->start(kMinuteMs);
}

void AlarmClock::tick()
{
    if (!m_timer->isActive()) return;
    const QString path = storedMediaPath(m_mediaCursor.get(), kAlarmColumn);
    if (const auto minutes = alarmMinutes(m_form.Combolz->currentText())) m_minutes = *minutes;
    const qint64 elapsed = m_form.Text1->text().toLongLong() + kMinuteMs;
    // Reaching or passing the length sounds: lowering it below the minutes
    // already counted must not leave the count-down running for ever.
    if (elapsed < qint64(m_minutes) * kMinuteMs) {
        m_form.Text1->setText(QString::number(elapsed));
        m_form.Label21->setText(QString::number(minutesLeft(m_minutes, elapsed)));
        return;
    }
    m_form.Label21->setText(QStringLiteral("0"));
    m_timer->stop();
    // A file gone since the start is reported by the player; the time is up all the same.
    m_context.services().alarmPlayer->play(path);
    if (platform::Notifier* notifier = m_context.services().notifier)
        notifier->notify(
            {kAlarmTitle, kTimeUp, platform::notificationIcon(m_context.appPath()), {}, true});
    m_context.services().dialogs->messageOnTop(kTimeUp, kAlarmTitle);
    showCountdown(false);
}

void AlarmClock::showCountdown(bool visible)
{
    m_form.Label20->setVisible(visible);
    m_form.Label21->setVisible(visible);
    m_form.Label19->setVisible(visible);
}

} // namespace reminders

#include "reminders/MediaCommands.h"

#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

namespace reminders {

namespace {

const QString kAskTitle = QStringLiteral("提醒");

} // namespace

MediaCommands::MediaCommands(shell::AppContext& context,
                             std::unique_ptr<store::Recordset>& mediaCursor, QObject* parent)
    : QObject(parent), m_context(context), m_mediaCursor(mediaCursor)
{
    for (platform::MediaPlayer* player :
         {m_context.services().mediaPlayer, m_context.services().alarmPlayer})
        if (player)
            connect(player, &platform::MediaPlayer::errorOccurred, this,
                    [this](const QString& text) {
                        m_context.services().dialogs->message(text, QStringLiteral("播放提醒"),
                                                              platform::Buttons::Ok,
                                                              platform::Icon::Warning);
                    });
}

void MediaCommands::reopenMediaCursor()
{
    m_mediaCursor = std::make_unique<store::Recordset>(QStringLiteral("select * from bjyy"),
                                                       m_context.dbConnection());
}

QString MediaCommands::choose(const Choice& choice)
{
    platform::Dialogs& dialogs = *m_context.services().dialogs;
    store::Recordset& cursor = *m_mediaCursor;
    const bool empty = cursor.recordCount() == 0;
    const QString stored = empty ? QString() : (cursor.moveFirst(), cursor.text(choice.column));
    if (!stored.trimmed().isEmpty() &&
        dialogs.message(choice.question, kAskTitle, platform::Buttons::OkCancel) !=
            platform::Answer::Ok)
        return stored;

    const QString path = dialogs.openFile(QString(), choice.filter);
    if (path.isEmpty()) return stored;
    try {
        if (empty)
            cursor.addNew();
        else
            cursor.moveFirst();
        cursor.collect(choice.column, path);
        cursor.update();
        m_context.dbConnection().commitSoFar();
    } catch (const store::StoreError& error) {
        cursor.cancelUpdate();
        m_context.dbConnection().rollbackSoFar();
        dialogs.message(QStringLiteral("无法保存所选的文件：") + m_context.failureText(error),
                        kAskTitle, platform::Buttons::Ok, platform::Icon::Warning);
        return stored;
    }
    return path;
}

void MediaCommands::chooseAlarmFile()
{
    reopenMediaCursor();
    choose({QStringLiteral("闹钟音乐"),
            QStringLiteral("已经设置了用于提醒的音乐或影片,是否另选其它欣赏媒体?"), kMediaFilter});
}

void MediaCommands::relax()
{
    reopenMediaCursor();
    const QString path = choose(
        {QStringLiteral("背景音乐"),
         QStringLiteral("已经设置了要欣赏的音乐或影片,是否另选其它欣赏媒体?"), kMediaFilter});
    if (!path.trimmed().isEmpty()) m_context.services().mediaPlayer->play(path);
}

void MediaCommands::openExternal()
{
    reopenMediaCursor();
    const QString path =
        choose({QStringLiteral("外部"),
                QStringLiteral("已经设置了要打开的文档或应用程序,是否选择其它文档或应用程序?"),
                kExternalFilter});
    if (path.trimmed().isEmpty()) return;
    const QString error = m_context.services().desktop->open(path);
    if (!error.isEmpty())
        m_context.services().dialogs->message(error, kAskTitle, platform::Buttons::Ok,
                                              platform::Icon::Warning);
}

} // namespace reminders

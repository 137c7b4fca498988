#include "reminders/Extensions.h"

#include "platform/Dialogs.h"
#include "platform/NotifyAtLogin.h"
#include "shell/AppContext.h"
#include "ui_rmd.h"

#include <QCoreApplication>

namespace reminders {

Extensions::Extensions(Ui::ReminderWindow& ui, shell::AppContext& context, QObject* parent)
    : QObject(parent), m_ui(ui), m_context(context)
{
    // The files may have been removed by hand since the last look.
    connect(m_ui.menuExtensions, &QMenu::aboutToShow, this, &Extensions::showState);
    connect(m_ui.actionNotifyAtLogin, &QAction::triggered, this, &Extensions::toggleNotifyAtLogin);
    showState();
}

void Extensions::showState()
{
    m_ui.actionNotifyAtLogin->setChecked(platform::NotifyAtLogin().enabled());
}

void Extensions::toggleNotifyAtLogin()
{
    platform::NotifyAtLogin files;
    const QString error =
        files.enabled() ? files.disable() : files.enable(QCoreApplication::applicationFilePath());
    showState();
    if (!error.isEmpty()) m_context.services().dialogs->message(error);
}

} // namespace reminders

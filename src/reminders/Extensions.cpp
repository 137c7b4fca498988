#include "reminders/Extensions.h"

#include "platform/Dialogs.h"
#include "platform/NotifyAtLogin.h"
#include "shell/AppContext.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace reminders {

Extensions::Extensions(const ExtensionWidgets& form, shell::AppContext& context, QObject* parent)
    : QObject(parent), m_form(form), m_context(context)
{
    // The files may have been removed by hand since the last look.
    connect(m_form.menuExtensions, &QMenu::aboutToShow, this, &Extensions::showState);
    connect(m_form.actionNotifyAtLogin, &QAction::triggered, this,
            &Extensions::toggleNotifyAtLogin);
    showState();
}

void Extensions::showState()
{
    m_form.actionNotifyAtLogin->setChecked(platform::NotifyAtLogin().enabled());
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

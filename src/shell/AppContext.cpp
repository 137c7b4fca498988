#include "shell/AppContext.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "shell/MainWindow.h"
#include "store/Backup.h"
#include "store/BookColumns.h"
#include "store/StoreError.h"

namespace shell {

AppContext::AppContext(store::BookFolders folders, platform::Services services,
                       std::function<void(int)> endProcess)
    : m_folders(std::move(folders)), m_services(services), m_endProcess(std::move(endProcess)),
      m_connection(std::make_unique<store::Connection>())
{
}

AppContext::AppContext(const QString& appPath, platform::Services services,
                       std::function<void(int)> endProcess)
    : AppContext(store::portableFolders(appPath), services, std::move(endProcess))
{
}

AppContext::~AppContext() = default;

void AppContext::showBackgroundPicture(const QString& path)
{
    if (!m_mainWindow) {
        m_createdMain = std::make_unique<MainWindow>(*this, nullptr);
        m_createdMain->show();
    }
    m_mainWindow->setPicture(path);
}

void AppContext::openDatabase()
{
    // Windows opened on the first connection keep working after the main
    // window's second call.
    if (connected()) return;
    // The same object, reopened: record sets hold on to it.
    m_connection->open(databasePath());
    try {
        store::addMissingColumns(*m_connection);
    } catch (const store::StoreError&) {
        m_connection->close(); // not half open: the next call tries again
        throw;
    }
}

void AppContext::backupBeforeDeleting(const QString& reason)
{
    try {
        store::backupBeforeDeleting(*m_connection, backupPath(), reason, m_services.clock->now());
    } catch (const store::StoreError& e) {
        m_services.dialogs->message(store::backupFailedText(e.message()), platform::kDefaultTitle,
                                    platform::Buttons::Ok, platform::Icon::Warning);
    }
}

void AppContext::exitApplication(int code)
{
    if (m_ended) return;
    m_ended = true;
    if (affairCursor) affairCursor->close();
    affairCursor.reset();
    sharedCursor.reset();
    m_connection->close();
    m_endProcess(code);
}

QString AppContext::failureText(const store::StoreError& error) const
{
    return error.fault() == store::Fault::Fatal ? error.message()
                                                : store::faultText(error.fault(), databasePath());
}

bool AppContext::guarded(const std::function<void()>& handler, OnRefusal onRefusal)
{
    if (m_ended) return false;
    store::CommandScope command(*m_connection);
    try {
        handler();
        command.commit();
        return true;
    } catch (const store::StoreError& e) {
        command.rollback();
        if (m_ended) return false;
        if (e.fault() != store::Fault::Fatal) {
            // The book refused for now: the boxes stay as they are.
            const bool end = onRefusal == OnRefusal::End;
            m_services.dialogs->message(store::faultText(e.fault(), databasePath()) +
                                            (end ? kCannotStartText : kNothingChangedText),
                                        kBookFaultTitle, platform::Buttons::Ok,
                                        platform::Icon::Warning);
            if (end) exitApplication(1);
            return false;
        }
        m_services.dialogs->message(e.message(), platform::kDefaultTitle, platform::Buttons::Ok,
                                    platform::Icon::Critical);
        exitApplication(1);
        return false;
    }
}

} // namespace shell

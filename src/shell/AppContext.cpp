#include "shell/AppContext.h"

#include "platform/Dialogs.h"
#include "store/BookColumns.h"
#include "store/StoreError.h"

#include <QDir>

namespace shell {

AppContext::AppContext(QString appPath, platform::Services services,
                       std::function<void(int)> endProcess)
    : m_appPath(std::move(appPath)), m_services(services), m_endProcess(std::move(endProcess)),
      m_connection(std::make_unique<store::Connection>())
{
}

AppContext::~AppContext() = default;

QString AppContext::databasePath() const
{
    return QDir(m_appPath).filePath(QStringLiteral("rmd.mdb"));
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

void AppContext::guarded(const std::function<void()>& handler)
{
    if (m_ended) return;
    try {
        handler();
    } catch (const store::StoreError& e) {
        m_services.dialogs->message(e.message(), platform::kDefaultTitle, platform::Buttons::Ok,
                                    platform::Icon::Critical);
        exitApplication(1);
    }
}

} // namespace shell

#pragma once

#include "platform/Services.h"
#include "shell/WindowLauncher.h"
#include "store/Connection.h"
#include "store/Recordset.h"

#include <QString>
#include <functional>
#include <memory>

namespace shell {

class MainWindow;

// The process-wide values every window shares: the one connection, the two
// shared cursor slots, the services, and how the process ends.
class AppContext {
public:
    AppContext(QString appPath, platform::Services services, std::function<void(int)> endProcess);
    ~AppContext();

    QString appPath() const { return m_appPath; }
    QString databasePath() const;
    const platform::Services& services() const { return m_services; }

    // Opens rmd.mdb of the application folder; keeps an open connection.
    void openDatabase(); // throws store::StoreError
    store::Connection& dbConnection() { return *m_connection; }
    bool connected() const { return m_connection->isOpen(); }

    std::unique_ptr<store::Recordset> sharedCursor;
    std::unique_ptr<store::Recordset> affairCursor;

    // Shows `path` as the background picture in the main window, which is
    // made and shown first when none is open.
    void showBackgroundPicture(const QString& path);
    // The main window while it exists.
    MainWindow* mainWindow() const { return m_mainWindow; }

    // Closes affairCursor and the connection, then ends the process.
    void exitApplication(int code = 0);
    bool ended() const { return m_ended; }

    // The other windows by name, filled by the program.
    WindowLauncher& windows() { return m_windows; }

    // Runs a handler; a store failure is shown with the engine's text and
    // ends the program, as nothing else can sensibly go on after it.
    void guarded(const std::function<void()>& handler);

private:
    friend class MainWindow; // registers itself while it exists

    QString m_appPath;
    platform::Services m_services;
    std::function<void(int)> m_endProcess;
    std::unique_ptr<store::Connection> m_connection; // one object for the whole run
    bool m_ended = false;
    // Last, so the windows it holds go before the connection they use.
    WindowLauncher m_windows;
    MainWindow* m_mainWindow = nullptr;
    std::unique_ptr<MainWindow> m_createdMain; // made for a picture when none was open
};

} // namespace shell

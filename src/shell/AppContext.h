#pragma once

#include "platform/Services.h"
#include "shell/WindowLauncher.h"
#include "store/BookFolders.h"
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
    AppContext(store::BookFolders folders, platform::Services services,
               std::function<void(int)> endProcess);
    // A portable application folder: everything in `appPath`.
    AppContext(const QString& appPath, platform::Services services,
               std::function<void(int)> endProcess);
    ~AppContext();

    // The running program's folder.
    QString appPath() const { return m_folders.program; }
    // The book's folder (rmd.mdb, wbwj/, backups/).
    QString dataPath() const { return m_folders.data; }
    // The read-only files: templates, help, default picture, recordings.
    QString resourcePath() const { return m_folders.resources; }
    QString databasePath() const { return m_folders.book(); }
    QString backupPath() const { return m_folders.backups(); }
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

    // A copy of the book before a command deletes rows; a failure is shown
    // and the command goes on.
    void backupBeforeDeleting(const QString& reason);

    // Runs a handler; a store failure is shown with the engine's text and
    // ends the program, as nothing else can sensibly go on after it.
    void guarded(const std::function<void()>& handler);

private:
    friend class MainWindow; // registers itself while it exists

    store::BookFolders m_folders;
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

#pragma once

#include "platform/Services.h"
#include "shell/WindowLauncher.h"
#include "store/BookFolders.h"
#include "store/Connection.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QString>
#include <functional>
#include <memory>

namespace shell {

class MainWindow;

inline const QString kBookFaultTitle = QStringLiteral("数据库文件无法使用");
inline const QString kCannotStartText =
    QStringLiteral("\n\nLumo 没有数据库就无法工作，现在退出；请稍后再启动。");
inline const QString kNothingChangedText =
    QStringLiteral("\n\n刚才的操作没有完成，数据库没有任何改动；窗口中输入的内容仍然保留。");

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

    // Set while a tray icon keeps the program: closing the main or the
    // reminder window then hides Lumo's windows instead of ending it.
    std::function<void()> closeToTray;

    // Closes affairCursor and the connection, then ends the process.
    void exitApplication(int code = 0);
    bool ended() const { return m_ended; }

    // The other windows by name, filled by the program.
    WindowLauncher& windows() { return m_windows; }

    // A copy of the book before a command deletes rows; a failure is shown
    // and the command goes on.
    void backupBeforeDeleting(const QString& reason);

    // Runs a window command as one transaction. When the book is busy,
    // full, write-protected or cannot be reached, the command's changes are
    // rolled back, the user is told in Chinese and the program goes on with
    // the boxes as they are (or, with End, as at start-up where nothing can
    // work without the book, the program ends); any other store failure is
    // shown with the engine's text and ends the program, as nothing can
    // sensibly go on. True when the handler ran to its end.
    enum class OnRefusal { GoOn, End };
    // A store failure in words for the user: the engine's text, or for a
    // book that refused, what happened and what to do.
    QString failureText(const store::StoreError& error) const;
    bool guarded(const std::function<void()>& handler, OnRefusal onRefusal = OnRefusal::GoOn);

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

#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace shell {

// The other windows of the program by name. The program fills the table, so
// a window can open another without linking against its library.
class WindowLauncher {
public:
    using Factory = std::function<QWidget*()>;

    WindowLauncher() = default;
    WindowLauncher(const WindowLauncher&) = delete;
    WindowLauncher& operator=(const WindowLauncher&) = delete;
    // Deletes the windows it created that are still loaded.
    ~WindowLauncher();

    // Makes `name` openable; a second call replaces the factory.
    void add(const QString& name, Factory factory);
    bool contains(const QString& name) const { return m_entries.contains(name); }
    QStringList names() const;

    // Shows the window not modal. A loaded window, even a hidden one, is shown
    // again and raised; otherwise a new one is made. A window closed by the
    // user is deleted, so the next call makes it afresh. Returns the window,
    // or nullptr for an unknown name or a factory that made none.
    QWidget* open(const QString& name);

    // The loaded window of that name, or nullptr.
    QWidget* loaded(const QString& name) const;

private:
    struct Entry {
        Factory factory;
        QPointer<QWidget> window;
    };
    QHash<QString, Entry> m_entries;
};

} // namespace shell

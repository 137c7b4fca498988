#include "shell/WindowLauncher.h"

#include <algorithm>

namespace shell {

WindowLauncher::~WindowLauncher()
{
    for (Entry& entry : m_entries)
        delete entry.window.data();
}

void WindowLauncher::add(const QString& name, Factory factory)
{
    m_entries[name].factory = std::move(factory);
}

QStringList WindowLauncher::names() const
{
    QStringList out = m_entries.keys();
    std::sort(out.begin(), out.end());
    return out;
}

QWidget* WindowLauncher::open(const QString& name)
{
    const auto it = m_entries.find(name);
    if (it == m_entries.end() || !it->factory) return nullptr;
    if (!it->window) {
        it->window = it->factory();
        if (!it->window) return nullptr;
        // A closed window is gone; only a hidden one stays loaded.
        it->window->setAttribute(Qt::WA_DeleteOnClose);
    }
    QWidget* window = it->window;
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QWidget* WindowLauncher::loaded(const QString& name) const
{
    const auto it = m_entries.constFind(name);
    return it == m_entries.cend() ? nullptr : it->window.data();
}

} // namespace shell

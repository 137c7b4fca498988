#pragma once

#include <QIcon>

namespace platform {

// Lumo's own icons, drawn for it and shipped inside the program, so a command looks
// the same on every desktop whatever its icon theme. `name` is a file of data/icons
// without ".svg"; an unknown name gives a null icon.
QIcon lumoIcon(const QString& name);

// The names of every icon shipped, the application's own ("lumo") among them.
QStringList lumoIconNames();

} // namespace platform

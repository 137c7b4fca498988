#pragma once

#include "platform/Services.h"
#include "setup/ComponentChecks.h"

#include <QString>
#include <functional>

namespace setup {

// Runs the component check of box n (1 to 5) and returns its report.
using ComponentCheck = std::function<CheckReport(int)>;

// What the set-up windows share. The set-up program opens no database.
struct SetupContext {
    QString appPath;      // the programs' folder
    QString dataPath;     // the book's folder
    QString resourcePath; // the recordings' folder
    platform::Services services;
    ComponentCheck check;
    std::function<void(int)> endProcess;
};

// The login dialog's "注册动态链接库": checks what the windows load at run
// time and shows the report in a message box.
void registerLibraries(platform::Dialogs& dialogs, const ComponentCheck& check);

} // namespace setup

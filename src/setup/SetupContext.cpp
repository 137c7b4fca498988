#include "setup/SetupContext.h"

#include "platform/Dialogs.h"

#include <QApplication>

namespace setup {

void registerLibraries(platform::Dialogs& dialogs, const ComponentCheck& check)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CheckReport report = check(5);
    QApplication::restoreOverrideCursor();
    dialogs.message(report.text(), QStringLiteral("注册动态链接库"), platform::Buttons::Ok,
                    report.ok() ? platform::Icon::Information : platform::Icon::Warning);
}

} // namespace setup

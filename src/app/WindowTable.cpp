#include "app/WindowTable.h"

#include "shell/AppContext.h"
#include "shell/ChangePasswordDialog.h"
#include "shell/VerifyPasswordDialog.h"

namespace app {

void registerWindows(shell::AppContext& context)
{
    shell::WindowLauncher& windows = context.windows();
    windows.add(QStringLiteral("yzmm"),
                [&context] { return new shell::VerifyPasswordDialog(context); });
}

} // namespace app

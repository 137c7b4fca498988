#include "app/WindowTable.h"

#include "books/BookConfig.h"
#include "books/CategoryBookWindow.h"
#include "shell/AppContext.h"
#include "shell/ChangePasswordDialog.h"
#include "shell/VerifyPasswordDialog.h"
#include "vocabulary/VocabularyWindow.h"

namespace app {

void registerWindows(shell::AppContext& context)
{
    shell::WindowLauncher& windows = context.windows();
    windows.add(QStringLiteral("yzmm"),
                [&context] { return new shell::VerifyPasswordDialog(context); });
    for (const books::BookConfig* book : {&books::documentBook(), &books::miscellanyBook()}) {
        windows.add(book->windowName,
                    [&context, book] { return new books::CategoryBookWindow(*book, context); });
    }
    windows.add(QStringLiteral("IQDW"),
                [&context] { return new vocabulary::VocabularyWindow(context); });
}

} // namespace app

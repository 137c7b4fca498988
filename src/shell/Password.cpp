#include "shell/Password.h"

#include <QLineEdit>

namespace shell {

void selectForRetry(QLineEdit* box)
{
    box->setFocus(Qt::OtherFocusReason);
    box->home(false);
    box->end(true);
}

} // namespace shell

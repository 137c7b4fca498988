#include "recordbook/ListStatus.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace recordbook {

QString listStatusText(int lines, bool filtered)
{
    if (!filtered) return QStringLiteral("共 %1 条").arg(lines);
    return lines == 0 ? QStringLiteral("没有找到") : QStringLiteral("找到 %1 条").arg(lines);
}

void showListStatus(QWidget& window, const QString& text)
{
    auto* line = window.findChild<QLabel*>(QStringLiteral("statusLine"));
    if (!line) {
        auto* main = qobject_cast<QMainWindow*>(&window);
        if (!main) return;
        line = new QLabel(main->statusBar());
        line->setObjectName(QStringLiteral("statusLine"));
        main->statusBar()->addWidget(line, 1);
    }
    line->setText(text);
}

} // namespace recordbook

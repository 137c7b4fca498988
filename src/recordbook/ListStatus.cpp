#include "recordbook/ListStatus.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace recordbook {

namespace {

QLabel* statusLineOf(QWidget& window)
{
    auto* line = window.findChild<QLabel*>(QStringLiteral("statusLine"));
    if (line) return line;
    auto* main = qobject_cast<QMainWindow*>(&window);
    if (!main) return nullptr;
    line = new QLabel(main->statusBar());
    line->setObjectName(QStringLiteral("statusLine"));
    main->statusBar()->addWidget(line, 1);
    return line;
}

} // namespace

QString listStatusText(int lines, bool filtered)
{
    if (!filtered) return QStringLiteral("共 %1 条").arg(lines);
    return lines == 0 ? QStringLiteral("没有找到") : QStringLiteral("找到 %1 条").arg(lines);
}

void reserveListStatus(QWidget& window)
{
    statusLineOf(window);
}

void showListStatus(QWidget& window, const QString& text)
{
    if (QLabel* line = statusLineOf(window)) line->setText(text);
}

} // namespace recordbook

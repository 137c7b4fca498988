#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QRegularExpression>

namespace platform {

namespace {

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// What closing the box without a button means: the most cautious answer offered.
Answer dismissed(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo:
        return Answer::No;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

// Our filters join several patterns with ';' and mean every file by "*.*"; Qt separates
// them by spaces, and its "*.*" would hide files without an extension.
QString qtPatterns(const QString& listed)
{
    QStringList out;
    for (QString p : listed.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p.isEmpty()) continue;
        out << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    }
    return out.join(QLatin1Char(' '));
}

// A box sized for a short text would leave the window manager room for only
// the first letter of its title; the title bar also holds an icon and three buttons.
void widenForTitle(QMessageBox& box, const QString& title)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const int width = box.fontMetrics().horizontalAdvance(title) * 5 / 4 + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtDialogs::messageOnTop(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.exec();
}

Answer QtDialogs::message(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    QMessageBox box(qtIcon(icon), title, text, qtButtons(buttons), QApplication::activeWindow());
    // User text such as "<b>" must show as typed.
    box.setTextFormat(Qt::PlainText);
    if (buttons == Buttons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    widenForTitle(box, title);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return dismissed(buttons);
    }
}

QString QtDialogs::openFile(const QString& title, const QString& filter, const QString& initialName)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, initialName,
                                        toQtFilter(filter));
}

QString QtDialogs::saveFile(const QString& title, const QString& filter, const QString& initialName)
{
    QFileDialog dialog(QApplication::activeWindow(), title, initialName, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without its extension gets the filter's first one.
    static const QRegularExpression extension(QStringLiteral("^\\*\\.(\\w+)"));
    const auto m = extension.match(filter.section(u'|', 1, 1).trimmed());
    if (m.hasMatch()) dialog.setDefaultSuffix(m.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString QtDialogs::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    // A description that already names its patterns, as "jpeg(*.jpg)", keeps its
    // text; Qt reads the patterns from the trailing parentheses.
    static const QRegularExpression trailing(QStringLiteral("^(.*)\\(([^()]*)\\)\\s*$"));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = qtPatterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        const auto m = trailing.match(description);
        if (m.hasMatch() && m.captured(2).trimmed() == patterns)
            entries << description;
        else if (m.hasMatch() && qtPatterns(m.captured(2)) == patterns)
            entries << m.captured(1) + QLatin1Char('(') + patterns + QLatin1Char(')');
        else if (description.isEmpty())
            entries << QLatin1Char('(') + patterns + QLatin1Char(')');
        else
            entries << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace platform

// Preloaded into the organiser while the tutorials are recorded (never part
// of the program): several times a second it writes where every named,
// visible widget is on the screen, so the recording script can click
// controls by their names however the windows are laid out.
//
// Output (file named by LUMO_WIDGET_MAP), one line per widget, tab-separated:
//   name  x  y  width  height  window-title  class  text
// Rows of item views appear as "view#n" with the row's text; "@window"
// lines give the windows' frames and "@focus" the focused control.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

namespace {

QString clean(QString text)
{
    text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    // The end of a long text tells the recorder when a report is complete.
    return text.size() <= 200 ? text : text.left(100) + text.right(100);
}

QString line(const QString& name, const QRect& rect, const QWidget* widget, const QString& text)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\n")
        .arg(name)
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(clean(widget->window()->windowTitle()), widget->metaObject()->className(),
             clean(text));
}

QString widgetText(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
    if (const auto* edit = qobject_cast<const QTextEdit*>(widget)) return edit->toPlainText();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return edit->toPlainText();
    return {};
}

void addRows(QString& out, const QAbstractItemView* view)
{
    const QWidget* port = view->viewport();
    const QRect visible = port->rect();
    QModelIndex index = view->indexAt(QPoint(2, 2));
    const auto* tree = qobject_cast<const QTreeView*>(view);
    for (int n = 0; index.isValid() && n < 60; ++n) {
        // A long line reaches far past the view: only its visible part can be clicked.
        const QRect rect = view->visualRect(index).intersected(visible);
        if (rect.isEmpty()) break;
        out += line(view->objectName() + u'#' + QString::number(n),
                    QRect(port->mapToGlobal(rect.topLeft()), rect.size()), view,
                    index.data().toString());
        index = tree ? tree->indexBelow(index) : index.sibling(index.row() + 1, 0);
    }
}

void writeMap()
{
    // The pre-routine runs before the application object is complete.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    const QString path = qEnvironmentVariable("LUMO_WIDGET_MAP");
    QString out;
    // The widget with the keyboard focus, and the control it belongs to
    // (a date picker's or combo box's inner box), as "@focus".
    if (QWidget* focus = QApplication::focusWidget()) {
        const QWidget* parent = focus->parentWidget();
        out += line(QStringLiteral("@focus"), QRect(), focus,
                    focus->objectName() + u' ' + (parent ? parent->objectName() : QString()));
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        out += line(QStringLiteral("@window"), top->frameGeometry(), top, top->windowTitle());
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || !widget->isVisible()) continue;
            QSize size = widget->size();
            // A check box only reacts on its box and text, not on the rest of its row.
            if (qobject_cast<const QCheckBox*>(widget))
                size.setWidth(qMin(size.width(), widget->sizeHint().width()));
            out += line(widget->objectName(), QRect(widget->mapToGlobal(QPoint(0, 0)), size),
                        widget, widgetText(widget));
            if (const auto* view = qobject_cast<const QAbstractItemView*>(widget))
                addRows(out, view);
        }
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(out.toUtf8());
        file.commit();
    }
}

void startMap()
{
    if (qEnvironmentVariableIsEmpty("LUMO_WIDGET_MAP")) return;
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, writeMap);
    timer->start(150);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startMap)

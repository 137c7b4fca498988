#pragma once

#include "recordbook/FieldBindings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

// What the window tests do to a window as a user would: find a control by
// its name, press a button, type into a box, click a line of List1. `Derived` holds the
// window in its member `w`, declared after the application folder, so the
// window goes first when a test ends.
template <class Derived, class DefaultControl = QWidget> struct WindowDriver {
    template <class T = DefaultControl> T* get(const QString& name) const
    {
        T* widget = static_cast<const Derived*>(this)->w->template findChild<T*>(name);
        if (!widget) qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void press(const QString& button) const
    {
        QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton);
    }
    // Typing as key events; QTest::keyClicks takes Latin-1 only.
    void type(const QString& name, const QString& text) const
    {
        QWidget* box = get<QWidget>(name);
        recordbook::setBoxText(box, QString());
        if (auto* combo = qobject_cast<QComboBox*>(box)) box = combo->lineEdit();
        if (!text.isEmpty()) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, {});
    }
    QListView* list() const { return get<QListView>("List1"); }
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            out << list()->model()->index(i, 0).data().toString();
        return out;
    }
    // A double-click as the platform delivers it: a whole click, then press and double-click.
    void clickLine(int n, bool twice = false) const
    {
        const QModelIndex index = list()->model()->index(n, 0);
        list()->scrollTo(index);
        const QPoint at = list()->visualRect(index).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }
    // -1 when nothing is selected, the row of an invalid index.
    int selected() const { return list()->selectionModel()->selectedIndexes().value(0).row(); }
};

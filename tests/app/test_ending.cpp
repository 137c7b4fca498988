// The organiser ends by leaving its event loops: main returns the code and no
// window's close handling runs, wherever the end was asked for.
#include "app/Ending.h"

#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QtTest>

namespace {

struct Window : QWidget {
    int closes = 0;
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        event->accept();
    }
};

} // namespace

class TestEnding : public QObject {
    Q_OBJECT
private slots:
    void endsWithoutClosing_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("in a handler") << "handler";
        QTest::newRow("under a message box") << "dialog";
        QTest::newRow("before the event loop runs") << "before";
    }

    void endsWithoutClosing()
    {
        QFETCH(QString, where);
        Window first, second;
        first.show();
        second.show();
        int released = 0;
        app::Ending ending([&released] { ++released; });
        QDialog box(&first);
        if (where == "before") ending(3);
        if (where == "handler") QTimer::singleShot(0, &first, [&ending] { ending(3); });
        if (where == "dialog") {
            QTimer::singleShot(0, &first, [&] {
                QTimer::singleShot(0, &box, [&ending] { ending(3); });
                box.exec();
                ending(4); // the handler goes on once the box is gone; ending stays as asked
            });
        }
        QTimer failsafe;
        QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        failsafe.start(5000);
        QCOMPARE(ending.runEventLoop(), 3);
        QCOMPARE(QList({first.closes, second.closes, released}), QList({0, 0, 1}));
    }
};

QTEST_MAIN(TestEnding)
#include "test_ending.moc"

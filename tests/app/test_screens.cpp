// Every window opens inside the screen's room, with each button inside the window
// (or, on a screen too small for the layout, inside the area that scrolls).
// ctest runs this once per screen size and scale factor.
#include "TestApp.h"
#include "books/BookConfig.h"
#include "books/CategoryBookWindow.h"
#include "platform/ScreenFit.h"
#include "reminders/ReminderWindow.h"
#include "setup/InstallWindow.h"
#include "setup/SetupContext.h"
#include "setup/SetupWizard.h"
#include "setup/TutorialWindow.h"
#include "shell/ChangePasswordDialog.h"
#include "shell/LoginDialog.h"
#include "shell/MainWindow.h"
#include "shell/VerifyPasswordDialog.h"
#include "vocabulary/VocabularyWindow.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

namespace {

constexpr int kPanel = 48;

std::unique_ptr<QWidget> makeWindow(const QString& name, TestApp& app, setup::SetupContext& setup)
{
    shell::AppContext& c = app.context();
    const std::map<QString, std::function<QWidget*()>> windows{
        {"rmd", [&] { return new reminders::ReminderWindow(c); }},
        {"IQDW", [&] { return new vocabulary::VocabularyWindow(c); }},
        {"yycxlb", [&] { return new books::CategoryBookWindow(books::documentBook(), c); }},
        {"qqzxcx", [&] { return new books::CategoryBookWindow(books::miscellanyBook(), c); }},
        {"main", [&] { return new shell::MainWindow(c, {}); }},
        {"login", [&] { return new shell::LoginDialog(c, {}); }},
        {"yzmm", [&] { return new shell::VerifyPasswordDialog(c); }},
        {"xgmm", [&] { return new shell::ChangePasswordDialog(c); }},
        {"azcsh", [&] { return new setup::SetupWizard(setup); }},
        {"install", [&] { return new setup::InstallWindow(setup); }},
        {"tutorial", [&] { return new setup::TutorialWindow(setup); }},
    };
    return std::unique_ptr<QWidget>(windows.at(name)());
}

// Where a button must lie to be reachable: the window, or the scrolled content it sits in.
QWidget* reachArea(QWidget* button, QWidget* window)
{
    for (QWidget* w = button->parentWidget(); w && w != window; w = w->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(w->parentWidget());
            scroll && w == scroll->viewport())
            return scroll->widget();
    }
    return window;
}

} // namespace

class TestScreens : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { platform::reserveScreenBottom(kPanel); }

    void windowFits_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* name : {"rmd", "IQDW", "yycxlb", "qqzxcx", "main", "login", "yzmm", "xgmm",
                                 "azcsh", "install", "tutorial"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void windowFits()
    {
        QFETCH(QString, window);
        TestApp app;
        app.context().openDatabase();
        setup::SetupContext setup;
        setup.appPath = app.path();
        setup.services = app.context().services();
        setup.check = [](int) { return setup::CheckReport{}; };
        setup.endProcess = [](int) {};
        const std::unique_ptr<QWidget> w = makeWindow(window, app, setup);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));

        const QRect screen = w->screen()->geometry();
        const QRect room = screen.adjusted(0, 0, 0, -kPanel);
        QVERIFY2(room.contains(w->frameGeometry()),
                 qPrintable(QStringLiteral("frame %1,%2 %3x%4 on %5x%6")
                                .arg(w->frameGeometry().x())
                                .arg(w->frameGeometry().y())
                                .arg(w->frameGeometry().width())
                                .arg(w->frameGeometry().height())
                                .arg(screen.width())
                                .arg(screen.height())));
        // From 1280×720 up nothing scrolls: the layout fits as it is.
        const bool roomy = screen.width() >= 1280 && screen.height() >= 720;
        QVERIFY(!roomy || !w->findChild<QScrollArea*>("contentScroll"));
        for (QAbstractButton* button : w->findChildren<QAbstractButton*>()) {
            if (!button->isVisibleTo(w.get()) || qobject_cast<QTabBar*>(button->parentWidget()))
                continue;
            QWidget* area = reachArea(button, w.get());
            const QRect at(button->mapTo(area, QPoint()), button->size());
            QVERIFY2(area->rect().contains(at),
                     qPrintable(button->objectName() + " " + button->text()));
        }
    }
};

QTEST_MAIN(TestScreens)
#include "test_screens.moc"

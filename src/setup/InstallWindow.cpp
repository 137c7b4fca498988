#include "setup/InstallWindow.h"

#include "ui_InstallWindow.h"

#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QScrollBar>
#include <array>

namespace setup {

InstallWindow::InstallWindow(SetupContext& context, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::InstallWindow>()), m_context(context)
{
    ui->setupUi(this);
    const std::array boxes{ui->Check1, ui->Check2, ui->Check3, ui->Check4};
    const std::array buttons{ui->Command2, ui->Command3, ui->Command4, ui->Command5};
    for (int i = 0; i < 4; ++i) {
        connect(buttons[i], &QPushButton::clicked, this,
                [this, i] { openComponent(Component(i + 1)); });
        connect(boxes[i], &QCheckBox::toggled, this,
                [this, box = boxes[i], button = buttons[i]](bool checked) {
                    ticked(box, checked, [button] { button->click(); });
                });
    }
    connect(ui->Check5, &QCheckBox::toggled, this,
            [this](bool checked) { ticked(ui->Check5, checked, [this] { registerLibraries(); }); });
    connect(ui->Command1, &QPushButton::clicked, this, &QWidget::close);
    platform::fitToScreen(*this);
}

InstallWindow::~InstallWindow() = default;

void InstallWindow::ticked(QCheckBox* box, bool checked, const std::function<void()>& action)
{
    if (!checked) return;
    action();
    box->setEnabled(false);
}

void InstallWindow::openComponent(Component component)
{
    if (component != Component::MainProgram) {
        runCheck(int(component));
        return;
    }
    const QString error =
        m_context.services.desktop->open(QDir(m_context.appPath).filePath(QStringLiteral("rmd")));
    if (!error.isEmpty())
        m_context.services.dialogs->message(error, windowTitle(), platform::Buttons::Ok,
                                            platform::Icon::Warning);
}

void InstallWindow::registerLibraries()
{
    runCheck(5);
}

void InstallWindow::runCheck(int n)
{
    static const QStringList titles{QStringLiteral("1.数据库引擎"), QStringLiteral("2.语音引擎-1"),
                                    QStringLiteral("3.语音引擎-2"), QStringLiteral("4.语音引擎-3"),
                                    QStringLiteral("5.注册动态链接库")};
    const QString earlier = ui->reportText->toPlainText();
    const QString gap = earlier.isEmpty() ? QString() : QStringLiteral("\n\n");
    auto show = [this](const QString& text) {
        ui->reportText->setPlainText(text);
        ui->reportText->verticalScrollBar()->setValue(
            ui->reportText->verticalScrollBar()->maximum());
        ui->reportText->repaint();
    };
    show(earlier + gap + QStringLiteral("正在检查") + titles.value(n - 1) + QStringLiteral("……"));

    // A check may take seconds (starting the speech service, loading media);
    // the window must not be closed under it.
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CheckReport report = m_context.check(n);
    QApplication::restoreOverrideCursor();
    m_busy = false;

    show(earlier + gap + report.text());
    if (m_closeWanted) close();
}

void InstallWindow::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        m_closeWanted = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    openComponent(Component::MainProgram);
}

} // namespace setup

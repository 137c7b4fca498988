#include "setup/TutorialWindow.h"

#include "ui_TutorialWindow.h"

#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/ScreenFit.h"

#include <QDir>
#include <QFileInfo>
#include <array>

namespace setup {

TutorialWindow::TutorialWindow(SetupContext& context, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TutorialWindow>()), m_context(context)
{
    ui->setupUi(this);
    const std::array texts{ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text6};
    const std::array buttons{ui->Command1, ui->Command2, ui->Command3,
                             ui->Command4, ui->Command5, ui->Command6};
    const std::array<QString, 6> topics{
        QStringLiteral(
            "1、安装初始化：一般只执行一次或者本软件系统无法运行时执行，必须安装完一项后，"
            "再顺序执行下一项。"),
        QStringLiteral("2、如何增加一条事务提醒信息：每年农村老家父亲生日，要求生日前一天提醒，"
                       "比如生日为8月23日。"),
        QStringLiteral("3、如何增加一条会议提醒信息：2004年5月21日开会，要求2004年5月20日提醒，"
                       "或者在2004.5.19-2004.5.22期间提醒。"),
        QStringLiteral(
            "4、如何查找事务提醒信息：在查找框中输入人名，查找出所有含有该人名的提醒信息，"
            "可以精确查找，也可以模糊查找。"),
        QStringLiteral("5、如何学习英语：查找含有boo或者中文意义为物理的单词，并且朗读出来"),
        QStringLiteral(
            "6、如何添加一条杂事信息：例如flash课件制作计划，随时察看、修改自己的制作情况"),
    };
    for (int i = 0; i < 6; ++i) {
        texts[i]->setPlainText(topics[i]);
        connect(buttons[i], &QPushButton::clicked, this, [this, i] { runTutorial(i + 1); });
    }
    connect(ui->Command7, &QPushButton::clicked, this, [this] {
        close();
        m_context.endProcess(0);
    });
    connect(m_context.services.mediaPlayer, &platform::MediaPlayer::errorOccurred, this,
            &TutorialWindow::reportError);
    platform::fitToScreen(*this);
}

TutorialWindow::~TutorialWindow() = default;

QString TutorialWindow::tutorialPath(const QString& resourcePath, int n)
{
    return QDir(resourcePath).filePath(QStringLiteral("shlx/lx%1.webm").arg(n));
}

void TutorialWindow::runTutorial(int n)
{
    const QString path = tutorialPath(m_context.resourcePath, n);
    if (!QFileInfo(path).isFile()) {
        reportError(QStringLiteral("找不到第 %1 个录像文件：\n%2\n\n这段录像还没有安装，"
                                   "其他录像和本软件的功能不受影响。")
                        .arg(n)
                        .arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_context.services.mediaPlayer->playFullScreen(path);
}

void TutorialWindow::reportError(const QString& message)
{
    m_context.services.dialogs->message(message, windowTitle(), platform::Buttons::Ok,
                                        platform::Icon::Warning);
}

} // namespace setup

#include "shell/MainWindow.h"

#include "ui_MainWindow.h"

#include "platform/Pictures.h"
#include "platform/ScreenFit.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

namespace shell {

namespace {

const QString kNoPictureChosen = QStringLiteral("1123");
const QString kDefaultPictureName = QStringLiteral("油画-鹿鹤同春.jpg");

} // namespace

MainWindow::MainWindow(AppContext& context, std::function<QWidget*()> reminderWindowFactory,
                       QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::MainWindow>()), m_context(context),
      m_reminderWindowFactory(std::move(reminderWindowFactory))
{
    ui->setupUi(this);
    platform::fitToScreen(*this);
    m_context.m_mainWindow = this;
    m_startTimer.setParent(this); // found by name, so a check needs no waiting
    m_startTimer.setObjectName(QStringLiteral("startTimer"));
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(1000);
    connect(&m_startTimer, &QTimer::timeout, this, &MainWindow::openReminderWindow);
    m_context.guarded([this] { m_context.openDatabase(); }, AppContext::OnRefusal::End);
    if (!m_context.ended()) m_startTimer.start();
}

MainWindow::~MainWindow()
{
    if (m_context.m_mainWindow == this) m_context.m_mainWindow = nullptr;
    delete m_reminderWindow.data();
}

void MainWindow::setPicture(const QString& path)
{
    // A file that cannot be shown leaves the picture as it was.
    if (path.isEmpty())
        clearPicture();
    else
        showFile(path);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ui->picture->setGeometry(rect());
    if (!m_context.connected()) return;
    // A book that cannot be read now keeps the last picture: a resize is no
    // time to wait for it or to speak of it.
    store::Connection& db = m_context.dbConnection();
    db.setBusyTimeout(0);
    m_context.guarded([this] {
        try {
            showStoredPicture();
        } catch (const store::StoreError&) {
        }
    });
    db.setBusyTimeout(store::kBusyTimeout);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_context.closeToTray) {
        event->ignore();
        m_context.closeToTray();
        return;
    }
    m_startTimer.stop();
    event->accept();
    m_context.exitApplication(0);
}

void MainWindow::showStoredPicture()
{
    const QString name = storedPictureName();
    if (name != kNoPictureChosen && !name.isEmpty() && showFile(name)) return;
    if (showFile(QDir(m_context.resourcePath()).filePath(kDefaultPictureName))) return;
    clearPicture();
}

QString MainWindow::storedPictureName()
{
    store::Recordset tp(QStringLiteral("select * from tp"), m_context.dbConnection());
    // A lost row or a null name is read as "nothing chosen yet".
    const QString name = tp.eof() || tp.field(QStringLiteral("图片名称")).isNull()
                             ? kNoPictureChosen
                             : tp.text(QStringLiteral("图片名称"));
    tp.close();
    return name;
}

bool MainWindow::showFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    const FileStamp stamp{info.absoluteFilePath(), info.lastModified(), info.size()};
    if (stamp == m_picture) return true;
    if (stamp == m_refused) return false;
    // Read no larger than the screen the window can fill.
    QImage image = platform::readPicture(path, screen() ? screen()->size() : size());
    if (image.isNull()) {
        m_refused = stamp;
        return false;
    }
    ui->picture->setPixmap(QPixmap::fromImage(std::move(image)));
    m_picture = stamp;
    return true;
}

void MainWindow::clearPicture()
{
    ui->picture->clear();
    m_picture = {};
}

void MainWindow::openReminderWindow()
{
    if (m_context.ended() || !m_reminderWindowFactory) return;
    m_context.guarded([this] {
        m_reminderWindow = m_reminderWindowFactory();
        if (m_reminderWindow) m_reminderWindow->show();
    });
}

} // namespace shell

#pragma once

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}

namespace shell {

class AppContext;

// main: the backdrop of the running program, filled with the background
// picture. One second after it is created it opens the reminder window;
// closing it ends the program.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(AppContext& context, std::function<QWidget*()> reminderWindowFactory,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // For the background command: shows the picture at once (no picture for
    // an empty path or a file that cannot be shown). The next resize shows
    // whatever tp holds by then.
    void setPicture(const QString& path);

    // The file whose picture is shown, empty when none is.
    QString picturePath() const { return m_picture.path; }

    QWidget* reminderWindow() const { return m_reminderWindow; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A decoded picture and the file state it came from, so that resizing
    // only rescales and a file replaced on disk is read again.
    struct FileStamp {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        bool operator==(const FileStamp&) const = default;
    };

    void showStoredPicture();
    QString storedPictureName();
    bool showFile(const QString& path);
    void clearPicture();
    void openReminderWindow();

    std::unique_ptr<Ui::MainWindow> ui;
    AppContext& m_context;
    std::function<QWidget*()> m_reminderWindowFactory;
    QPointer<QWidget> m_reminderWindow;
    QTimer m_startTimer;
    FileStamp m_picture;
    FileStamp m_refused; // the last file that could not be decoded
};

} // namespace shell

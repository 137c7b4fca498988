#pragma once

#include <QMainWindow>
#include <memory>

class QTimer;

namespace shell {
class AppContext;
}
namespace store {
class Recordset;
}

namespace reminders {

// Said when the book refuses to keep the due list at start; the list is shown anyway.
inline const QString kDueListNotStoredText =
    QStringLiteral("今天到期的要事已经列出，但没能把这份清单保存到数据库中。\n\n");

namespace Ui {
class ReminderWindow;
}
class AffairEditor;
class AffairSearch;
class Housekeeping;
class AlarmClock;
class MediaCommands;
class ListPrinting;
class Extensions;

// The reminder window rmd: the book of affairs with its editor, list and
// searches. Loading it evaluates what is due today.
class ReminderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ReminderWindow(shell::AppContext& context, QWidget* parent = nullptr);
    ~ReminderWindow() override;

    // The exact text of affairBox (the widget shows a copy).
    QString rawAffairText() const;
    void setRawAffairText(const QString& text);

    AffairEditor& editor() const { return *m_editor; }
    AffairSearch& search() const { return *m_search; }
    Housekeeping& housekeeping() const { return *m_housekeeping; }
    AlarmClock& alarmClock() const { return *m_alarm; }
    MediaCommands& media() const { return *m_media; }
    ListPrinting& printing() const { return *m_printing; }
    Extensions& extensions() const { return *m_extensions; }
    // Open on "select * from bjyy" for as long as the window lives.
    store::Recordset* mediaCursor() const { return m_mediaCursor.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void load();
    void updateClock();
    void setUpIcons();
    void connectCommands();
    void connectPictureItems();
    void setUpKeys();

    shell::AppContext& m_context;
    std::unique_ptr<Ui::ReminderWindow> m_ui;
    std::unique_ptr<store::Recordset> m_mediaCursor;
    AffairEditor* m_editor = nullptr;
    AffairSearch* m_search = nullptr;
    Housekeeping* m_housekeeping = nullptr;
    AlarmClock* m_alarm = nullptr;
    MediaCommands* m_media = nullptr;
    ListPrinting* m_printing = nullptr;
    Extensions* m_extensions = nullptr;
    QTimer* m_clockTimer = nullptr;
};

} // namespace reminders

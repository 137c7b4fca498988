#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace shell {
class AppContext;
}
namespace store {
class Recordset;
}

namespace reminders {

// The widgets of the form the alarm clock works on.
struct AlarmWidgets {
    QComboBox* Combolz;                  // the minutes
    QLineEdit* Text1;                    // the milliseconds counted
    QLabel *Label19, *Label20, *Label21; // the count-down, Label21 the minutes left
};

// The minutes typed into Combolz: the whole number from 1 to kMaxAlarmMinutes
// at the start of the text after blanks; what follows it is ignored. Text
// that starts with no digit, or reads 0, is no count-down length.
inline constexpr int kMaxAlarmMinutes = 99999;
std::optional<int> alarmMinutes(const QString& text);

// Minutes left to show after `elapsedMs` of a count-down of `minutes`.
int minutesLeft(int minutes, qint64 elapsedMs);

// The first row of bjyy, read through the window's media cursor. A Null
// path reads as empty.
QString storedMediaPath(store::Recordset* cursor, const QString& column);

// The small alarm clock: Image1 starts a count-down of the minutes in
// Combolz, the timer lz ticks once a minute, and when the time is up the
// alarm file plays and "时间到!" is shown.
class AlarmClock : public QObject {
    Q_OBJECT
public:
    AlarmClock(const AlarmWidgets& form, shell::AppContext& context,
               std::unique_ptr<store::Recordset>& mediaCursor, QObject* parent = nullptr);

    void start();
    bool counting() const;
    QTimer* timer() const { return m_timer; }

private:
    void tick();
    void showCountdown(bool visible);

    AlarmWidgets m_form;
    shell::AppContext& m_context;
    std::unique_ptr<store::Recordset>& m_mediaCursor;
    QTimer* m_timer;
    // Kept while the user retypes Combolz and it reads as no number.
    int m_minutes = 0;
};

} // namespace reminders

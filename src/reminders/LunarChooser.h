#pragma once

#include <QFrame>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace reminders {

// The picker beside a lunar schedule box: a button that opens a small
// chooser of lunar month and day (农历每年时间, with the festivals) or of
// lunar day alone (农历每月时间); the choice is written into the box.
class LunarChooser : public QFrame {
    Q_OBJECT
public:
    enum class Kind { Yearly, Monthly };
    // Opens when `picker` is clicked; writes into `box`.
    LunarChooser(Kind kind, QPushButton* picker, QLineEdit* box);

    // The lunar year whose months are offered first (its leap month too).
    void setYear(int lunarYear);
    void open();

private:
    void fillMonths();
    void write(const QString& text);

    Kind m_kind;
    QPushButton* m_picker;
    QLineEdit* m_box;
    QSpinBox* m_year = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_day = nullptr;
};

} // namespace reminders

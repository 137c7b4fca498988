#include "reminders/LunarChooser.h"

#include "lunar/LunarCalendar.h"
#include "lunar/LunarSchedule.h"
#include "lunar/LunarWords.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace reminders {

namespace {

// A month's item data: its number, plus 100 for a leap month.
constexpr int kLeapOffset = 100;

QString yearlyValue(int month, bool leap, int day)
{
    return (leap ? QStringLiteral("闰") : QString()) + QStringLiteral("%1-%2").arg(month).arg(day);
}

} // namespace

LunarChooser::LunarChooser(Kind kind, QPushButton* picker, QLineEdit* box)
    : QFrame(picker, Qt::Popup), m_kind(kind), m_picker(picker), m_box(box)
{
    setObjectName(QStringLiteral("lunarChooser"));
    setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(this);
    m_day = new QComboBox(this);
    m_day->setObjectName(QStringLiteral("lunarDay"));
    for (int day = 1; day <= 30; ++day)
        m_day->addItem(lunar::dayName(day), day);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("lunarOk"));

    if (kind == Kind::Monthly) {
        grid->addWidget(new QLabel(QStringLiteral("每月农历"), this), 0, 0);
        grid->addWidget(m_day, 0, 1);
        grid->addWidget(ok, 0, 2);
        connect(ok, &QPushButton::clicked, this,
                [this] { write(QString::number(m_day->currentData().toInt())); });
    } else {
        m_year = new QSpinBox(this);
        m_year->setObjectName(QStringLiteral("lunarYear"));
        m_year->setRange(lunar::kFirstDay.year(), lunar::kLastDay.year());
        m_year->setSuffix(QStringLiteral("年"));
        m_year->setToolTip(QStringLiteral("闰月只在有闰月的年份列出"));
        m_month = new QComboBox(this);
        m_month->setObjectName(QStringLiteral("lunarMonth"));
        grid->addWidget(m_year, 0, 0);
        grid->addWidget(m_month, 0, 1);
        grid->addWidget(m_day, 0, 2);
        grid->addWidget(ok, 0, 3);
        connect(m_year, &QSpinBox::valueChanged, this, [this] { fillMonths(); });
        connect(ok, &QPushButton::clicked, this, [this] {
            const int month = m_month->currentData().toInt();
            write(yearlyValue(month % kLeapOffset, month > kLeapOffset,
                              m_day->currentData().toInt()));
        });
        auto* festivals = new QGridLayout;
        int at = 0;
        for (const lunar::Festival& festival : lunar::kFestivals) {
            auto* button = new QPushButton(QString::fromUtf16(festival.name), this);
            button->setToolTip(lunar::monthName(festival.month) + lunar::dayName(festival.day));
            festivals->addWidget(button, at / 5, at % 5);
            ++at;
            connect(button, &QPushButton::clicked, this,
                    [this, festival] { write(yearlyValue(festival.month, false, festival.day)); });
        }
        grid->addLayout(festivals, 1, 0, 1, 4);
        fillMonths();
    }
    connect(picker, &QPushButton::clicked, this, &LunarChooser::open);
}

void LunarChooser::setYear(int lunarYear)
{
    if (m_year) m_year->setValue(lunarYear);
}

void LunarChooser::fillMonths()
{
    const int chosen = m_month->currentData().toInt();
    const QSignalBlocker blocker(m_month);
    m_month->clear();
    const int leap = lunar::leapMonth(m_year->value());
    for (int month = 1; month <= 12; ++month) {
        m_month->addItem(lunar::monthName(month), month);
        if (month == leap) m_month->addItem(lunar::monthName(month, true), month + kLeapOffset);
    }
    m_month->setCurrentIndex(std::max(0, m_month->findData(chosen)));
}

void LunarChooser::open()
{
    // Starts from what the box holds, when it holds a lunar date.
    if (m_kind == Kind::Monthly) {
        if (const std::optional<int> day = lunar::readMonthly(m_box->text()))
            m_day->setCurrentIndex(*day - 1);
    } else if (const std::optional<lunar::YearlyDate> date = lunar::readYearly(m_box->text())) {
        if (date->leap && lunar::leapMonth(m_year->value()) != date->month) {
            // Offer a year that has this leap month, the nearest one after.
            for (int year = m_year->value(); year <= lunar::kLastDay.year(); ++year)
                if (lunar::leapMonth(year) == date->month) {
                    m_year->setValue(year);
                    break;
                }
        }
        const int index = m_month->findData(date->month + (date->leap ? kLeapOffset : 0));
        m_month->setCurrentIndex(std::max(0, index));
        m_day->setCurrentIndex(date->day - 1);
    }
    move(m_picker->mapToGlobal(QPoint(0, m_picker->height())));
    show();
}

void LunarChooser::write(const QString& text)
{
    m_box->setText(text);
    hide();
}

} // namespace reminders

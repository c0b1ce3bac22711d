#include "core/widgets/SolarDateEdit.h"

#include "calendar/DateProc.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kWeeks = 6;
constexpr int kDaysPerWeek = 7;
constexpr int kFridayColumn = 6;

// Parses a run of ASCII digits; false on anything else or on overflow of a small date part.
bool ReadNumber(const QString& text, int& value)
{
    if (text.isEmpty() || text.size() > 6)
        return false;
    value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return true;
}

const char* kCellStyle =
    "QPushButton { border: 1px solid transparent; border-radius: 4px; background: transparent;"
    "  padding: 0px; min-width: 30px; min-height: 26px; }"
    "QPushButton:hover { background: #e3f2fd; border-color: #90caf9; }"
    "QPushButton[friday=\"true\"] { color: #c62828; }"
    "QPushButton[today=\"true\"] { border: 1px solid #1565c0; font-weight: bold; }"
    "QPushButton[selected=\"true\"] { background: #1565c0; color: white; font-weight: bold; }"
    "QPushButton:disabled { color: transparent; }";

// A small calendar sheet for the drop-down button, drawn so that no image file is needed.
QIcon CalendarIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const double u = side / 16.0;
        const QRectF sheet(1.5 * u, 2.5 * u, 13 * u, 12 * u);
        p.setPen(QPen(QColor(0x15, 0x65, 0xc0), 1.2 * u));
        p.setBrush(Qt::white);
        p.drawRoundedRect(sheet, 1.5 * u, 1.5 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x15, 0x65, 0xc0));
        p.drawRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 3 * u));
        p.setBrush(QColor(0x37, 0x47, 0x4f));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.drawRect(QRectF(3.2 * u + col * 2.6 * u, 7 * u + row * 2.4 * u, 1.6 * u, 1.4 * u));
        p.setBrush(QColor(0xc6, 0x28, 0x28));
        p.drawRect(QRectF(3.2 * u + 3 * 2.6 * u, 7 * u + 2 * 2.4 * u, 1.6 * u, 1.4 * u));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace

int SolarMonthLength(int year, int month)
{
    if (month >= 1 && month <= 6)
        return 31;
    if (month >= 7 && month <= 11)
        return 30;
    // Esfand: ask the validator, so that the calendar and the date boxes agree on leap years.
    return DateProc::IsValidSolarDate(SolarDateText(year, 12, 30)) ? 30 : 29;
}

SolarMonthGrid SolarMonthLayout(int year, int month)
{
    SolarMonthGrid grid;
    grid.year = year;
    grid.month = month;
    grid.firstColumn = DateProc::SolarWeekdayIndex(year, month, 1);
    grid.dayCount = SolarMonthLength(year, month);
    return grid;
}

void StepSolarMonth(int& year, int& month, int delta)
{
    int index = year * 12 + (month - 1) + delta;
    year = index / 12;
    month = index % 12 + 1;
}

QString SolarDateText(int year, int month, int day)
{
    return QStringLiteral("%1/%2/%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

bool SplitSolarDate(const QString& text, int& year, int& month, int& day)
{
    if (!DateProc::IsValidSolarDate(text))
        return false;
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return false;
    int y = 0, m = 0, d = 0;
    if (!ReadNumber(parts[0], y) || !ReadNumber(parts[1], m) || !ReadNumber(parts[2], d))
        return false;
    // The calendar shows four-digit years; a two-digit year is tidied into one before it gets here.
    if (y < 100)
        return false;
    year = y;
    month = m;
    day = d;
    return true;
}

QString TidySolarDateText(const QString& typed)
{
    if (typed.isEmpty())
        return typed;
    try {
        const QString tidy = DateProc::NormaliseSolarDate(typed);
        // Only a tidy form that is a real date replaces what was typed: "//" or a half-read date
        // would throw the operator's input away without telling what was wrong with it.
        if (DateProc::IsValidSolarDate(tidy))
            return tidy;
    } catch (const std::exception&) {
        // A part that is not a number: keep the typed text for the operator to correct.
    }
    return typed;
}

QStringList SolarWeekdayShortNames()
{
    QStringList names;
    for (const QString& name : DateProc::SolarWeekdayNames)
        names.append(name.left(1));
    return names;
}

// ---------------------------------------------------------------------------------------------

TSolarCalendarPopup::TSolarCalendarPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("pnlCalendar"));
    setLayoutDirection(Qt::RightToLeft);
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_WindowPropagation);
    setStyleSheet(QStringLiteral(
        "#pnlCalendar { background: white; border: 1px solid #90a4ae; }"
        "#pnlCalendarHeader { background: #1565c0; border-radius: 3px; }"
        "#lblMonthTitle { color: white; font-weight: bold; padding: 4px; }"
        "#pnlCalendarHeader QToolButton { color: white; border: none; background: transparent;"
        "  font-weight: bold; min-width: 26px; min-height: 24px; }"
        "#pnlCalendarHeader QToolButton:hover { background: #1e88e5; border-radius: 3px; }"
        "QLabel[weekday=\"true\"] { color: #546e7a; font-weight: bold; padding: 2px; }"
        "QLabel[weekday=\"true\"][friday=\"true\"] { color: #c62828; }"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(4);

    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("pnlCalendarHeader"));
    header->setAttribute(Qt::WA_StyledBackground);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(2, 2, 2, 2);
    // In a right-to-left calendar the earlier month lies to the right.
    m_prev = new QToolButton(header);
    m_prev->setObjectName(QStringLiteral("btnPrevMonth"));
    m_prev->setText(QStringLiteral("\u25B6"));
    m_prev->setAutoRepeat(true);
    m_title = new QLabel(header);
    m_title->setObjectName(QStringLiteral("lblMonthTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_next = new QToolButton(header);
    m_next->setObjectName(QStringLiteral("btnNextMonth"));
    m_next->setText(QStringLiteral("\u25C0"));
    m_next->setAutoRepeat(true);
    headerRow->addWidget(m_prev);
    headerRow->addWidget(m_title, 1);
    headerRow->addWidget(m_next);
    outer->addWidget(header);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const QStringList shortNames = SolarWeekdayShortNames();
    for (int col = 0; col < kDaysPerWeek; ++col) {
        auto* heading = new QLabel(shortNames.value(col), this);
        heading->setObjectName(QStringLiteral("lblWeekday%1").arg(col));
        heading->setToolTip(DateProc::SolarWeekdayNames.value(col));
        heading->setAlignment(Qt::AlignCenter);
        heading->setProperty("weekday", true);
        heading->setProperty("friday", col == kFridayColumn);
        grid->addWidget(heading, 0, col);
    }
    for (int i = 0; i < kWeeks * kDaysPerWeek; ++i) {
        auto* cell = new QPushButton(this);
        cell->setFocusPolicy(Qt::NoFocus);
        cell->setStyleSheet(QString::fromLatin1(kCellStyle));
        cell->setProperty("friday", i % kDaysPerWeek == kFridayColumn);
        grid->addWidget(cell, 1 + i / kDaysPerWeek, i % kDaysPerWeek);
        connect(cell, &QPushButton::clicked, this, [this, cell]() {
            const int day = cell->property("day").toInt();
            if (day < 1)
                return;
            const QString date = SolarDateText(m_year, m_month, day);
            m_selected = date;
            hide();
            emit dateChosen(date);
        });
        m_cells.append(cell);
    }
    outer->addLayout(grid);

    connect(m_prev, &QToolButton::clicked, this, [this]() { stepMonth(-1); });
    connect(m_next, &QToolButton::clicked, this, [this]() { stepMonth(1); });

    setSelectedDate(QString());
}

void TSolarCalendarPopup::setSelectedDate(const QString& selected)
{
    int y = 0, m = 0, d = 0;
    if (SplitSolarDate(selected, y, m, d)) {
        m_selected = SolarDateText(y, m, d);
    } else {
        m_selected.clear();
        if (!SplitSolarDate(DateProc::TodaySolar(), y, m, d)) {
            y = 1400;
            m = 1;
        }
    }
    m_year = y;
    m_month = m;
    rebuild();
}

void TSolarCalendarPopup::stepMonth(int delta)
{
    StepSolarMonth(m_year, m_month, delta);
    rebuild();
}

QString TSolarCalendarPopup::headerText() const
{
    return DateProc::SolarMonthNames.value(m_month - 1) + QLatin1Char(' ') + QString::number(m_year);
}

QPushButton* TSolarCalendarPopup::dayButton(int day) const
{
    for (QPushButton* cell : m_cells)
        if (cell->property("day").toInt() == day && day >= 1)
            return cell;
    return nullptr;
}

void TSolarCalendarPopup::rebuild()
{
    m_title->setText(headerText());
    const SolarMonthGrid grid = SolarMonthLayout(m_year, m_month);
    const QString today = DateProc::TodaySolar();
    for (int i = 0; i < m_cells.size(); ++i) {
        QPushButton* cell = m_cells[i];
        const int day = i - grid.firstColumn + 1;
        const bool inMonth = day >= 1 && day <= grid.dayCount;
        const QString date = inMonth ? SolarDateText(m_year, m_month, day) : QString();
        cell->setProperty("day", inMonth ? day : 0);
        cell->setObjectName(inMonth ? QStringLiteral("btnDay%1").arg(day) : QStringLiteral("btnDayBlank"));
        cell->setText(inMonth ? QString::number(day) : QString());
        cell->setEnabled(inMonth);
        cell->setProperty("today", inMonth && date == today);
        cell->setProperty("selected", inMonth && date == m_selected);
        cell->setToolTip(date);
        // The last week row is only needed by months that spill into it.
        cell->setVisible(i < kDaysPerWeek * 5 || grid.firstColumn + grid.dayCount > kDaysPerWeek * 5);
        cell->style()->unpolish(cell);
        cell->style()->polish(cell);
    }
}

void TSolarCalendarPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_PageUp:
        stepMonth(-1);
        return;
    case Qt::Key_PageDown:
        stepMonth(1);
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------------------------------------

TSolarDateEdit::TSolarDateEdit(QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edtDate"));
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->setPlaceholderText(QStringLiteral("yyyy/mm/dd"));
    const QFontMetrics fm(m_edit->font());
    m_edit->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("0000/00/00")) + 24);

    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("btnDropDown"));
    m_button->setIcon(CalendarIcon());
    m_button->setIconSize(QSize(16, 16));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolButtonStyle(Qt::ToolButtonIconOnly);

    row->addWidget(m_edit, 1);
    row->addWidget(m_button);
    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    m_popup = new TSolarCalendarPopup(this);

    connect(m_edit, &QLineEdit::editingFinished, this, [this]() {
        tidy();
        emit editingFinished();
    });
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& t) {
        updateFrame();
        emit textChanged(t);
    });
    connect(m_button, &QToolButton::clicked, this, &TSolarDateEdit::showPopup);
    connect(m_popup, &TSolarCalendarPopup::dateChosen, this, [this](const QString& date) {
        m_edit->setText(date);
        m_edit->setFocus(Qt::PopupFocusReason);
        emit dateChosen(date);
    });

    m_edit->installEventFilter(this);
    updateFrame();
}

QString TSolarDateEdit::text() const
{
    return m_edit->text();
}

void TSolarDateEdit::setText(const QString& text)
{
    m_edit->setText(text);
    updateFrame();
}

bool TSolarDateEdit::hasAcceptableText() const
{
    const QString t = m_edit->text();
    return t.isEmpty() || DateProc::IsValidSolarDate(t);
}

void TSolarDateEdit::showPopup()
{
    // Tidy first, so that a typed 14030105 opens on its month.
    tidy();
    m_popup->setSelectedDate(m_edit->text());
    m_popup->adjustSize();
    const QSize size = m_popup->sizeHint();
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    QPoint at = mapToGlobal(QPoint(rtl ? width() - size.width() : 0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        if (at.y() + size.height() > avail.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(qBound(avail.left(), at.x(), qMax(avail.left(), avail.right() - size.width())));
        at.setY(qMax(avail.top(), at.y()));
    }
    m_popup->move(at);
    m_popup->show();
}

void TSolarDateEdit::hidePopup()
{
    m_popup->hide();
}

bool TSolarDateEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
            showPopup();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSolarDateEdit::tidy()
{
    const QString typed = m_edit->text();
    const QString tidy = TidySolarDateText(typed);
    if (tidy != typed)
        m_edit->setText(tidy);
    updateFrame();
}

void TSolarDateEdit::updateFrame()
{
    // A red tint tells the operator the text is not a date; it is never silently discarded.
    QPalette pal = palette();
    if (!hasAcceptableText() && !m_edit->hasFocus()) {
        pal.setColor(QPalette::Base, QColor(0xff, 0xeb, 0xee));
        pal.setColor(QPalette::Text, QColor(0xb7, 0x1c, 0x1c));
        m_edit->setToolTip(QStringLiteral("yyyy/mm/dd"));
    } else {
        m_edit->setToolTip(QString());
    }
    m_edit->setPalette(pal);
}

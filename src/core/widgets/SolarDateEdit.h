#pragma once
// TSolarDateEdit: the Solar Hijri date picker of every screen with a date box (edtFromDate,
// edtToDate, ...). A text box holding yyyy/mm/dd with a drop-down month calendar.
//
// Usage:
//   auto* edt = new TSolarDateEdit(this);
//   edt->setObjectName("edtFromDate");
//   edt->setText(DateProc::TodaySolar());
//   connect(edt, &TSolarDateEdit::editingFinished, this, &TfrmX::edtFromDateExit);
//   QString from = edt->text();
//
// Typing is free. On leaving the box (or Enter) the text is tidied with NormaliseSolarDate; a text
// that does not tidy into a valid date is kept exactly as typed and drawn with a red frame, so the
// operator sees and fixes it. The button beside the box opens the month calendar: Persian month name
// and year, previous/next month, weeks from Saturday, today marked, the box's date selected;
// clicking a day puts it in the box. Focus given to the picker goes to its text box.

#include <QFrame>
#include <QString>
#include <QVector>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QToolButton;
class QPushButton;

// One month of the calendar, as the popup lays it out.
struct SolarMonthGrid {
    int year = 0;
    int month = 0;        // 1..12
    int firstColumn = 0;  // weekday column of day 1: 0 Saturday .. 6 Friday
    int dayCount = 0;     // 29..31
};

// Days in a Solar month: 31 for months 1-6, 30 for 7-11, Esfand 30 in a leap year else 29.
int SolarMonthLength(int year, int month);
// The grid of a month from the calendar routines (SolarWeekdayIndex and the leap rule).
SolarMonthGrid SolarMonthLayout(int year, int month);
// The month before / after, across year ends.
void StepSolarMonth(int& year, int& month, int delta);
// yyyy/mm/dd of the given day, zero-padded.
QString SolarDateText(int year, int month, int day);
// Splits a valid yyyy/mm/dd text (after tidying); false when the text is not a valid date.
bool SplitSolarDate(const QString& text, int& year, int& month, int& day);
// The tidy form a box shows after leaving it: NormaliseSolarDate's result when that is a valid
// date, otherwise the typed text unchanged (also when normalising raises). Empty stays empty.
QString TidySolarDateText(const QString& typed);
// Short weekday headings, Saturday first (first letter of each weekday name).
QStringList SolarWeekdayShortNames();

// The drop-down month calendar. A Qt::Popup window; public so tests can drive it like a person.
class TSolarCalendarPopup : public QFrame {
    Q_OBJECT
public:
    explicit TSolarCalendarPopup(QWidget* parent = nullptr);

    // Shows the month of `selected` (or of today when it is not a valid date), selecting it.
    void setSelectedDate(const QString& selected);
    // Moves the shown month by delta months (the header buttons).
    void stepMonth(int delta);
    int shownYear() const { return m_year; }
    int shownMonth() const { return m_month; }
    QString headerText() const;   // e.g. "فروردين 1403"
    // The button of day d of the shown month (objectName "btnDay<d>"), or null.
    QPushButton* dayButton(int day) const;

signals:
    // A day was clicked: its yyyy/mm/dd text. The popup hides itself afterwards.
    void dateChosen(const QString& date);

protected:
    // Escape closes; Page Up / Page Down step a month.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();

    int m_year = 0;
    int m_month = 0;
    QString m_selected;
    QLabel* m_title = nullptr;
    QToolButton* m_prev = nullptr;
    QToolButton* m_next = nullptr;
    QVector<QPushButton*> m_cells;   // 6 weeks x 7 days
};

class TSolarDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit TSolarDateEdit(QWidget* parent = nullptr);

    QString text() const;
    // Puts the text as given (no tidying) and refreshes the invalid-date frame.
    void setText(const QString& text);
    // True when the box is empty or holds a valid yyyy/mm/dd date.
    bool hasAcceptableText() const;

    QLineEdit* lineEdit() const { return m_edit; }       // objectName "edtDate"
    QToolButton* dropButton() const { return m_button; } // objectName "btnDropDown"
    TSolarCalendarPopup* popup() const { return m_popup; }

    void showPopup();
    void hidePopup();

signals:
    // The operator left the box or pressed Enter; the text is already tidied.
    void editingFinished();
    // Any change of the text, typed or set.
    void textChanged(const QString& text);
    // A day was chosen in the calendar (after the text was set).
    void dateChosen(const QString& date);

protected:
    // Alt+Down and F4 in the text box open the calendar.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tidy();
    void updateFrame();

    QLineEdit* m_edit = nullptr;
    QToolButton* m_button = nullptr;
    TSolarCalendarPopup* m_popup = nullptr;
};

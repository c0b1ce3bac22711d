#pragma once
// TfrmContorStatus, the meter status screen: one meter's latest report and its daily, weekly and
// monthly consumption with gauges, average, date filter, report, export and charts. The main
// window opens it as a tab ("وضعیت کنتور").
//
// The rules that need no window (battery and valve texts, gauges, average, date filter) live in
// ContorStatusLogic; the three consumption tables are list-engine tables shown on one grid.

#include "meters/ConsumptionData.h"
#include "meters/ContorStatusLogic.h"

#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class ListGrid;
class ListTable;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class TGauge;
class TSolarDateEdit;

class TfrmContorStatus : public QWidget {
    Q_OBJECT
public:
    explicit TfrmContorStatus(QWidget* parent = nullptr);
    ~TfrmContorStatus() override;

    // The current view's period kind: "Daily", "Weekly" or "Monthly"; empty until the first refresh.
    QString fReportType;

    // --- meter choice and refresh ---
    // The refresh sequence: latest report and the three consumption loads for the chosen meter,
    // then always the refresh label and the timer.
    void btnRefreshClick();
    // A timer tick: the refresh, unless a server call or another refresh is still running.
    void tmrTimer();
    // The timer runs exactly while the check box is ticked.
    void chkOnlineClick();
    void rbSerialClick();
    void rbContractNoClick();
    // Picks a meter (also from the contract button) and refreshes when a serial came back.
    void btnSerialSelectedClick();
    // The error-code dialog for the report's code.
    void btnShowErrorClick();

    // --- consumption views ---
    void btnShowDailyClick();
    void AdvSmoothButton2Click();   // weekly view
    void AdvSmoothButton3Click();   // monthly view
    void AdvSmoothButton12Click();  // apply the date filter to the current view
    void AdvSmoothButton13Click();  // clear the current view's date filter
    void edtFromDateExit();
    void edtToDateExit();
    void AdvSmoothButton10Click();  // first row
    void AdvSmoothButton6Click();   // previous row
    void AdvSmoothButton11Click();  // next row
    void AdvSmoothButton9Click();   // last row
    void AdvSmoothButton7Click();   // spreadsheet export of the grid
    void AdvSmoothButton8Click();   // report preview
    void AdvSmoothButton4Click();   // line chart
    void AdvSmoothButton1Click();   // pie chart

    // --- for tests and the chart windows ---
    ListTable& table(ContorStatus::Period period) const;
    ContorStatus::Period currentPeriod() const { return m_period; }
    // A period's rows in table order (the most recent period first), under its date filter.
    ConsumptionRows periodRows(ContorStatus::Period period) const;
    // The rows the grid shows, in its order (sort markers and column filters included).
    ConsumptionRows gridRows() const;
    // The date filter each table keeps, if any.
    std::optional<ContorStatus::DateFilter> dateFilter(ContorStatus::Period period) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    QWidget* buildMeterChoice();
    QWidget* buildLastReport();
    QWidget* buildGauges();
    QWidget* buildDetails();
    void applyMeterChoiceRule();

    void LoadLastReport(const ContorStatus::MeterKey& key);
    void ShowBatteryPercent(double voltage);
    void clearLastReport();
    void LoadConsumptionList(ContorStatus::Period period, const ContorStatus::MeterKey& key);
    void showGauge(ContorStatus::Period period, const ContorStatus::GaugeReading& reading);
    void switchView(ContorStatus::Period period);
    void ShowAverage();
    void PrepareReport();
    void showCount();
    void reopenCurrent();
    void applySortMarkers();
    struct PeriodTable;
    PeriodTable& periodTable(ContorStatus::Period period) const;
    PeriodTable& current() const { return periodTable(m_period); }

    // meter choice
    QRadioButton* m_rbSerial = nullptr;
    QLineEdit* m_edtSerial = nullptr;
    QToolButton* m_btnSerialSelected = nullptr;
    QRadioButton* m_rbContractNo = nullptr;
    QLineEdit* m_edtContractNo = nullptr;
    QToolButton* m_btnContractSelected = nullptr;
    QPushButton* m_btnRefresh = nullptr;
    QCheckBox* m_chkOnline = nullptr;
    QLabel* m_lblUpdated = nullptr;
    QTimer* m_tmr = nullptr;

    // latest report
    QLineEdit* m_edtReceiveDate = nullptr;
    QLineEdit* m_edtReceveTime = nullptr;
    QLineEdit* m_edtWorkHours = nullptr;
    QLineEdit* m_edtErrorCode = nullptr;
    QPushButton* m_btnShowError = nullptr;
    QLineEdit* m_edtWentVolume = nullptr;
    QLineEdit* m_edtReturnVolume = nullptr;
    QLineEdit* m_edtBatteryVoltage = nullptr;
    QLineEdit* m_edtPercent = nullptr;
    QLineEdit* m_edtDailyFlowMax = nullptr;
    QLineEdit* m_edtFluidTemperature = nullptr;
    QLineEdit* m_edtSolenoidValveStatus = nullptr;
    QLineEdit* m_edtRSSI = nullptr;
    QLineEdit* m_edtSNR = nullptr;

    // gauges, by period
    std::array<TGauge*, 3> m_gauge{};
    std::array<QLabel*, 3> m_gaugeValue{};
    std::array<QLabel*, 3> m_gaugeDate{};

    // consumption half
    QFrame* m_pnlDetailes = nullptr;
    QButtonGroup* m_viewButtons = nullptr;
    std::array<QToolButton*, 3> m_viewButton{};
    QPushButton* m_btnLineChart = nullptr;
    QPushButton* m_btnPieChart = nullptr;
    TSolarDateEdit* m_edtFromDate = nullptr;
    TSolarDateEdit* m_edtToDate = nullptr;
    QToolButton* m_btnApplyFilter = nullptr;
    QToolButton* m_btnClearFilter = nullptr;
    QLabel* m_lblCaptionAvarage = nullptr;
    QLabel* m_lblAvrage = nullptr;
    ListGrid* m_grd = nullptr;
    QPushButton* m_btnExport = nullptr;
    QPushButton* m_btnPreview = nullptr;
    QLabel* m_lblCount = nullptr;
    std::array<QToolButton*, 4> m_nav{};

    // vtDaily, vtWeekly and vtMonthly, each with its own cursor, shown in turn on the one grid
    std::array<std::unique_ptr<PeriodTable>, 3> m_tables;
    ContorStatus::Period m_period = ContorStatus::Period::Daily;

    // The meter whose latest report the boxes hold; a refresh for another meter starts from
    // empty boxes so that one meter's values never stand under another's serial.
    std::optional<ContorStatus::MeterKey> m_shownMeter;
    bool m_refreshing = false;
    bool m_formShown = false;
};

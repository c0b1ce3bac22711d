#pragma once
// The texts the meter status screen and the meter picker show, kept in one place so that the
// windows, their logic and the tests use the very same bytes.

#include <QString>

// Texts of the meter status screen.
namespace ContorStatusText {
extern const QString ScreenCaption;
extern const QString RefreshCaption;
extern const QString SerialChoice;
extern const QString ContractChoice;
extern const QString OnlineCaption;
extern const QString UpdatedCaption;
extern const QString ReceiveDateLabel;
extern const QString ReceveTimeLabel;
extern const QString WorkHoursLabel;
extern const QString ErrorCodeLabel;
extern const QString ErrorListLabel;
extern const QString ShowErrorCaption;
extern const QString WentVolumeLabel;
extern const QString ReturnVolumeLabel;
extern const QString BatteryVoltageLabel;
extern const QString PercentLabel;
extern const QString DailyFlowMaxLabel;
extern const QString FluidTemperatureLabel;
extern const QString SolenoidValveLabel;
extern const QString UpdatedDatePrefix;
extern const QString UpdatedTimePrefix;
extern const QString ValveOpen;
extern const QString ValveClosed;
extern const QString FromDateTitle;
extern const QString ToDateTitle;
extern const QString MinWentVolumeTitle;
extern const QString MaxWentVolumeTitle;
extern const QString DataReceiveCountTitle;
extern const QString ConsumedTitle;
extern const QString DailyGaugeLabel;
extern const QString WeeklyGaugeLabel;
extern const QString MonthlyGaugeLabel;
extern const QString DailyViewHint;
extern const QString WeeklyViewHint;
extern const QString MonthlyViewHint;
extern const QString LineChartCaption;
extern const QString PieChartCaption;
extern const QString FromDateLabel;
extern const QString ToDateLabel;
extern const QString AverageCaption;
extern const QString GridEmptyText;
extern const QString ExportCaption;
extern const QString PreviewCaption;
extern const QString CountPrefix;
extern const QString FirstRowHint;
extern const QString LastRowHint;
extern const QString PreviousRowHint;
extern const QString NextRowHint;
extern const QString GaugeDatePrefix;
extern const QString GaugeDateJoin;
extern const QString GaugeValueSuffix;
extern const QString DailyAverageCaption;
extern const QString WeeklyAverageCaption;
extern const QString MonthlyAverageCaption;
extern const QString Litre;
extern const QString StartAfterEndError;
extern const QString ReportMeterPrefix;
}  // namespace ContorStatusText

// Texts of the meter picker.
namespace DeviceSelectedText {
extern const QString PickerCaption;
extern const QString SerialNumberTitle;
extern const QString ActivatedTitle;
extern const QString FileNumberTitle;
extern const QString OrganNameTitle;
extern const QString ContractNoTitle;
extern const QString ChooseCaption;
extern const QString CancelCaption;
extern const QString NothingChosen;
}  // namespace DeviceSelectedText

#include "meters/ContorStatusTexts.h"

namespace ContorStatusText {
const QString ScreenCaption = QStringLiteral("وضعیت کنتور");
const QString RefreshCaption = QStringLiteral("دریافت داده ها");
const QString SerialChoice = QStringLiteral("شناسه کنتور:");
const QString ContractChoice = QStringLiteral("شماره قراداد:");
const QString OnlineCaption = QStringLiteral("به روز رسانی هر یک دقیقه یکبار ");
const QString UpdatedCaption = QStringLiteral("به روز رسانی :");
const QString ReceiveDateLabel = QStringLiteral("زمان آخرین داده :");
const QString ReceveTimeLabel = QStringLiteral("ساعت :");
const QString WorkHoursLabel = QStringLiteral("ساعت کارکرد :");
const QString ErrorCodeLabel = QStringLiteral("خطا :");
const QString ErrorListLabel = QStringLiteral("لیست خطا :");
const QString ShowErrorCaption = QStringLiteral("نمایش");
const QString WentVolumeLabel = QStringLiteral("حجم رفت :");
const QString ReturnVolumeLabel = QStringLiteral("حجم برگشتی :");
const QString BatteryVoltageLabel = QStringLiteral("ولتاژ باطری :");
const QString PercentLabel = QStringLiteral("درصد باطری :");
const QString DailyFlowMaxLabel = QStringLiteral("فلو بیشینه روزانه :");
const QString FluidTemperatureLabel = QStringLiteral("دمای سیال :");
const QString SolenoidValveLabel = QStringLiteral("شیربرقی :");
const QString UpdatedDatePrefix = QStringLiteral("تاریخ :");
const QString UpdatedTimePrefix = QStringLiteral("  ساعت :");
const QString ValveOpen = QStringLiteral("باز است");
const QString ValveClosed = QStringLiteral("بسته است");
const QString FromDateTitle = QStringLiteral("از تاریخ");
const QString ToDateTitle = QStringLiteral("تا تاریخ");
const QString MinWentVolumeTitle = QStringLiteral("کمترین شماره کنتور");
const QString MaxWentVolumeTitle = QStringLiteral("بیشترین شماره کنتور");
const QString DataReceiveCountTitle = QStringLiteral("تعداد دفعات ارسال دیتا");
const QString ConsumedTitle = QStringLiteral("میزان مصرف");
const QString DailyGaugeLabel = QStringLiteral("مصرف یک روز گذشته :");
const QString WeeklyGaugeLabel = QStringLiteral("مصرف یک هفته گذشته :");
const QString MonthlyGaugeLabel = QStringLiteral("مصرف یک ماه گذشته :");
const QString DailyViewHint = QStringLiteral("نمایش مصرف بصورت روزانه");
const QString WeeklyViewHint = QStringLiteral("نمایش مصرف بصورت هفتگی");
const QString MonthlyViewHint = QStringLiteral("نمایش مصرف بصورت ماهانه");
const QString LineChartCaption = QStringLiteral("نمودار خطی");
const QString PieChartCaption = QStringLiteral("نمودار دایره ای");
const QString FromDateLabel = QStringLiteral(" از تاریخ :");
const QString ToDateLabel = QStringLiteral("تا :");
const QString AverageCaption = QStringLiteral("میانگین مصرف :");
const QString GridEmptyText = QStringLiteral("رکوردی برای نمایش وجود ندارد");
const QString ExportCaption = QStringLiteral("فایل اکسل");
const QString PreviewCaption = QStringLiteral("پیش نمایش");
const QString CountPrefix = QStringLiteral("تعداد کل : ");
const QString FirstRowHint = QStringLiteral("رکورد اول");
const QString LastRowHint = QStringLiteral("رکورد آخر");
const QString PreviousRowHint = QStringLiteral("رکورد قبلی");
const QString NextRowHint = QStringLiteral("رکورد  بعدی");
const QString GaugeDatePrefix = QStringLiteral("از تاریخ ");
const QString GaugeDateJoin = QStringLiteral(" تا ");
const QString GaugeValueSuffix = QStringLiteral(" لیتر");
const QString DailyAverageCaption = QStringLiteral("میانگین مصرف روزانه: ");
const QString WeeklyAverageCaption = QStringLiteral("میانگین مصرف هفتگی: ");
const QString MonthlyAverageCaption = QStringLiteral("میانگین مصرف ماهانه: ");
const QString Litre = QStringLiteral("لیتر");
const QString StartAfterEndError = QStringLiteral("تاریخ شروع بزرگتر از  پایان است");
const QString ReportMeterPrefix = QStringLiteral("سریال کنتور ");
}  // namespace ContorStatusText

namespace DeviceSelectedText {
const QString PickerCaption = QStringLiteral("انتخاب کنتور ");
const QString SerialNumberTitle = QStringLiteral("سریال دستگاه");
const QString ActivatedTitle = QStringLiteral("فعال");
const QString FileNumberTitle = QStringLiteral("شماره پرونده مشترک");
const QString OrganNameTitle = QStringLiteral("بهره بردار");
const QString ContractNoTitle = QStringLiteral("شماره قرارداد");
const QString ChooseCaption = QStringLiteral("انتخاب");
const QString CancelCaption = QStringLiteral("انصراف");
const QString NothingChosen = QStringLiteral("کنتور انتخاب نشده است");
}  // namespace DeviceSelectedText

#pragma once
// Every message the server puts in an envelope, in one place. Those that the client also shows
// word for word are the same texts; "%1" stands for the value named in the comment.

namespace ServerTexts {

// a change was stored
inline constexpr const char* kDone = "عملیات با موفقیت انجام شد";
// the main unit cannot be deleted
inline constexpr const char* kMainUnitDelete = "حذف بخش اصلی امکان پذیر نیست";
// a unit with meters cannot be deleted
inline constexpr const char* kOrganUsedByDevice = "حذف این بخش امکان پذیر نیست\r\nعلت: در ثبت دستگاه از این بخش یا زیر بخش های آن استفاده شده است";
// a unit with users cannot be deleted
inline constexpr const char* kOrganUsedByUser = "حذف این بخش امکان پذیر نیست\r\nعلت: در ثبت کاربران از این بخش یا زیر بخش های آن استفاده شده است";
// the main account cannot be deleted
inline constexpr const char* kMainUserDelete = "کاربر اصلی برنامه قابل حذف نمی باشد";
// user name under 6 characters
inline constexpr const char* kUserNameShort = "طول نام کاربری میبایست بیش از 6 حرف باشد";
// password under 6 characters
inline constexpr const char* kPasswordShort = "طول رمز ورود میبایست بیش از 6 حرف باشد";
// no unit given
inline constexpr const char* kOrganNotChosen = "بهره بردار انتخاب نشده است";
// production date after today
inline constexpr const char* kFutureProductionDate = "تاریخ تولید دستگاه قبل از موعد امکان پذیر نیست";
// period start after its end
inline constexpr const char* kDateOrder = "تاریخ شروع بزرگتر از  پایان است";
// opening percentage outside 0..100
inline constexpr const char* kPercentRange = "درصد باز و بسته بودن شیر برقی بین 0 تا 100 مجاز است";
// schedule days of 366 or more
inline constexpr const char* kDaysRange = "برنامه ریزی فقط برای بازه یکسال آینده قابل انجام است";
// schedule litres above 99999999
inline constexpr const char* kLitresRange = "حجم اندازه گیری بزرگتر از حد مجاز است";
// deployment date missing
inline constexpr const char* kDateMissing = "تاریخ وارد نشده است";
// body is not JSON
inline constexpr const char* kNotJson = "درخواست نامعتبر است: متن درخواست JSON معتبر نیست";
// body is JSON but not an object
inline constexpr const char* kNotObject = "درخواست نامعتبر است: متن درخواست باید یک شیء JSON باشد";
// %1 = key
inline constexpr const char* kMissingKey = "درخواست نامعتبر است: کلید «%1» در درخواست وجود ندارد";
// %1 = key
inline constexpr const char* kWantString = "درخواست نامعتبر است: مقدار «%1» باید متن (string) باشد";
// %1 = key
inline constexpr const char* kWantInteger = "درخواست نامعتبر است: مقدار «%1» باید عدد صحیح باشد";
// %1 = key
inline constexpr const char* kWantBoolean = "درخواست نامعتبر است: مقدار «%1» باید true یا false باشد";
// %1 = method
inline constexpr const char* kUnknownMethod = "متد «%1» در سرور تعریف نشده است";
// %1 = method
inline constexpr const char* kUseGet = "متد «%1» فقط با درخواست GET پاسخ داده می شود";
// %1 = method
inline constexpr const char* kUsePost = "متد «%1» فقط با درخواست POST پاسخ داده می شود";
// path outside /ws/
inline constexpr const char* kBadPath = "آدرس درخواست نامعتبر است؛ متدها در مسیر /ws/ قرار دارند";
// body over the limit
inline constexpr const char* kTooLarge = "حجم درخواست بیش از حد مجاز (1 مگابایت) است";
// unexpected failure
inline constexpr const char* kInternal = "خطای داخلی سرور؛ درخواست انجام نشد و هیچ داده ای تغییر نکرد";
// empty serial
inline constexpr const char* kSerialEmpty = "شناسه کنتور وارد نشده است";
// serial not 15 characters
inline constexpr const char* kSerialLength = "شناسه کنتور باید دقیقا 15 کاراکتر باشد";
// unknown serial
inline constexpr const char* kDeviceNotFound = "کنتوری با این شناسه ثبت نشده است";
// duplicate serial
inline constexpr const char* kDeviceExists = "کنتوری با این شناسه قبلا ثبت شده است";
// inactive meter asked for
inline constexpr const char* kDeviceInactive = "این کنتور غیر فعال است و در هیچ گزارشی نمایش داده نمی شود";
// empty contract number
inline constexpr const char* kContractEmpty = "شماره قرارداد وارد نشده است";
// no active meter under the contract
inline constexpr const char* kContractNotFound = "کنتور فعالی با این شماره قرارداد یافت نشد";
// meter without reports
inline constexpr const char* kNoReports = "از این کنتور هنوز داده ای دریافت نشده است";
// no consumption periods
inline constexpr const char* kNoPeriods = "برای این کنتور در این دوره ها مصرفی ثبت نشده است";
// no reports in the period
inline constexpr const char* kNoReportsInPeriod = "در این بازه زمانی از کنتورهای شما داده ای دریافت نشده است";
// no latest reports
inline constexpr const char* kNoDevicesReported = "از کنتورهای فعال شما هنوز داده ای دریافت نشده است";
// empty meter list
inline constexpr const char* kNoDevices = "کنتوری برای نمایش یافت نشد";
// empty setting history
inline constexpr const char* kNoSettingHistory = "برای این کنتور تنظیمات دستی ثبت نشده است";
// empty schedule list
inline constexpr const char* kNoAutoSettings = "برای این کنتور تنظیمات خودکار شیربرقی ثبت نشده است";
// default over an existing setting
inline constexpr const char* kDefaultExists = "برای این کنتور قبلا تنظیمات ثبت شده است؛ تنظیمات پیش فرض ثبت نشد";
// empty user name at login
inline constexpr const char* kLoginEmpty = "نام کاربری وارد نشده است";
// wrong name or password
inline constexpr const char* kLoginWrong = "نام کاربری یا رمز ورود اشتباه است";
// inactive account
inline constexpr const char* kLoginInactive = "حساب کاربری شما غیر فعال است؛ با مدیر سامانه تماس بگیرید";
// unknown user id
inline constexpr const char* kUserNotFound = "کاربر یافت نشد";
// inactive user id
inline constexpr const char* kUserInactive = "حساب این کاربر غیر فعال است";
// duplicate user name
inline constexpr const char* kUserExists = "این نام کاربری قبلا ثبت شده است";
// main account deactivated or moved
inline constexpr const char* kMainUserKeep = "کاربر اصلی برنامه باید فعال و عضو بخش اصلی بماند";
// %1 = the text
inline constexpr const char* kDateInvalid = "تاریخ «%1» نامعتبر است؛ قالب درست yyyy/mm/dd است";
// %1 = the text
inline constexpr const char* kGregorianInvalid = "تاریخ میلادی «%1» نامعتبر است؛ قالب درست yyyy/mm/dd است";
// %1 = the text
inline constexpr const char* kMomentInvalid = "زمان «%1» نامعتبر است؛ قالب درست yyyy-mm-dd hh:mm:ss است";
// valve code
inline constexpr const char* kValveInvalid = "وضعیت شیر برقی باید 55 (باز) یا AA (بسته) باشد";
// send interval
inline constexpr const char* kIntervalRange = "دوره ارسال داده باید بین 1 ثانیه تا 60 روز باشد";
// negative days or litres
inline constexpr const char* kNegativeNumber = "تعداد روز و حجم نمی توانند منفی باشند";
// schedule for a meter of the other type
inline constexpr const char* kNotAutoValve = "این کنتور قابلیت تنظیمات شیربرقی خودکار ندارد";
// connection type
inline constexpr const char* kConnectionType = "نوع ارتباط باید یکی از 0 (GSM)، 1 (NB-IoT)، 2 (LoRa) یا 3 (Sigfox) باشد";
// unknown unit
inline constexpr const char* kOrganNotFound = "واحد بهره برداری یافت نشد";
// empty unit code
inline constexpr const char* kOrganCodeEmpty = "کد بخش وارد نشده است";
// empty unit name
inline constexpr const char* kOrganNameEmpty = "نام بخش وارد نشده است";
// unknown parent
inline constexpr const char* kParentNotFound = "بخش بالادست یافت نشد";
// child code rule
inline constexpr const char* kCodeInvalid = "کد بخش نامعتبر است؛ کد زیر بخش باید با کد بخش بالادست شروع شود و 2 یا 3 رقم بیشتر از آن داشته باشد";
// second root
inline constexpr const char* kRootExists = "بخش اصلی قبلا تعریف شده است؛ هر بخش جدید باید زیر بخش یک بخش موجود باشد";
// duplicate code
inline constexpr const char* kCodeExists = "کد بخش تکراری است";
// code that another code begins with
inline constexpr const char* kCodeOverlaps = "کد بخش با کد بخش دیگری هم پوشانی دارد";
// edit that moves a unit
inline constexpr const char* kCodeChange = "تغییر کد یا بخش بالادست یک بخش امکان پذیر نیست؛ فقط نام آن قابل ویرایش است";
// empty unit list
inline constexpr const char* kNoUnits = "واحد بهره برداری ثبت نشده است";
// empty user list
inline constexpr const char* kNoUsers = "کاربری ثبت نشده است";
// usage check found nothing
inline constexpr const char* kNotUsed = "در این بخش و زیر بخش های آن موردی ثبت نشده است";

}  // namespace ServerTexts

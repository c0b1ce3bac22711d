#pragma once
// The texts of the list screen engine, in one place.

#include <QString>

namespace ListTexts {
inline QString LoadingText() { return QStringLiteral("در حال بارگزاری داده های جدول"); }
inline QString EmptyGridText() { return QStringLiteral("رکوردی برای نمایش وجود ندارد"); }
inline QString ClearFilterItem() { return QStringLiteral("پاک کردن فیلتر  "); }
inline QString ApplyFilterItem() { return QStringLiteral("اعمال فیلتر روی "); }
inline QString ExportWarning() { return QStringLiteral("تهیه فایل اکسل بسته به تعداد ردیف های جدول ممکن است زمانبر باشد"); }
inline QString ExportQuestion() { return QStringLiteral("آیا برای ایجاد فایل اکسل اطمینان دارید؟"); }
inline QString ExportFolderTitle() { return QStringLiteral("محل ذخیره سازی فایل اکسل"); }
inline QString ExportDone() { return QStringLiteral(" فایل اکسل با موفقیت ایجاد شد"); }
// A spreadsheet that could not be written; the reason follows on the next line.
inline QString ExportFailed() { return QStringLiteral("فایل اکسل ایجاد نشد"); }
// Placeholder of the grid's search box.
inline QString SearchPlaceholder() { return QStringLiteral("جستجو در همه ستون ها"); }
}  // namespace ListTexts

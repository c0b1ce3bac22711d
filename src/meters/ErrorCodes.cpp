#include "meters/ErrorCodes.h"

namespace {
const QLatin1String kHexDigits("0123456789ABCDEF");
}

const QStringList ErrorTexts = {
    QStringLiteral("برگشت سیال (REV_FLOW_ERR)"),
    QStringLiteral("کمبود باطری (LOW_BATT_ERR)"),
    QStringLiteral("خطا دمای سیال (TEMP_ERR)"),
    QStringLiteral("خطا خشکی لوله (DRY_ERR)"),
    QStringLiteral("ریست مجدد (RE_STRAT_ERR)"),
    QStringLiteral("وضعیت شیر برقی  (VALVE_STAT)"),
    QStringLiteral("خطا نشتی (LEAK_ERR)"),
    QStringLiteral("خطای دستکاری (TAMPER_ERR)"),
    QStringLiteral("رزرو ((RESERVE_ERR))"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
    QStringLiteral("رزرو (RESERVE_ERR)"),
};

QString ErrorTextForBit(int bit)
{
    if (bit >= 1 && bit <= ErrorTexts.size())
        return ErrorTexts.at(bit - 1);
    // Bits above 16 have no text of their own; naming the bit keeps such a line distinguishable
    // from the reserved bits 10 to 16.
    QString text = ErrorTexts.last();
    const int close = text.lastIndexOf(QLatin1Char(')'));
    text.insert(close, QLatin1Char('_') + QString::number(bit));
    return text;
}

QString CleanErrorCode(const QString& code)
{
    QString clean;
    clean.reserve(code.size());
    for (const QChar c : code)
        if (kHexDigits.contains(c))
            clean.append(c);
    return clean;
}

QStringList DecodeErrorCode(const QString& code)
{
    const QString clean = CleanErrorCode(code);
    QStringList texts;
    // Bit 1 is the lowest bit of the last digit; leading zeros add no set bit, so walking the
    // digits from the right gives the same list as the written-out binary text.
    int bit = 1;
    for (int i = clean.size() - 1; i >= 0; --i) {
        const int value = kHexDigits.indexOf(clean.at(i));
        for (int b = 0; b < 4; ++b, ++bit)
            if (value & (1 << b))
                texts.append(ErrorTextForBit(bit));
    }
    return texts;
}

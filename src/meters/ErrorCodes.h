#pragma once
// A meter's error code: hexadecimal digits read as a bit field, and the text of each set bit.
//
// Usage:
//   for (const QString& line : DecodeErrorCode(report.ErrorCode)) ...   // "0003" -> bit 1, bit 2

#include <QString>
#include <QStringList>

// The texts of bits 1 to 16; ErrorTexts[0] is bit 1 (the least significant bit of the code).
extern const QStringList ErrorTexts;

// The text of bit k (1-based). Bits above 16 have no entry of their own: they get the reserved
// text with the bit number in its mnemonic (RESERVE_ERR_17 for bit 17).
QString ErrorTextForBit(int bit);

// The code as it is decoded: only the characters among "0123456789ABCDEF", in order (lower-case
// letters and anything else are dropped).
QString CleanErrorCode(const QString& code);

// One text per set bit, from the least significant set bit upwards. Never fails: characters it
// cannot read are dropped, and a code with no set bit (or an empty one) gives an empty list.
QStringList DecodeErrorCode(const QString& code);

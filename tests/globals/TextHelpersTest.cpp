// The small text helpers and the masking of stored parameters.
#include "core/untGlobals.h"

#include <gtest/gtest.h>

TEST(GlobalsText, DigitsOnlyAndIsAllDigits)
{
    const struct {
        const char* text;
        const char* digits;
        bool allDigits;
    } cases[] = {
        {"1402/10/24", "14021024", false},
        {"abc", "", false},
        {"", "", false},
        {"0123", "0123", true},
        {"12a", "12", false},
        {"1 2", "12", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DigitsOnly(c.text), c.digits) << c.text;
        EXPECT_EQ(IsAllDigits(c.text), c.allDigits) << c.text;
    }
    // Arabic-Indic digits are not the digits 0 to 9.
    const QString arabicIndic = QString(QChar(0x0661)) + QChar(0x0662);
    EXPECT_EQ(DigitsOnly(arabicIndic), "");
    EXPECT_FALSE(IsAllDigits(arabicIndic));
}

TEST(GlobalsText, PadLeftAndBoolText)
{
    const struct {
        const char* text;
        int length;
        const char* padded;
    } cases[] = {
        {"7", 2, "07"}, {"123", 2, "12"}, {"", 2, "00"}, {"12", 2, "12"}, {"5", 4, "0005"}, {"5", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PadLeft(c.text, u'0', c.length), c.padded) << c.text << " to " << c.length;
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
}

TEST(GlobalsText, Hex)
{
    EXPECT_EQ(HexEncode("abc"), "616263");
    EXPECT_EQ(HexEncode(QByteArray("\x00\xff\x0a", 3)), "00ff0a");
    EXPECT_EQ(HexDecode("616263"), "abc");
    EXPECT_EQ(HexDecode("6162633"), "abc");   // a final odd digit is ignored
    EXPECT_EQ(HexDecode("00FF0a"), QByteArray("\x00\xff\x0a", 3));
    EXPECT_EQ(HexDecode(""), "");
    for (const char* bad : {"61zz", "6 ", "g0"})
        EXPECT_THROW(HexDecode(bad), ParamStoreError) << bad;
}

TEST(GlobalsText, Base64)
{
    EXPECT_EQ(EncodeBase64("abc"), "YWJj");
    EXPECT_EQ(EncodeBase64("a"), "YQ==");
    EXPECT_EQ(DecodeBase64("YWI="), "ab");
    EXPECT_EQ(DecodeBase64(""), "");
    for (const char* bad : {"!!!!", "YW=", "YWJj\n", "YW Jj", "YWI", "MzYyNjE2=="})
        EXPECT_THROW(DecodeBase64(bad), ParamStoreError) << bad;
    EXPECT_THROW(DecodeBase64(QString(4, QChar(0x0627))), ParamStoreError);
}

TEST(GlobalsText, Masking)
{
    EXPECT_EQ(MaskParam("abc"), "MzYyNjE2");
    EXPECT_EQ(UnmaskParam("MzYyNjE2"), "abc");
    EXPECT_EQ(MaskParam(""), "");
    const QByteArray persian = QString(QChar(0x0646)).toUtf8() + QString(QChar(0x06CC)).toUtf8();
    EXPECT_EQ(UnmaskParam(MaskParam(persian)), persian);
    // "xyz" is base64, but of text that is not hex digits.
    EXPECT_THROW(UnmaskParam(EncodeBase64("xyz0")), ParamStoreError);
}

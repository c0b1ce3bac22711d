// Decoding a meter's error code, and the dialog that lists the result.

#include "MeterViewsFixtures.h"
#include "meters/ErrorCodes.h"
#include "meters/untErrorInfo.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kRevFlow = QStringLiteral("برگشت سیال (REV_FLOW_ERR)");
const QString kLowBatt = QStringLiteral("کمبود باطری (LOW_BATT_ERR)");
const QString kTemp = QStringLiteral("خطا دمای سیال (TEMP_ERR)");
const QString kDry = QStringLiteral("خطا خشکی لوله (DRY_ERR)");
const QString kRestart = QStringLiteral("ریست مجدد (RE_STRAT_ERR)");
const QString kValve = QStringLiteral("وضعیت شیر برقی  (VALVE_STAT)");
const QString kLeak = QStringLiteral("خطا نشتی (LEAK_ERR)");
const QString kTamper = QStringLiteral("خطای دستکاری (TAMPER_ERR)");
const QString kReserve9 = QStringLiteral("رزرو ((RESERVE_ERR))");
const QString kReserve = QStringLiteral("رزرو (RESERVE_ERR)");

struct DecodeCase {
    QString code;
    QStringList texts;
};

TEST(DecodeErrorCode, TableOfCodes)
{
    const DecodeCase cases[] = {
        {QStringLiteral("0003"), {kRevFlow, kLowBatt}},
        {QStringLiteral("00A0"), {kValve, kTamper}},
        {QStringLiteral("0010"), {kRestart}},
        {QStringLiteral("0100"), {kReserve9}},
        {QStringLiteral("8000"), {kReserve}},
        {QStringLiteral("0200"), {kReserve}},
        {QStringLiteral("00a0"), {}},   // lower case is not read: the rest is "000"
        {QStringLiteral("0"), {}},
        {QString(), {}},
        {QStringLiteral("1 2"), {kLowBatt, kRestart}},
        {QStringLiteral("000F"), {kRevFlow, kLowBatt, kTemp, kDry}},
        {QStringLiteral("00F0"), {kRestart, kValve, kLeak, kTamper}},
        {QStringLiteral("0x4G4"), {kTemp, kLeak}},   // x and G dropped: "044"
        {QStringLiteral("\u06F1"), {}},              // a Persian digit is no hexadecimal digit
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(DecodeErrorCode(c.code), c.texts) << "code \"" << c.code.toStdString() << "\"";
}

TEST(DecodeErrorCode, AllSixteenBitsInOrderFromTheLowest)
{
    const QStringList texts = DecodeErrorCode(QStringLiteral("FFFF"));
    ASSERT_EQ(texts.size(), 16);
    EXPECT_EQ(texts.mid(0, 9), (QStringList{kRevFlow, kLowBatt, kTemp, kDry, kRestart, kValve, kLeak, kTamper, kReserve9}));
    for (int k = 10; k <= 16; ++k)
        EXPECT_EQ(texts[k - 1], kReserve) << "bit " << k;
}

TEST(DecodeErrorCode, BitsAboveSixteenNameTheirBit)
{
    const QStringList texts = DecodeErrorCode(QStringLiteral("10001"));
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], kRevFlow);
    EXPECT_TRUE(texts[1].contains(QStringLiteral("17"))) << texts[1].toStdString();
    EXPECT_NE(texts[1], kReserve);
    EXPECT_NE(ErrorTextForBit(17), ErrorTextForBit(18));
}

TEST(DecodeErrorCode, CleaningKeepsOnlyUpperCaseHexDigits)
{
    EXPECT_EQ(CleanErrorCode(QStringLiteral("00a0")), QStringLiteral("000"));
    EXPECT_EQ(CleanErrorCode(QStringLiteral(" 1-2\tF\n")), QStringLiteral("12F"));
}

TEST(TfrmErrorInfo, ShowsTheSerialTheCodeAsSentAndOneLinePerSetBit)
{
    TfrmErrorInfo dlg;
    dlg.fDeviceSeial = QStringLiteral("123456789012345");
    dlg.fErrorCode = QStringLiteral("00A0");
    dlg.show();

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("لیست خطاهای دستگاه"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("lblSerial"))->text(), QStringLiteral("123456789012345"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("lblError"))->text(), QStringLiteral("00A0"));
    auto* memo = dlg.findChild<QPlainTextEdit*>(QStringLiteral("mmoError"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText().split(QLatin1Char('\n')), (QStringList{kValve, kTamper}));

    auto* exit = dlg.findChild<QPushButton*>(QStringLiteral("AdvSmoothButton7"));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), QStringLiteral("خروج"));
    QTest::mouseClick(exit, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(TfrmErrorInfo, LowerCaseCodeStaysVisibleWhileItsListIsEmpty)
{
    TfrmErrorInfo dlg;
    dlg.fDeviceSeial = QStringLiteral("123456789012345");
    dlg.fErrorCode = QStringLiteral("00a0");
    dlg.show();
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("lblError"))->text(), QStringLiteral("00a0"));
    EXPECT_TRUE(dlg.findChild<QPlainTextEdit*>(QStringLiteral("mmoError"))->toPlainText().isEmpty());
    EXPECT_EQ(dlg.fErrorCode, QStringLiteral("000"));
}

}  // namespace

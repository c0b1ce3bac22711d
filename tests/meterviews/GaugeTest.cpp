// The gauge's printed value and needle, including figures beyond the scale.

#include "MeterViewsFixtures.h"
#include "meters/Gauge.h"

#include <QImage>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

TEST(GaugeValueText, AtLeastThreeIntegerDigitsAndOneDecimal)
{
    const std::pair<double, const char*> cases[] = {
        {0, "000.0"},       {7.5, "007.5"},       {42.3, "042.3"},   {999.94, "999.9"},
        {1234, "1234.0"},   {600000, "600000.0"}, {-12, "-12.0"},    {-1.5, "-01.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GaugeValueText(c.first), QString::fromLatin1(c.second)) << c.first;
}

TEST(GaugeNeedleFraction, StopsAtTheEndsOfTheScale)
{
    const struct {
        double value, maximum, fraction;
    } cases[] = {
        {0, 5000, 0},   {2500, 5000, 0.5}, {5000, 5000, 1},  {9000, 5000, 1}, {-40, 5000, 0},
        {25000, 50000, 0.5}, {1e9, 500000, 1}, {100, 0, 0},   {100, -5, 0},
        {std::numeric_limits<double>::quiet_NaN(), 5000, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(GaugeNeedleFraction(c.value, c.maximum), c.fraction) << c.value << " of " << c.maximum;
}

TEST(TGauge, KeepsTheTrueValueAboveTheScale)
{
    TGauge gauge;
    gauge.setMaximum(5000);
    gauge.setValue(7321.4);
    EXPECT_EQ(gauge.value(), 7321.4);
    EXPECT_EQ(gauge.valueText(), QStringLiteral("7321.4"));

    // A scale end of zero or less would divide by zero; it is refused.
    gauge.setMaximum(0);
    EXPECT_EQ(gauge.maximum(), 5000);
    gauge.setMaximum(500000);
    EXPECT_EQ(gauge.maximum(), 500000);
}

TEST(TGauge, PaintsAtAnySize)
{
    TGauge gauge;
    gauge.setMaximum(50000);
    gauge.setValue(1e12);
    for (int side : {10, 60, 190, 400}) {
        gauge.resize(side, side);
        const QImage image = gauge.grab().toImage();
        EXPECT_EQ(image.width(), side);
    }
}

}  // namespace

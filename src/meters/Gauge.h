#pragma once
// TGauge: a read-only dial for one consumption figure.
//
// Usage:
//   auto* g = new TGauge(this);
//   g->setObjectName("GagetDaily");
//   g->setMaximum(5000);        // litres at the end of the scale (5000, 50000 or 500000)
//   g->setValue(row.Consumed()); // values above the scale are fine: the needle stops at the end,
//                                // the text shows the true value as "000.0"
//
// The dial has 5 major divisions with 5 minor steps each; the scale labels, needle and the value
// text are drawn with QPainter and scale with the widget's size.

#include <QString>
#include <QWidget>

// The value as the dial prints it: at least three integer digits and one decimal ("007.5",
// "1234.0", "-12.0").
QString GaugeValueText(double value);

// Where the needle stands, 0 (start of the scale) to 1 (end): values below 0 or above the maximum
// stop at the ends; a maximum of 0 or less keeps the needle at the start.
double GaugeNeedleFraction(double value, double maximum);

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    // End of the scale; the scale labels are maximum/5 apart. Values of 0 or less are ignored.
    void setMaximum(double maximum);
    double maximum() const { return m_maximum; }

    // The figure shown; repaints.
    void setValue(double value);
    double value() const { return m_value; }

    // Small text under the value (the unit); "لیتر" unless changed, empty hides it.
    void setUnit(const QString& unit);
    QString unit() const { return m_unit; }

    // What the dial prints, as a person reads it (GaugeValueText of value()).
    QString valueText() const { return GaugeValueText(m_value); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_maximum = 5000;
    double m_value = 0;
    QString m_unit;
};

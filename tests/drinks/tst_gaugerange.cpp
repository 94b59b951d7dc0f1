// The ring gauge: what its setters take and refuse, and what it paints.
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QtMath>

#include "GaugeRange.h"

namespace {
const QColor kBackground(239, 252, 247);

QImage Render(GaugeRange& gauge)
{
    QImage image(gauge.size(), QImage::Format_ARGB32);
    image.fill(kBackground);
    gauge.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The pixel on the middle of the ring at the clock angle given in degrees (0 at 12 o'clock,
// growing clockwise).
QColor RingAt(const QImage& image, double clockDegrees)
{
    const double radians = qDegreesToRadians(clockDegrees);
    const int x = qRound(image.width() / 2 + 48 * qSin(radians));
    const int y = qRound(image.height() / 2 - 48 * qCos(radians));
    return image.pixelColor(x, y);
}

int Distance(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// The pixel of an area that differs most from the background: where text is, a pixel fully
// inside a glyph, which shows the text's own colour.
QColor Strongest(const QImage& image, const QRect& area)
{
    QColor strongest = kBackground;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (Distance(c, kBackground) > Distance(strongest, kBackground))
                strongest = c;
        }
    }
    return strongest;
}
}

class TestGaugeRange : public QObject
{
    Q_OBJECT
private slots:
    void defaults()
    {
        GaugeRange gauge;
        QCOMPARE((QList<int>{gauge.currentValue(), gauge.leftValue(), gauge.rightValue(), gauge.minValue(),
                     gauge.maxValue(), gauge.scaleMajor(), gauge.startAngle(), gauge.endAngle()}),
            (QList<int>{50, 0, 1, 0, 100, 100, 180, -180}));
        QCOMPARE(gauge.usedColor(), QColor(45, 206, 222));
        QCOMPARE(gauge.freeColor(), QColor(255, 255, 255));
        QCOMPARE(gauge.textColor(), QColor(0, 210, 153));
        QCOMPARE(gauge.rangeStyle(), GaugeRange::RangeStyle_Arc);
        QCOMPARE(gauge.sizeHint(), QSize(200, 200));
        QCOMPARE(gauge.minimumSizeHint(), QSize(50, 50));
        QVERIFY(gauge.font().bold());
        QCOMPARE(gauge.font().pointSize(), 20);
    }

    // The value and the maximum of the records page, set in either order.
    void valueAndMaximumOrder_data()
    {
        QTest::addColumn<bool>("maximumFirst");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expectedValue");
        QTest::addColumn<int>("emitted");
        QTest::newRow("49 of 50, maximum first") << true << 50 << 49 << 49 << 1;
        QTest::newRow("49 of 50, value first") << false << 50 << 49 << 49 << 1;
        QTest::newRow("120 of 150, maximum first") << true << 150 << 120 << 120 << 1;
        QTest::newRow("120 of 150, value first: refused") << false << 150 << 120 << 1 << 0;
        QTest::newRow("60 above 50, maximum first: refused") << true << 50 << 60 << 1 << 0;
    }
    void valueAndMaximumOrder()
    {
        QFETCH(bool, maximumFirst);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, expectedValue);
        QFETCH(int, emitted);
        GaugeRange gauge;
        QSignalSpy changed(&gauge, &GaugeRange::valueChanged);
        if (maximumFirst) {
            gauge.setMaxValue(maximum);
            gauge.setRightValue(value);
        } else {
            gauge.setRightValue(value);
            gauge.setMaxValue(maximum);
        }
        QCOMPARE(gauge.maxValue(), maximum);
        QCOMPARE(gauge.rightValue(), expectedValue);
        QCOMPARE(changed.count(), emitted);
        if (emitted)
            QCOMPARE(changed.first(), (QVariantList{0, value}));
    }

    void scaleBounds_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("argument");
        QTest::addColumn<QList<int>>("expected"); // min, max, left, right
        QTest::newRow("maximum at the minimum") << "max" << 0 << QList<int>{0, 100, 0, 1};
        QTest::newRow("maximum below the minimum") << "max" << -5 << QList<int>{0, 100, 0, 1};
        QTest::newRow("maximum lowers the right end") << "max" << 30 << QList<int>{0, 30, 20, 30};
        QTest::newRow("maximum below the whole range") << "max" << 10 << QList<int>{0, 10, 10, 10};
        QTest::newRow("minimum at the maximum") << "min" << 100 << QList<int>{0, 100, 20, 40};
        QTest::newRow("minimum raises the left end") << "min" << 25 << QList<int>{25, 100, 25, 40};
        QTest::newRow("minimum above the whole range") << "min" << 60 << QList<int>{60, 100, 60, 60};
    }
    void scaleBounds()
    {
        QFETCH(QString, call);
        QFETCH(int, argument);
        QFETCH(QList<int>, expected);
        GaugeRange gauge;
        if (call == QLatin1String("max") && argument <= 0) {
            // The defaults, untouched by a refused maximum.
            gauge.setMaxValue(argument);
        } else {
            gauge.setCurrentRange(20, 40);
            if (call == QLatin1String("max"))
                gauge.setMaxValue(argument);
            else
                gauge.setMinValue(argument);
        }
        QCOMPARE((QList<int>{gauge.minValue(), gauge.maxValue(), gauge.leftValue(), gauge.rightValue()}), expected);
    }

    void valueSetters()
    {
        GaugeRange gauge;
        QSignalSpy changed(&gauge, &GaugeRange::valueChanged);
        gauge.setCurrentRange(40, 20);
        gauge.setCurrentRange(-1, 20);
        gauge.setCurrentRange(10, 101);
        QCOMPARE(changed.count(), 0);
        gauge.setCurrentRange(10, 60);
        QCOMPARE(changed.takeFirst(), (QVariantList{10, 60}));

        gauge.setLeftValue(61);
        gauge.setLeftValue(-1);
        QCOMPARE(changed.count(), 0);
        gauge.setLeftValue(30);
        QCOMPARE(changed.takeFirst(), (QVariantList{30, 60}));

        gauge.setRightValue(29);
        gauge.setRightValue(101);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(gauge.rightValue(), 60);

        gauge.setCurrentValue(70);
        QCOMPARE(gauge.currentValue(), 50);
        gauge.setCurrentValue(31);
        QCOMPARE(gauge.currentValue(), 31);
        QCOMPARE(changed.count(), 0);

        gauge.setRange(50, 50);
        QCOMPARE((QList<int>{gauge.minValue(), gauge.maxValue()}), (QList<int>{0, 100}));
        gauge.setRange(40, 50);
        QCOMPARE((QList<int>{gauge.minValue(), gauge.maxValue(), gauge.leftValue(), gauge.rightValue()}),
            (QList<int>{40, 50, 40, 50}));
    }

    // With the default angles the range starts at 12 o'clock and runs clockwise.
    void paintsQuarterArc()
    {
        GaugeRange gauge;
        gauge.resize(278, 154);
        gauge.setRightValue(25);
        const QImage image = Render(gauge);
        const QColor used(45, 206, 222);
        const QColor free(255, 255, 255);
        for (double angle : {10.0, 45.0, 80.0})
            QCOMPARE(RingAt(image, angle), used);
        for (double angle : {115.0, 180.0, 270.0, 340.0})
            QCOMPARE(RingAt(image, angle), free);
        // The end dots lie on the ring at both ends and reach beyond the track.
        QCOMPARE(image.pixelColor(138, 77 - 54), used);
        QCOMPARE(image.pixelColor(139 + 54, 78), used);
        QCOMPARE(image.pixelColor(138, 77 + 54), free);
        // The outer guide circle, the background outside it and the line along the bottom.
        QCOMPARE(image.pixelColor(139, 77 + 70), kBackground);
        QCOMPARE(image.pixelColor(100, 153), QColor(189, 233, 218));
    }

    void paintsLargeScales()
    {
        GaugeRange gauge;
        gauge.resize(278, 154);
        gauge.setMaxValue(36450);
        gauge.setRightValue(18225);
        const QImage image = Render(gauge);
        QCOMPARE(RingAt(image, 150), QColor(45, 206, 222));
        QCOMPARE(RingAt(image, 210), QColor(255, 255, 255));
    }

    void paintsTheNumbers()
    {
        GaugeRange gauge;
        gauge.resize(278, 154);
        gauge.setMaxValue(150);
        gauge.setRightValue(88);
        const QImage image = Render(gauge);
        // The number in the middle, above the maximum, and the caption at the top left, each in
        // its colour where the glyphs are solid.
        QCOMPARE(Strongest(image, QRect(119, 56, 40, 22)), QColor(0, 210, 153));
        QCOMPARE(Strongest(image, QRect(124, 82, 30, 14)), QColor(165, 197, 186));
        QCOMPARE(Strongest(image, QRect(14, 0, 80, 14)), QColor(165, 197, 186));
        QCOMPARE(Strongest(image, QRect(200, 0, 70, 14)), kBackground);
    }

    void tickStyle()
    {
        GaugeRange gauge;
        gauge.resize(220, 220);
        gauge.setRangeStyle(GaugeRange::RangeStyle_Tick);
        gauge.setScaleMajor(36);
        gauge.setCurrentRange(0, 50);
        gauge.setFreeColor(QColor(200, 0, 0));
        const QImage image = Render(gauge);
        // Ticks from 12 o'clock clockwise are used up to half way round, free after it.
        auto tickAt = [&image](double clockDegrees) {
            const double radians = qDegreesToRadians(clockDegrees);
            return image.pixelColor(qRound(110 + 94 * qSin(radians)), qRound(110 - 94 * qCos(radians)));
        };
        QVERIFY(Distance(tickAt(90), QColor(45, 206, 222)) < Distance(tickAt(90), kBackground));
        QVERIFY(Distance(tickAt(270), QColor(200, 0, 0)) < Distance(tickAt(270), kBackground));
        QCOMPARE(tickAt(85), kBackground);
    }
};

QTEST_MAIN(TestGaugeRange)
#include "tst_gaugerange.moc"

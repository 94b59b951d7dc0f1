#include <QTest>

#include "core/CGammaRamp.h"
#include "gammadisplay.h"

class TestGammaRamp : public QObject
{
    Q_OBJECT
private slots:
    void multipliersAndLastEntries_data();
    void multipliersAndLastEntries();
    void rampStartsAtZeroAndStaysBounded_data();
    void rampStartsAtZeroAndStaysBounded();
    void linearRampIsNotTheFullStrengthRamp();
    void strengthToKelvin_data();
    void strengthToKelvin();
    void resampleKeepsTheCurve_data();
    void resampleKeepsTheCurve();
};

void TestGammaRamp::multipliersAndLastEntries_data()
{
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<double>("red");
    QTest::addColumn<double>("green");
    QTest::addColumn<double>("blue");
    QTest::addColumn<int>("lastRed");
    QTest::addColumn<int>("lastGreen");
    QTest::addColumn<int>("lastBlue");
    // Strength 0 … 100 of the panel; the last entries follow from the truncated products.
    QTest::newRow("strength 0") << 6600 << 255.00 << 255.00 << 255.00 << 65025 << 65025 << 65025;
    QTest::newRow("strength 10") << 6280 << 255.00 << 250.69 << 244.39 << 65025 << 63924 << 62318;
    QTest::newRow("strength 15") << 6120 << 255.00 << 248.12 << 240.12 << 65025 << 63270 << 61231;
    QTest::newRow("strength 20") << 5960 << 255.00 << 245.48 << 235.73 << 65025 << 62598 << 60110;
    QTest::newRow("strength 30") << 5640 << 255.00 << 239.99 << 226.49 << 65025 << 61198 << 57754;
    QTest::newRow("strength 40") << 5320 << 255.00 << 234.18 << 216.59 << 65025 << 59716 << 55230;
    QTest::newRow("strength 50") << 5000 << 255.00 << 228.01 << 205.93 << 65025 << 58143 << 52512;
    QTest::newRow("strength 75") << 4200 << 255.00 << 210.67 << 175.02 << 65025 << 53720 << 44630;
    QTest::newRow("strength 100") << 3400 << 255.00 << 189.65 << 135.17 << 65025 << 48360 << 34468;
    // Outside the panel's range: the power branches above 66, the blue cut-off at 19.
    QTest::newRow("6700 K") << 6700 << 254.42 << 248.75 << 255.00 << -1 << -1 << 65025;
    QTest::newRow("10000 K") << 10000 << 201.70 << 218.07 << 255.00 << -1 << -1 << 65025;
    QTest::newRow("2000 K") << 2000 << 255.00 << 136.87 << 13.90 << 65025 << -1 << -1;
    QTest::newRow("1900 K") << 1900 << 255.00 << -1.0 << 0.00 << 65025 << -1 << 0;
    // A hand-edited strength far out of range: ln of a negative number must end as 0, not as
    // an undefined conversion.
    QTest::newRow("below zero") << -3000 << 255.00 << 0.00 << 0.00 << 65025 << 0 << 0;
}

void TestGammaRamp::multipliersAndLastEntries()
{
    QFETCH(int, kelvin);
    QFETCH(double, red);
    QFETCH(double, green);
    QFETCH(double, blue);
    QFETCH(int, lastRed);
    QFETCH(int, lastGreen);
    QFETCH(int, lastBlue);

    const CGammaRamp::Multipliers m = CGammaRamp::ChannelMultipliers(kelvin);
    auto twoDecimals = [](double value) { return QString::number(value, 'f', 2); };
    QCOMPARE(twoDecimals(m.red), twoDecimals(red));
    if (green >= 0)
        QCOMPARE(twoDecimals(m.green), twoDecimals(green));
    QCOMPARE(twoDecimals(m.blue), twoDecimals(blue));

    CGammaRamp ramp;
    ramp.FillColorTemperature(kelvin);
    const int last = CGammaRamp::Size - 1;
    if (lastRed >= 0)
        QCOMPARE(int(ramp.Red()[last]), lastRed);
    if (lastGreen >= 0)
        QCOMPARE(int(ramp.Green()[last]), lastGreen);
    if (lastBlue >= 0)
        QCOMPARE(int(ramp.Blue()[last]), lastBlue);
}

void TestGammaRamp::rampStartsAtZeroAndStaysBounded_data()
{
    QTest::addColumn<int>("kelvin");
    for (const int kelvin : {1000, 1900, 2000, 3400, 4711, 5640, 6280, 6599, 6600, 6601, 6700, 10000, 40000})
        QTest::newRow(qPrintable(QStringLiteral("%1 K").arg(kelvin))) << kelvin;
}

void TestGammaRamp::rampStartsAtZeroAndStaysBounded()
{
    QFETCH(int, kelvin);
    CGammaRamp ramp;
    ramp.FillColorTemperature(kelvin);
    for (const quint16* channel : {ramp.Red(), ramp.Green(), ramp.Blue()}) {
        QCOMPARE(int(channel[0]), 0);
        for (int i = 1; i < CGammaRamp::Size; ++i) {
            QVERIFY2(channel[i] <= 65025, qPrintable(QString::number(i)));
            QVERIFY2(channel[i] >= channel[i - 1], qPrintable(QString::number(i)));
        }
    }
}

void TestGammaRamp::linearRampIsNotTheFullStrengthRamp()
{
    CGammaRamp ramp;
    ramp.FillColorTemperature(6600);
    for (int i = 0; i < CGammaRamp::Size; ++i)
        QCOMPARE(int(ramp.Green()[i]), i * 255);
    // Refilling the same block leaves nothing of the tint behind.
    ramp.FillLinear();
    for (int i = 0; i < CGammaRamp::Size; ++i) {
        QCOMPARE(int(ramp.Red()[i]), i * 256);
        QCOMPARE(int(ramp.Green()[i]), i * 256);
        QCOMPARE(int(ramp.Blue()[i]), i * 256);
    }
    QCOMPARE(int(ramp.Blue()[CGammaRamp::Size - 1]), 65280);
}

void TestGammaRamp::strengthToKelvin_data()
{
    QTest::addColumn<int>("strength");
    QTest::addColumn<int>("kelvin");
    QTest::newRow("0") << 0 << 6600;
    QTest::newRow("30") << 30 << 5640;
    QTest::newRow("100") << 100 << 3400;
    QTest::newRow("stored 300") << 300 << -3000;
    QTest::newRow("huge saturates") << 2000000000 << INT_MIN;
    QTest::newRow("huge negative saturates") << -2000000000 << INT_MAX;
}

void TestGammaRamp::strengthToKelvin()
{
    QFETCH(int, strength);
    QFETCH(int, kelvin);
    QCOMPARE(CGammaRamp::KelvinForStrength(strength), kelvin);
}

void TestGammaRamp::resampleKeepsTheCurve_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("same length") << 256;
    QTest::newRow("longer, as many drivers use") << 1024;
    QTest::newRow("shorter") << 64;
    QTest::newRow("odd length") << 1001;
}

void TestGammaRamp::resampleKeepsTheCurve()
{
    QFETCH(int, size);
    CGammaRamp ramp;
    ramp.FillColorTemperature(4200);
    std::vector<quint16> target(size_t(size), 0);
    CGammaDisplay::Resample(ramp.Blue(), CGammaRamp::Size, target.data(), size);
    QCOMPARE(target.front(), ramp.Blue()[0]);
    QCOMPARE(target.back(), ramp.Blue()[CGammaRamp::Size - 1]);
    for (int i = 1; i < size; ++i)
        QVERIFY2(target[size_t(i)] >= target[size_t(i - 1)], qPrintable(QString::number(i)));
    // Every entry lies on the source curve between its two neighbours.
    for (int i = 0; i < size; ++i) {
        const double position = double(i) * (CGammaRamp::Size - 1) / (size - 1);
        const int lower = int(position);
        const int upper = qMin(lower + 1, CGammaRamp::Size - 1);
        QVERIFY(target[size_t(i)] >= ramp.Blue()[lower] && target[size_t(i)] <= ramp.Blue()[upper]);
    }
    if (size == CGammaRamp::Size)
        QVERIFY(std::equal(target.begin(), target.end(), ramp.Blue()));
}

QTEST_APPLESS_MAIN(TestGammaRamp)
#include "tst_gammaramp.moc"

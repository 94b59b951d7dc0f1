// The wlroots gamma control against a compositor of the test's own, which records every table.
#include <QTest>

#include <memory>

#include "core/CGammaRamp.h"
#include "TestHome.h"
#include "WaylandTestCompositor.h"
#include "gammadisplay.h"
#include "linux/gamma_wlroots.h"

namespace {
constexpr int kWaitMs = 5000;

// The table an output of `size` entries should get for a ramp of 256.
QVector<quint16> Expected(const CGammaRamp& ramp, int size)
{
    QVector<quint16> table(3 * size);
    CGammaDisplay::Resample(ramp.Red(), CGammaRamp::Size, table.data(), size);
    CGammaDisplay::Resample(ramp.Green(), CGammaRamp::Size, table.data() + size, size);
    CGammaDisplay::Resample(ramp.Blue(), CGammaRamp::Size, table.data() + 2 * size, size);
    return table;
}

GammaRampView View(const CGammaRamp& ramp)
{
    return {ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size};
}

int Tables(const CWaylandTestCompositor& compositor, int output)
{
    return compositor.Outputs().at(size_t(output)).tables.size();
}

QVector<quint16> LastTable(const CWaylandTestCompositor& compositor, int output)
{
    const auto tables = compositor.Outputs().at(size_t(output)).tables;
    return tables.isEmpty() ? QVector<quint16>() : tables.last();
}
}

class TestWlrootsGamma : public QObject
{
    Q_OBJECT
private slots:
    void outputsAreFollowed();
};

void TestWlrootsGamma::outputsAreFollowed()
{
    const CTestHome home;
    CWaylandTestCompositor compositor(true, {1024, 256});
    QVERIFY(!compositor.SocketName().isEmpty());
    qputenv("WAYLAND_DISPLAY", compositor.SocketName());
    auto gamma = std::make_unique<CWlrootsGamma>();
    gamma->Collect();
    QCOMPARE(gamma->MonitorCount(), 2);
    // No tint, no control held: other programs may have them meanwhile.
    QTest::qWait(50);
    QVERIFY(!compositor.Outputs().at(0).controlled);

    CGammaRamp warm;
    warm.FillColorTemperature(5640);
    gamma->SetTemperature(5640, View(warm));
    QTRY_COMPARE_WITH_TIMEOUT(Tables(compositor, 0), 1, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(Tables(compositor, 1), 1, kWaitMs);
    QCOMPARE(LastTable(compositor, 0), Expected(warm, 1024));
    QCOMPARE(LastTable(compositor, 1), Expected(warm, 256));
    QCOMPARE(LastTable(compositor, 1).at(255), quint16(65025));

    // A new output gets the tint in force without another write.
    const int added = compositor.AddOutput(512);
    QTRY_COMPARE_WITH_TIMEOUT(Tables(compositor, added), 1, kWaitMs);
    QCOMPARE(LastTable(compositor, added), Expected(warm, 512));
    QCOMPARE(gamma->MonitorCount(), 3);

    // Another program takes output 0: the compositor fails its control and refuses it when asked
    // again. A removed output is forgotten.
    compositor.RefuseControls(true);
    compositor.FailControl(0);
    QTRY_COMPARE_WITH_TIMEOUT(gamma->MonitorCount(), 2, kWaitMs);
    compositor.RemoveOutput(1);
    QTRY_COMPARE_WITH_TIMEOUT(gamma->MonitorCount(), 1, kWaitMs);
    QVERIFY(gamma->CanTint());
    CGammaRamp warmer;
    warmer.FillColorTemperature(3400);
    gamma->SetTemperature(3400, View(warmer));
    QTRY_COMPARE_WITH_TIMEOUT(Tables(compositor, added), 2, kWaitMs);
    QCOMPARE(LastTable(compositor, added), Expected(warmer, 512));
    QTest::qWait(100);
    QCOMPARE(Tables(compositor, 0), 1);
    QCOMPARE(Tables(compositor, 1), 1);

    // Off gives the control up: the compositor puts the output's own tables back.
    CGammaRamp linear;
    linear.FillLinear();
    gamma->Restore(View(linear));
    QTRY_VERIFY_WITH_TIMEOUT(!compositor.Outputs().at(size_t(added)).controlled, kWaitMs);
    QCOMPARE(Tables(compositor, added), 2);
    // The other program let go: on again reaches output 0 too.
    compositor.RefuseControls(false);
    gamma->SetTemperature(5640, View(warm));
    QTRY_COMPARE_WITH_TIMEOUT(Tables(compositor, added), 3, kWaitMs);
    QCOMPARE(LastTable(compositor, added), Expected(warm, 512));
    QTRY_COMPARE_WITH_TIMEOUT(Tables(compositor, 0), 2, kWaitMs);
    QCOMPARE(LastTable(compositor, 0), Expected(warm, 1024));
    QCOMPARE(gamma->MonitorCount(), 2);

    // However the program ends, the compositor sees the connection close.
    QCOMPARE(compositor.DisconnectedClients(), 0);
    gamma.reset();
    QTRY_COMPARE_WITH_TIMEOUT(compositor.DisconnectedClients(), 1, kWaitMs);
    qunsetenv("WAYLAND_DISPLAY");
}

QTEST_GUILESS_MAIN(TestWlrootsGamma)
#include "tst_wlrootsgamma.moc"

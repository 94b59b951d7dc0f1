// Idle time from a Wayland compositor's idle notifier, against a compositor of the test's own.
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "TestHome.h"
#include "WaylandTestCompositor.h"
#include "idlemonitor.h"

Q_DECLARE_METATYPE(CWaylandTestCompositor::Idle)

namespace {
constexpr int kWaitMs = 5000;
constexpr int kThresholdSecs = 120;
}

class TestWaylandIdle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void idleFromTheCompositor_data();
    void idleFromTheCompositor();
    void compositorGoneCountsAsBack();
};

void TestWaylandIdle::initTestCase()
{
    // No session bus: GNOME's monitor, asked where the compositor offers no notifier, is not there.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    qunsetenv("XDG_SESSION_TYPE");
}

void TestWaylandIdle::idleFromTheCompositor_data()
{
    QTest::addColumn<CWaylandTestCompositor::Idle>("offered");
    QTest::addColumn<QVector<bool>>("idleAfterIdledResumed");
    QTest::newRow("idle notifier") << CWaylandTestCompositor::Idle::Notifier << QVector<bool> {true, false};
    // KDE Plasma 5 and sway 1.7.
    QTest::newRow("KDE's idle timeout alone") << CWaylandTestCompositor::Idle::KdeIdle << QVector<bool> {true, false};
    // Nor is the X server's counter asked: it sees none of the Wayland programs' input.
    QTest::newRow("no idle protocol") << CWaylandTestCompositor::Idle::None << QVector<bool> {false, false};
}

void TestWaylandIdle::idleFromTheCompositor()
{
    QFETCH(CWaylandTestCompositor::Idle, offered);
    QFETCH(QVector<bool>, idleAfterIdledResumed);
    const bool offersNotifier = offered != CWaylandTestCompositor::Idle::None;
    const CTestHome home;
    CWaylandTestCompositor compositor(false, {}, offered);
    QVERIFY(!compositor.SocketName().isEmpty());
    qputenv("WAYLAND_DISPLAY", compositor.SocketName());

    CIdleMonitor idle(kThresholdSecs);
    QSignalSpy started(&idle, &CIdleMonitor::IdleStarted);
    QSignalSpy ended(&idle, &CIdleMonitor::IdleEnded);
    QCOMPARE(idle.IsAvailable(), offersNotifier);
    // The compositor is asked for exactly the threshold.
    std::vector<uint32_t> timeouts;
    if (offersNotifier)
        timeouts.push_back(kThresholdSecs * 1000);
    QTRY_VERIFY_WITH_TIMEOUT(compositor.IdleTimeoutsMs() == timeouts, kWaitMs);

    compositor.SendIdled();
    QTRY_COMPARE_WITH_TIMEOUT(idle.IsIdle(), idleAfterIdledResumed.at(0), kWaitMs);
    compositor.SendResumed();
    QTRY_COMPARE_WITH_TIMEOUT(idle.IsIdle(), idleAfterIdledResumed.at(1), kWaitMs);
    QTest::qWait(50);
    QCOMPARE(started.count(), int(idleAfterIdledResumed.at(0)));
    QCOMPARE(ended.count(), int(idleAfterIdledResumed.at(0)));
}

void TestWaylandIdle::compositorGoneCountsAsBack()
{
    const CTestHome home;
    auto compositor
        = std::make_unique<CWaylandTestCompositor>(false, std::vector<int> {}, CWaylandTestCompositor::Idle::Notifier);
    qputenv("WAYLAND_DISPLAY", compositor->SocketName());
    CIdleMonitor idle(kThresholdSecs);
    QVERIFY(idle.IsAvailable());
    QTRY_COMPARE_WITH_TIMEOUT(compositor->IdleTimeoutsMs().size(), size_t(1), kWaitMs);
    compositor->SendIdled();
    QTRY_VERIFY_WITH_TIMEOUT(idle.IsIdle(), kWaitMs);

    // No input can be reported any more: held as away, the user would get no reminder again.
    compositor.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!idle.IsIdle(), kWaitMs);
}

QTEST_GUILESS_MAIN(TestWaylandIdle)
#include "tst_waylandidle.moc"

#include <limits>

#include <QSignalSpy>
#include <QTest>

#include "core/CIniSettings.h"
#include "CMainTick.h"
#include "CUpdateContext.h"
#include "ITickHost.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr qint64 kStart = 1796600000;

// Records what the tick asked of the frame, in order.
class CRecordingHost : public ITickHost
{
public:
    QStringList calls;
    bool recordsCurrent = false;
    bool drinksSettingsCurrent = false;
    bool relaxSettingsCurrent = false;

    bool IsDrinksRecordCurrent() const override { return recordsCurrent; }
    bool IsDrinksSettingsCurrent() const override { return drinksSettingsCurrent; }
    bool IsRelaxSettingsCurrent() const override { return relaxSettingsCurrent; }
    void PlayPromptSound(int kind) override { calls << QStringLiteral("sound %1").arg(kind); }
    void OnDrinksTipsShow() override { calls << QStringLiteral("drink"); }
    void OnRelaxTipsShow() override { calls << QStringLiteral("relax"); }
    void RefreshDrinksSettings() override { calls << QStringLiteral("refresh drink"); }
    void RefreshRelaxSettings() override { calls << QStringLiteral("refresh relax"); }
    void ReportFeatureStates() override { calls << QStringLiteral("features"); }
    void ShowWaitReason(const QString&) override {}
};
}

class TestMainTick : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void intervals_data();
    void intervals();
    void gridAdvance_data();
    void gridAdvance();
    void fiveMinuteDefault();
    void drinkReminderScript();
    void silencesHoldOnlyReminders_data();
    void silencesHoldOnlyReminders();
    void suspendHoldsRemindersUntilResume();
    void pauseHoldsEveryReminder_data();
    void pauseHoldsEveryReminder();
    void settingsPagesRefreshWhenCurrent();
    void bootReportOnceInItsWindow();
    void heartbeatHourly_data();
    void heartbeatHourly();
    void dayChangeEveryThirdSecond();

private:
    void RunAt(CMainTick& tick, qint64 now);

    CTestHome* m_home = nullptr;
};

void TestMainTick::init()
{
    m_home = new CTestHome;
    CClock::Set(kStart);
}

void TestMainTick::cleanup()
{
    CIniSettings::Destroy();
    delete m_home;
}

void TestMainTick::RunAt(CMainTick& tick, qint64 now)
{
    CClock::Set(now);
    tick.Run();
}

void TestMainTick::intervals_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::newRow("zero means five minutes") << 0 << 0 << 300;
    QTest::newRow("45 minutes") << 0 << 45 << 2700;
    QTest::newRow("longest offered") << 6 << 55 << 24900;
    QTest::newRow("negative hours") << -1 << 0 << 300;
    QTest::newRow("negative in all") << -2 << 30 << 300;
    QTest::newRow("negative minutes within an hour") << 1 << -15 << 2700;
    QTest::newRow("beyond any clock") << std::numeric_limits<int>::max() << 0 << std::numeric_limits<int>::max();
}

void TestMainTick::intervals()
{
    QFETCH(int, hours);
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QCOMPARE(CMainTick::Interval(hours, minutes), seconds);
}

void TestMainTick::gridAdvance_data()
{
    QTest::addColumn<qint64>("stamp");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("due");
    QTest::addColumn<qint64>("advanced");
    QTest::newRow("exactly on the due second") << kStart << kStart + 2700 << 2700 << false << kStart;
    QTest::newRow("first second after") << kStart << kStart + 2701 << 2700 << true << kStart + 2700;
    QTest::newRow("missed ones are skipped") << kStart << kStart + 6000 << 2700 << true << kStart + 5400;
    QTest::newRow("10500 s old, hourly") << kStart - 10500 << kStart << 3600 << true << kStart - 10500 + 7200;
    QTest::newRow("never stamped") << qint64(0) << kStart << 300 << true << kStart / 300 * 300;
    QTest::newRow("stamp in the future") << kStart + 100 << kStart << 300 << false << kStart + 100;
    // 2038-01-19 03:14:07 UTC is the last second a signed 32-bit count holds.
    QTest::newRow("due time past 2038, not yet due") << qint64(2147482000) << qint64(2147483000) << 2700 << false
                                                     << qint64(2147482000);
    QTest::newRow("due time past 2038, due") << qint64(2147482000) << qint64(2147484701) << 2700 << true
                                             << qint64(2147484700);
}

void TestMainTick::gridAdvance()
{
    QFETCH(qint64, stamp);
    QFETCH(qint64, now);
    QFETCH(int, interval);
    QFETCH(bool, due);
    QFETCH(qint64, advanced);
    QCOMPARE(CMainTick::AdvanceGrid(now, stamp, interval), due);
    QCOMPARE(stamp, advanced);
}

void TestMainTick::fiveMinuteDefault()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinkTimestamp(kStart);
    CRecordingHost host;
    CMainTick tick(host, kStart);
    RunAt(tick, kStart + 300);
    QVERIFY(host.calls.isEmpty());
    RunAt(tick, kStart + 301);
    QCOMPARE(host.calls, QStringList{QStringLiteral("drink")});
    QCOMPARE(settings->GetDrinkTimestamp(), kStart + 300);
    RunAt(tick, kStart + 601);
    QCOMPARE(host.calls.count(), 2);
}

void TestMainTick::drinkReminderScript()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinkPrompt(2);
    settings->SetDrinksTimerHour(1);
    settings->SetDrinkTimestamp(kStart - 10500);
    CRecordingHost host;
    CMainTick tick(host, kStart);

    RunAt(tick, kStart);
    QCOMPARE(host.calls, (QStringList{QStringLiteral("sound 2"), QStringLiteral("drink")}));
    QCOMPARE(settings->GetDrinkTimestamp(), kStart - 10500 + 7200);
    host.calls.clear();

    // The next one is due when the clock passes last + 10,800, 300 seconds later.
    for (qint64 now = kStart + 1; now <= kStart + 300; ++now)
        RunAt(tick, now);
    QVERIFY(host.calls.isEmpty());
    RunAt(tick, kStart + 301);
    QCOMPARE(host.calls, (QStringList{QStringLiteral("sound 2"), QStringLiteral("drink")}));
    QCOMPARE(settings->GetDrinkTimestamp(), kStart - 10500 + 10800);
}

void TestMainTick::silencesHoldOnlyReminders_data()
{
    QTest::addColumn<int>("tips");
    QTest::addColumn<int>("today");
    QTest::addColumn<bool>("records");
    QTest::newRow("no more pop-ups") << 1 << 0 << false;
    QTest::newRow("no pop-ups today") << 0 << 1 << false;
    QTest::newRow("odd stored value") << 5 << 0 << false;
    QTest::newRow("records page") << 0 << 0 << true;
}

void TestMainTick::silencesHoldOnlyReminders()
{
    QFETCH(int, tips);
    QFETCH(int, today);
    QFETCH(bool, records);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetRelaxStatus(2);
    settings->SetDrinkTimestamp(kStart - 1000);
    settings->SetRelaxTimestamp(kStart - 1000);
    settings->SetTipsStatus(tips);
    settings->SetTodayTipsStatus(today);
    settings->SetTimestamp(QDateTime(QDate(2020, 1, 1), QTime(12, 0)).toSecsSinceEpoch());
    CRecordingHost host;
    host.recordsCurrent = records;
    // Started an hour ago, so this tick also reaches the first heartbeat.
    CMainTick tick(host, kStart - 3600);
    QSignalSpy reports(CUpdateContext::Instance(), &CUpdateContext::EventReported);

    RunAt(tick, kStart);
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(settings->GetDrinkTimestamp(), kStart - 1000);
    QCOMPARE(settings->GetRelaxTimestamp(), kStart - 1000);
    // The day change and the heartbeat still run.
    QCOMPARE(settings->GetTimestamp(), kStart);
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("heartbeat"));

    settings->SetTipsStatus(0);
    settings->SetTodayTipsStatus(0);
    host.recordsCurrent = false;
    RunAt(tick, kStart + 1);
    QCOMPARE(host.calls, (QStringList{QStringLiteral("drink"), QStringLiteral("relax")}));
}

void TestMainTick::suspendHoldsRemindersUntilResume()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxPrompt(2);
    settings->SetRelaxTimerMinute(45);
    settings->SetRelaxTimestamp(kStart);
    CRecordingHost host;
    CMainTick tick(host, kStart);

    tick.SetSuspended(true);
    for (qint64 now = kStart + 2690; now < kStart + 9000; now += 7)
        RunAt(tick, now);
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(settings->GetRelaxTimestamp(), kStart);

    tick.SetSuspended(false);
    RunAt(tick, kStart + 9001);
    QCOMPARE(host.calls, (QStringList{QStringLiteral("sound 2"), QStringLiteral("relax")}));
    QCOMPARE(settings->GetRelaxTimestamp(), kStart + 3 * 2700);
    RunAt(tick, kStart + 9002);
    QCOMPARE(host.calls.count(), 2);
}

void TestMainTick::pauseHoldsEveryReminder_data()
{
    // Seconds after the start: the pause's stored end, when it is ended early (0 for never), and
    // when the drink reminder, due every 45 minutes, shows first and next.
    QTest::addColumn<qint64>("until");
    QTest::addColumn<qint64>("resumed");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("next");
    QTest::newRow("held to the end of the pause") << qint64(3000) << qint64(0) << qint64(3000) << qint64(5701);
    QTest::newRow("resumed early") << qint64(3000) << qint64(2800) << qint64(2800) << qint64(5501);
    QTest::newRow("pause ended before due") << qint64(2000) << qint64(0) << qint64(2701) << qint64(5401);
    // The clock was put back after a pause was asked for.
    QTest::newRow("end more than a day off") << qint64(90000) << qint64(0) << qint64(2701) << qint64(5401);
}

// Every reminder waits out a pause and shows once when it ends; the next comes a full interval
// after that.
void TestMainTick::pauseHoldsEveryReminder()
{
    QFETCH(qint64, until);
    QFETCH(qint64, resumed);
    QFETCH(qint64, first);
    QFETCH(qint64, next);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinksTimerMinute(45);
    settings->SetDrinkTimestamp(kStart);
    settings->SetRelaxStatus(2);
    settings->SetRelaxTimerMinute(45);
    settings->SetRelaxTimestamp(kStart);
    settings->SetPausedUntil(kStart + until);
    CRecordingHost host;
    CMainTick tick(host, kStart);

    QList<qint64> shown;
    for (qint64 now = kStart + 1; now <= kStart + next; ++now) {
        if (resumed && now == kStart + resumed)
            settings->SetPausedUntil(0);
        RunAt(tick, now);
        if (!host.calls.isEmpty())
            shown << now - kStart;
        QCOMPARE(host.calls, host.calls.isEmpty() ? QStringList() : (QStringList{"drink", "relax"}));
        host.calls.clear();
    }
    QCOMPARE(shown, (QList<qint64>{first, next}));
}

void TestMainTick::settingsPagesRefreshWhenCurrent()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetRelaxStatus(2);
    settings->SetDrinkTimestamp(kStart - 400);
    settings->SetRelaxTimestamp(kStart - 400);
    CRecordingHost host;
    host.drinksSettingsCurrent = true;
    CMainTick tick(host, kStart);
    RunAt(tick, kStart + 1);
    QCOMPARE(host.calls, (QStringList{QStringLiteral("drink"), QStringLiteral("refresh drink"), QStringLiteral("relax")}));

    host.calls.clear();
    host.drinksSettingsCurrent = false;
    host.relaxSettingsCurrent = true;
    RunAt(tick, kStart + 302);
    QCOMPARE(host.calls, (QStringList{QStringLiteral("drink"), QStringLiteral("relax"), QStringLiteral("refresh relax")}));
}

void TestMainTick::bootReportOnceInItsWindow()
{
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetLaunchSource(CMainTick::BootLaunch);
    QSignalSpy reports(CUpdateContext::Instance(), &CUpdateContext::EventReported);
    for (qint64 elapsed = 1; elapsed < 179; ++elapsed)
        RunAt(tick, kStart + elapsed);
    QVERIFY(host.calls.isEmpty());
    QVERIFY(reports.isEmpty());

    // The first tick may come late; any tick between 180 and 359 seconds sends it, once.
    RunAt(tick, kStart + 250);
    QCOMPARE(host.calls, QStringList{QStringLiteral("features")});
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("boot_start"));
    for (qint64 elapsed = 251; elapsed < 800; ++elapsed)
        RunAt(tick, kStart + elapsed);
    QCOMPARE(host.calls.count(), 1);

    CRecordingHost lateHost;
    CMainTick late(lateHost, kStart);
    late.SetLaunchSource(CMainTick::BootLaunch);
    RunAt(late, kStart + 360);
    QVERIFY(lateHost.calls.isEmpty());

    CRecordingHost plainHost;
    CMainTick plain(plainHost, kStart);
    RunAt(plain, kStart + 200);
    QVERIFY(plainHost.calls.isEmpty());
}

void TestMainTick::heartbeatHourly_data()
{
    QTest::addColumn<QList<int>>("ticks"); // seconds since the start
    QTest::addColumn<int>("heartbeats");
    QList<int> everySecond;
    for (int elapsed = 0; elapsed <= 3 * 3600; ++elapsed)
        everySecond << elapsed;
    QTest::newRow("every second for three hours") << everySecond << 3;
    QTest::newRow("hours reached a second late") << QList<int>{1, 3599, 3601, 7199, 7201} << 2;
    QTest::newRow("two ticks in one second") << QList<int>{3599, 3600, 3600, 3601} << 1;
    QTest::newRow("hours asleep") << QList<int>{10, 4 * 3600 + 5, 4 * 3600 + 6} << 1;
}

void TestMainTick::heartbeatHourly()
{
    QFETCH(QList<int>, ticks);
    QFETCH(int, heartbeats);
    CRecordingHost host;
    CMainTick tick(host, kStart);
    QSignalSpy reports(CUpdateContext::Instance(), &CUpdateContext::EventReported);
    for (const int elapsed : qAsConst(ticks))
        RunAt(tick, kStart + elapsed);
    QCOMPARE(reports.count(), heartbeats);
    for (const QList<QVariant>& report : qAsConst(reports))
        QCOMPARE(report.at(0).toString(), QStringLiteral("heartbeat"));
}

void TestMainTick::dayChangeEveryThirdSecond()
{
    CIniSettings* settings = CIniSettings::Instance();
    const qint64 midnight = QDateTime(QDate(2026, 12, 8), QTime(0, 0)).toSecsSinceEpoch();
    settings->SetTimestamp(midnight - 3600);
    settings->SetAlreadyDrinksNumber(900);
    CRecordingHost host;
    CMainTick tick(host, midnight - 1);
    RunAt(tick, midnight);
    RunAt(tick, midnight + 1);
    QCOMPARE(settings->GetAlreadyDrinksNumber(), 900);
    RunAt(tick, midnight + 2);
    QCOMPARE(settings->GetAlreadyDrinksNumber(), 0);
    QCOMPARE(settings->GetTimestamp(), midnight + 2);
}

QTEST_GUILESS_MAIN(TestMainTick)
#include "tst_maintick.moc"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "CBaseManager.h"
#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "CMainTick.h"
#include "CRelaxSettingsWindow.h"
#include "CRelaxShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "ITickHost.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr qint64 kStamp = 1796600000;

// The frame's side of the rest reminder: the real prompt, and a record of the sounds asked for.
class CPromptHost : public ITickHost
{
public:
    CRelaxTipsWindow prompt;
    int sounds = 0;
    int shown = 0;
    bool recordsCurrent = false;

    bool IsDrinksRecordCurrent() const override { return recordsCurrent; }
    bool IsDrinksSettingsCurrent() const override { return false; }
    bool IsRelaxSettingsCurrent() const override { return false; }
    void PlayPromptSound(int kind) override { sounds += kind == 2 ? 1 : 100; }
    void OnDrinksTipsShow() override {}
    void OnRelaxTipsShow() override { shown += prompt.ShowReminder() ? 1 : 0; }
    void RefreshDrinksSettings() override {}
    void RefreshRelaxSettings() override {}
    void ReportFeatureStates() override {}
    void ShowWaitReason(const QString&) override {}
};
}

class TestRelaxSchedule : public QObject
{
    Q_OBJECT
private slots:
    void reminderAtChosenMoments_data();
    void reminderAtChosenMoments();
    void frameShowsPromptAndRefreshesPage();
};

void TestRelaxSchedule::reminderAtChosenMoments_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("before");
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<qint64>("stamp");

    QTest::newRow("0 h 0 min: not at 300 s") << 0 << 0 << QString() << qint64(300) << false << false << qint64(0);
    QTest::newRow("0 h 0 min: at 301 s") << 0 << 0 << QString() << qint64(301) << true << true << qint64(300);
    QTest::newRow("0 h 0 min: next one 300 s later") << 0 << 0 << QStringLiteral("put off at 301") << qint64(601)
                                                     << true << true << qint64(600);
    QTest::newRow("45 min: T + 2700 is not due") << 0 << 45 << QString() << qint64(2700) << false << false << qint64(0);
    QTest::newRow("45 min: T + 2701") << 0 << 45 << QString() << qint64(2701) << true << true << qint64(2700);
    QTest::newRow("45 min: T + 6000 keeps the grid") << 0 << 45 << QString() << qint64(6000) << true << true
                                                     << qint64(5400);
    QTest::newRow("during an open rest window") << 0 << 45 << QStringLiteral("rest open") << qint64(2701) << false
                                                << true << qint64(2700);
    QTest::newRow("records page holds it") << 0 << 45 << QStringLiteral("records page") << qint64(2701) << false
                                           << false << qint64(0);
    QTest::newRow("off and on keeps the phase") << 0 << 45 << QStringLiteral("off and on") << qint64(6000) << true
                                                << true << qint64(5400);
    QTest::newRow("no sound when switched off") << 1 << 0 << QStringLiteral("silent") << qint64(3601) << true
                                                << false << qint64(3600);
}

void TestRelaxSchedule::reminderAtChosenMoments()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, before);
    QFETCH(qint64, elapsed);
    QFETCH(bool, shown);
    QFETCH(bool, sound);
    QFETCH(qint64, stamp);

    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxPrompt(before == QLatin1String("silent") ? 0 : 2);
    settings->SetRelaxTimerHour(hour);
    settings->SetRelaxTimerMinute(minute);
    settings->SetRelaxTimestamp(kStamp);
    settings->SetRelaxSleepTimer(10);
    {
        CPromptHost host;
        CMainTick tick(host, kStamp);
        if (before == QLatin1String("put off at 301")) {
            CClock::Set(kStamp + 301);
            tick.Run();
            QCOMPARE(host.shown, 1);
            host.prompt.OnClose_Click();
            host.shown = 0;
            host.sounds = 0;
        } else if (before == QLatin1String("rest open")) {
            host.prompt.OnRelaxShow();
            QVERIFY(host.prompt.HasOpenRestWindows());
        } else if (before == QLatin1String("records page")) {
            host.recordsCurrent = true;
        } else if (before == QLatin1String("off and on")) {
            settings->SetRelaxStatus(0);
            CClock::Set(kStamp + 3000);
            tick.Run();
            settings->SetRelaxStatus(2);
        }

        CClock::Set(kStamp + elapsed);
        tick.Run();
        QCOMPARE(host.shown == 1, shown);
        QCOMPARE(host.prompt.isVisible(), shown);
        QCOMPARE(host.sounds, sound ? 1 : 0);
        QCOMPARE(settings->GetRelaxTimestamp(), kStamp + stamp);
        if (shown) {
            // A second reminder while the prompt is up shows nothing new.
            tick.Run();
            CClock::Advance(24 * 3600);
            tick.Run();
            QCOMPARE(host.shown, 1);
        }
    }
    CIniSettings::Destroy();
}

void TestRelaxSchedule::frameShowsPromptAndRefreshesPage()
{
    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxTimerMinute(45);
    settings->SetRelaxTimestamp(kStamp);
    CClock::Set(kStamp + 10);
    {
        CBaseManager frame;
        // The prompt is made when the first rest is due.
        QVERIFY(!frame.findChild<CRelaxTipsWindow*>());

        frame.OnRelaxSettings_Click();
        auto* page = frame.findChild<CRelaxSettingsWindow*>();
        auto* runtime = page->findChild<QLabel*>(QStringLiteral("label_runtime"));
        runtime->setText(QString());
        CClock::Set(kStamp + 2701);
        frame.Tick().Run();
        auto* prompt = frame.findChild<CRelaxTipsWindow*>();
        QVERIFY(prompt);
        QCOMPARE(prompt->parentWidget(), &frame);
        QVERIFY(prompt->isVisible());
        // The prompt carries the frame's own menu.
        QMenu* frameMenu = frame.findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu();
        QVERIFY(frameMenu);
        QCOMPARE(prompt->findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu(), frameMenu);
        QCOMPARE(settings->GetRelaxTimestamp(), kStamp + 2700);
        QCOMPARE(runtime->text(), QDateTime::fromSecsSinceEpoch(kStamp + 5400).toString(QStringLiteral("hh:mm")));

        // The next reminder during the rest opens nothing more.
        prompt->OnStartRelax_Click();
        QCOMPARE(prompt->ShowWindows().count(), 1);
        CClock::Set(kStamp + 5401);
        frame.Tick().Run();
        QVERIFY(prompt->isHidden());
        QCOMPARE(prompt->ShowWindows().count(), 1);
        QCOMPARE(settings->GetRelaxTimestamp(), kStamp + 5400);
    }
    CIniSettings::Destroy();
    CCommon::Destroy();
}

QTEST_MAIN(TestRelaxSchedule)
#include "tst_relaxschedule.moc"

// Every way a rest reminder can end, driven through the schedule, the prompt and the rest
// windows on the simulated clock, and read back from the history file.
#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include "CConsiderateGate.h"
#include "CHistoryWriter.h"
#include "core/CIniSettings.h"
#include "CMainTick.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "CRestHistory.h"
#include "HistoryColumn.h"
#include "ITickHost.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr qint64 kStamp = 1796600000;
constexpr int kIntervalMinutes = 45;
constexpr int kRestMinutes = 1;

class CPromptHost : public ITickHost
{
public:
    CRelaxTipsWindow prompt;

    bool IsDrinksRecordCurrent() const override { return false; }
    bool IsDrinksSettingsCurrent() const override { return false; }
    bool IsRelaxSettingsCurrent() const override { return false; }
    void PlayPromptSound(int) override {}
    void OnDrinksTipsShow() override {}
    void OnRelaxTipsShow() override { prompt.ShowReminder(); }
    void RefreshDrinksSettings() override {}
    void RefreshRelaxSettings() override {}
    void ReportFeatureStates() override {}
    void ShowWaitReason(const QString&) override {}
};

// Takes the feedback page the full-screen window opens, instead of a browser.
class CBrowser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

// Runs a rest window's countdown to its end, one simulated second a tick.
template <typename Window>
void RunToEnd(Window* window)
{
    for (int second = 0; second <= kRestMinutes * 60; ++second) {
        CClock::Advance(1);
        window->CountdownTick();
    }
}
}

class TestRestOutcomes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "Open");
    }
    void outcomeReadBackFromFile_data();
    void outcomeReadBackFromFile();

private:
    CBrowser m_browser;
};

void TestRestOutcomes::outcomeReadBackFromFile_data()
{
    QTest::addColumn<int>("fullScreen");
    QTest::addColumn<QString>("action");
    // What the file holds afterwards: "offset-from-due kind outcome minutes reason" per row.
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("pop-up taken") << 0 << "start, run to end" << QStringList{"61 0 0 0 "};
    QTest::newRow("pop-up ended early") << 0 << "start, finish" << QStringList{"0 0 1 0 "};
    QTest::newRow("pop-up minimised ends it early") << 0 << "start, close" << QStringList{"0 0 1 0 "};
    QTest::newRow("full-screen taken") << 1 << "start, run to end" << QStringList{"61 1 0 0 "};
    QTest::newRow("full-screen ended early") << 1 << "start, finish" << QStringList{"0 1 1 0 "};
    QTest::newRow("full-screen feedback ends it early") << 1 << "start, feedback" << QStringList{"0 1 1 0 "};
    QTest::newRow("put off") << 0 << "put off" << QStringList{"0 0 2 45 "};
    QTest::newRow("full-screen silenced for an hour") << 1 << "silenced, start" << QStringList{"0 1 3 0 "};
    QTest::newRow("held by a full-screen program, then taken")
        << 0 << "full-screen program, start, run to end" << QStringList{"0 0 4 0 fullscreen", "91 0 0 0 "};
    QTest::newRow("away for a rest's length") << 1 << "away" << QStringList{"0 1 4 0 away", "60 1 5 0 "};
}

void TestRestOutcomes::outcomeReadBackFromFile()
{
    QFETCH(int, fullScreen);
    QFETCH(QString, action);
    QFETCH(QStringList, rows);

    m_browser.opened.clear();
    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxFullStatus(fullScreen);
    settings->SetRelaxTimerMinute(kIntervalMinutes);
    settings->SetRelaxTimestamp(kStamp);
    settings->SetRelaxSleepTimer(kRestMinutes);
    settings->SetConsiderateFullscreen(true);
    settings->SetConsiderateAway(true);
    const qint64 due = kStamp + kIntervalMinutes * 60 + 1;
    QString fileName;
    {
        CHistoryWriter writer;
        CRestHistory history(&writer);
        CPromptHost host;
        CConsiderateGate gate;
        CMainTick tick(host, kStamp);
        tick.SetGate(&gate);
        tick.SetRestHistory(&history);
        connect(&host.prompt, &CRelaxTipsWindow::RestEnded, &history,
            [&history](stRestData::Kind kind, stRestData::Outcome outcome, int minutes) {
                history.Record(kind, outcome, minutes);
            });
        connect(&gate, &CConsiderateGate::RestTaken, &history, [&tick](qint64 returned) { tick.RestTaken(returned); });

        if (action.startsWith(QLatin1String("silenced"))) {
            settings->SetRelaxFullShowType(1);
            settings->SetRelaxFullShowClickTimer(due - 60);
        }
        CClock::Set(due);
        if (action.startsWith(QLatin1String("full-screen program"))) {
            gate.SetFullscreenInFront(true);
            tick.Run();
            CClock::Advance(30);
            tick.Run();
            QVERIFY(host.prompt.isHidden());
            gate.SetFullscreenInFront(false);
        }
        if (action == QLatin1String("away")) {
            gate.SetLocked(true);
            tick.Run();
            QVERIFY(host.prompt.isHidden());
            CClock::Advance(kRestMinutes * 60);
            gate.SetLocked(false);
        } else {
            tick.Run();
            QVERIFY(host.prompt.isVisible());
        }

        if (action == QLatin1String("put off")) {
            host.prompt.OnClose_Click();
        } else if (action.contains(QLatin1String("start"))) {
            host.prompt.OnStartRelax_Click();
            if (fullScreen && !action.startsWith(QLatin1String("silenced"))) {
                CRelaxFullShowWindow* window = host.prompt.FullShowWindows().value(0);
                QVERIFY(window);
                if (action.endsWith(QLatin1String("run to end")))
                    RunToEnd(window);
                else if (action.endsWith(QLatin1String("finish")))
                    window->OnClose_Click();
                else
                    window->OnFeedback_Click();
                QCOMPARE(m_browser.opened.isEmpty(), !action.endsWith(QLatin1String("feedback")));
            } else if (!fullScreen) {
                CRelaxShowWindow* window = host.prompt.ShowWindows().value(0);
                QVERIFY(window);
                if (action.endsWith(QLatin1String("run to end")))
                    RunToEnd(window);
                else if (action.endsWith(QLatin1String("finish")))
                    window->OnRelaxOver_Click();
                else
                    window->OnClose_Click();
            }
        }
        // Nothing more is recorded for the same reminder.
        tick.Run();
        QVERIFY(history.WaitUntilSaved(10000));
        fileName = home.DataFolder() + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral("/HealthConfig.db");
    }
    const QStringList stored = HistoryColumn(fileName,
        QStringLiteral("select (time - %1) || ' ' || kind || ' ' || outcome || ' ' || minutes || ' ' || reason "
                       "from rests order by rowid")
            .arg(due));
    QCOMPARE(stored, rows);
    CIniSettings::Destroy();
}

QTEST_MAIN(TestRestOutcomes)
#include "tst_restoutcomes.moc"

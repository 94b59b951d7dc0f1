#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "core/CBootTip.h"
#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "CServiceEndpoints.h"
#include "CStartupRules.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"
#include "autostart.h"
#include "clock.h"

namespace {
constexpr qint64 kNow = 1796600000;
}

class TestStartupRules : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void launchWords_data();
    void launchWords();
    void weeklyUpdateCheck_data();
    void weeklyUpdateCheck();
    void startWithSystemPrompt_data();
    void startWithSystemPrompt();
    void noPromptWhenEntryExists();
    void restartDuringPromptWaitsForAnswer();

private:
    CTestHome* m_home = nullptr;
};

void TestStartupRules::init()
{
    m_home = new CTestHome;
    CClock::Set(kNow);
}

void TestStartupRules::cleanup()
{
    CIniSettings::Destroy();
    delete m_home;
}

void TestStartupRules::launchWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("wakes");
    QTest::addColumn<QString>("event");
    QTest::newRow("none") << QString() << 0 << false << false << QStringLiteral("routine_start");
    QTest::newRow("showMini") << QStringLiteral("showMini") << 1 << true << false << QString();
    QTest::newRow("desktop") << QStringLiteral("desktop") << 2 << false << true << QStringLiteral("desktop_start");
    QTest::newRow("startmenu") << QStringLiteral("startmenu") << 3 << false << true << QStringLiteral("menu_start");
    QTest::newRow("boot") << QStringLiteral("boot") << 4 << true << false << QString();
    QTest::newRow("restart") << QStringLiteral("show") << 0 << false << false << QStringLiteral("routine_start");
    QTest::newRow("case matters") << QStringLiteral("Boot") << 0 << false << false << QStringLiteral("routine_start");
}

void TestStartupRules::launchWords()
{
    QFETCH(QString, word);
    QFETCH(int, source);
    QFETCH(bool, hidden);
    QFETCH(bool, wakes);
    QFETCH(QString, event);
    QCOMPARE(CStartupRules::LaunchSource(word), source);
    QCOMPARE(CStartupRules::StartsHidden(source), hidden);
    QCOMPARE(CStartupRules::WakesFrame(source), wakes);
    QCOMPARE(CStartupRules::StartEvent(source), event);
}

void TestStartupRules::weeklyUpdateCheck_data()
{
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("checks");
    QTest::newRow("first start") << 0 << int(kNow) << false;
    QTest::newRow("exactly a week") << int(kNow - 604800) << int(kNow - 604800) << false;
    QTest::newRow("a week and a second") << int(kNow - 604801) << int(kNow) << true;
    QTest::newRow("from the future") << int(kNow + 100) << int(kNow + 100) << false;
}

void TestStartupRules::weeklyUpdateCheck()
{
    QFETCH(int, last);
    QFETCH(int, stored);
    QFETCH(bool, checks);
    // The service has no update to offer (404), so a check ends at its query.
    CLoopbackHttpServer service;
    QSettings(CServiceEndpoints::ConfigPath(), QSettings::IniFormat)
        .setValue(QStringLiteral("services/update"), service.BaseUrl());
    CIniSettings::Instance()->SetUpdateTimestamp(last);
    CStartupRules::WeeklyUpdateCheck();
    QCOMPARE(CIniSettings::Instance()->GetUpdateTimestamp(), stored);
    QCOMPARE(service.RequestsTo("/zr/update").isEmpty(), !checks);
}

void TestStartupRules::startWithSystemPrompt_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<QString>("answer"); // empty: the prompt must not appear
    QTest::addColumn<bool>("clearBox");
    QTest::addColumn<int>("storedAsked");
    QTest::addColumn<bool>("entry");
    QTest::newRow("first, accepted") << 0 << QStringLiteral("btn_Confirm") << false << 1 << true;
    QTest::newRow("first, box cleared") << 0 << QStringLiteral("btn_Confirm") << true << int(kNow) << false;
    QTest::newRow("first, closed") << 0 << QStringLiteral("btn_close") << false << int(kNow) << false;
    QTest::newRow("accepted before") << 1 << QString() << false << 1 << false;
    QTest::newRow("negative stamp") << -5 << QString() << false << -5 << false;
    QTest::newRow("asked three days ago") << int(kNow - 259200) << QString() << false << int(kNow - 259200) << false;
    QTest::newRow("asked earlier, closed") << int(kNow - 259201) << QStringLiteral("btn_close") << false
                                            << int(kNow - 259201) << false;
    QTest::newRow("asked earlier, accepted") << int(kNow - 300000) << QStringLiteral("btn_Confirm") << false
                                              << int(kNow) << true;
}

void TestStartupRules::startWithSystemPrompt()
{
    QFETCH(int, asked);
    QFETCH(QString, answer);
    QFETCH(bool, clearBox);
    QFETCH(int, storedAsked);
    QFETCH(bool, entry);
    CIniSettings::Instance()->SetBootTipsTimestamp(asked);
    CBootTip* prompt = CBootTip::Instance();
    prompt->findChild<QCheckBox*>(QStringLiteral("chk_Boot"))->setChecked(!clearBox);
    bool shown = false;
    QTimer::singleShot(0, prompt, [&] {
        shown = prompt->isVisible();
        if (shown)
            QTest::mouseClick(prompt->findChild<QAbstractButton*>(answer.isEmpty() ? QStringLiteral("btn_close") : answer),
                Qt::LeftButton);
    });
    QWidget frame;
    CStartupRules::OfferStartWithSystem(&frame);
    QCoreApplication::processEvents();
    QCOMPARE(shown, !answer.isEmpty());
    QCOMPARE(CIniSettings::Instance()->GetBootTipsTimestamp(), storedAsked);
    QCOMPARE(QFile::exists(CAutostart(QStringLiteral("QzHealthManager")).Location()), entry);
}

void TestStartupRules::noPromptWhenEntryExists()
{
    QVERIFY(CAutostart(QStringLiteral("QzHealthManager")).Write(QStringLiteral("/x/QzHealthManager"), {}));
    bool shown = false;
    QTimer::singleShot(0, CBootTip::Instance(), [&] {
        shown = CBootTip::Instance()->isVisible();
        if (shown)
            CBootTip::Instance()->reject();
    });
    QWidget frame;
    CStartupRules::OfferStartWithSystem(&frame);
    QCoreApplication::processEvents();
    QVERIFY(!shown);
    QCOMPARE(CIniSettings::Instance()->GetBootTipsTimestamp(), 0);
}

// A display change while the prompt waits restarts the program, but only once the user has
// answered: the answer is kept and the prompt does not linger.
void TestStartupRules::restartDuringPromptWaitsForAnswer()
{
    CBootTip* prompt = CBootTip::Instance();
    prompt->findChild<QCheckBox*>(QStringLiteral("chk_Boot"))->setChecked(true);
    QTimer::singleShot(0, prompt, [] { CCommon::Instance()->RestartApplication(); });
    QTimer::singleShot(50, prompt, [prompt] {
        if (prompt->isVisible())
            QTest::mouseClick(prompt->findChild<QAbstractButton*>(QStringLiteral("btn_Confirm")), Qt::LeftButton);
    });
    QWidget frame;
    CStartupRules::OfferStartWithSystem(&frame);
    QVERIFY(!prompt->isVisible());
    QCOMPARE(CIniSettings::Instance()->GetBootTipsTimestamp(), 1);
    QVERIFY(QFile::exists(CAutostart(QStringLiteral("QzHealthManager")).Location()));
    QCOMPARE(CCommon::Instance()->RunEventLoop(), int(CCommon::RestartExitCode));
    CCommon::Destroy();
}

QTEST_MAIN(TestStartupRules)
#include "tst_startuprules.moc"

// The drink reminder through the real frame: the tick at chosen moments shows the pop-up once
// and leaves an open one alone; the drink-now page is reached reset and returns home.
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>

#include <cerrno>

#include <sys/prctl.h>
#include <sys/wait.h>

#include "CBaseManager.h"
#include "core/CCommon.h"
#include "CDrinkForm.h"
#include "CDrinkNowWindow.h"
#include "CDrinkStatistics.h"
#include "CDrinkTotalRecord.h"
#include "CDrinksSettingsWindow.h"
#include "CDrinksWindow.h"
#include "core/CIniSettings.h"
#include "CMainWindow.h"
#include "CSystemTray.h"
#include "TestHome.h"
#include "clock.h"

namespace {
QDateTime Today(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second));
}
}

class TestDrinkReminder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void firesOnGridAndKeepsOpenPopup();
    void popupMenuIsTheFramesMenu();
    void recordsLinkShowsRecordsPage();
    void drinkNowPageReachedReset_data();
    void drinkNowPageReachedReset();
    void backFromSettingsCommitsAnchor();
    void soundsFollowSwitches_data();
    void soundsFollowSwitches();

private:
    void TickAt(const QDateTime& moment);
    QWidget* CurrentPage() const;
    CDrinksWindow* Popup() const;

    CTestHome* m_home = nullptr;
    CBaseManager* m_frame = nullptr;
};

void TestDrinkReminder::initTestCase()
{
    // The history file stays open for the whole process, so one home serves every case.
    m_home = new CTestHome;
    CDrinkStatistics::Instance()->LoadAll();
    // Sound players are started detached; as their subreaper this process can wait for them.
    QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
}

void TestDrinkReminder::init()
{
    CIniSettings::Destroy();
    QFile::remove(CIniSettings::Instance()->FileName());
    CIniSettings::Destroy();
    CClock::SetLocal(Today(9, 0));
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinksTimerMinute(45);
    // What start-up stamps before it builds the frame.
    settings->SetDrinkTimestamp(CClock::Now());
    m_frame = new CBaseManager;
    m_frame->show();
}

void TestDrinkReminder::cleanup()
{
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/QzHealthSpeek"));
    delete m_frame;
    CIniSettings::Destroy();
}

void TestDrinkReminder::cleanupTestCase()
{
    CCommon::Destroy();
    delete m_home;
}

void TestDrinkReminder::TickAt(const QDateTime& moment)
{
    CClock::SetLocal(moment);
    m_frame->Tick().Run();
}

QWidget* TestDrinkReminder::CurrentPage() const
{
    return m_frame->findChild<QStackedWidget*>(QStringLiteral("Body_Panel"))->currentWidget();
}

CDrinksWindow* TestDrinkReminder::Popup() const
{
    return m_frame->findChild<CDrinksWindow*>();
}

void TestDrinkReminder::firesOnGridAndKeepsOpenPopup()
{
    CIniSettings* settings = CIniSettings::Instance();
    TickAt(Today(9, 45, 0));
    QCOMPARE(Popup(), nullptr);
    TickAt(Today(9, 45, 1));
    CDrinksWindow* popup = Popup();
    QVERIFY(popup);
    QVERIFY(popup->isVisible());
    QCOMPARE(settings->GetDrinkTimestamp(), Today(9, 45).toSecsSinceEpoch());
    QCOMPARE(popup->findChild<QLineEdit*>()->text(), QStringLiteral("100"));

    // A drink, one second of its countdown, then the next reminder while the pop-up is open.
    popup->findChild<QSlider*>()->setValue(200);
    popup->OnDrinks_Click();
    popup->Form()->CountdownTick();
    const int remaining = popup->Form()->Remaining();
    TickAt(Today(10, 30, 1));
    QCOMPARE(settings->GetDrinkTimestamp(), Today(10, 30).toSecsSinceEpoch());
    QCOMPARE(m_frame->findChildren<CDrinksWindow*>().size(), 1);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->Form()->Remaining(), remaining);
    QVERIFY(popup->findChild<QPushButton*>(QStringLiteral("btn_click_drinks"))->isHidden());
    while (popup->isVisible())
        popup->Form()->CountdownTick();

    // The next one after it closed finds it hidden and prepares it afresh, with the amount drunk.
    TickAt(Today(11, 15, 1));
    QCOMPARE(Popup(), popup);
    QVERIFY(popup->isVisible());
    QVERIFY(!popup->findChild<QPushButton*>(QStringLiteral("btn_click_drinks"))->isHidden());
    QCOMPARE(popup->findChild<QSlider*>()->value(), 200);
    QCOMPARE(settings->GetAlreadyDrinksNumber(), 200);
}

void TestDrinkReminder::popupMenuIsTheFramesMenu()
{
    TickAt(Today(9, 45, 1));
    QPushButton* frameMenu = m_frame->findChild<QPushButton*>(QStringLiteral("btn_menu"));
    QPushButton* popupMenu = Popup()->findChild<QPushButton*>(QStringLiteral("btn_menu"));
    QVERIFY(frameMenu->menu());
    QCOMPARE(popupMenu->menu(), frameMenu->menu());
}

void TestDrinkReminder::recordsLinkShowsRecordsPage()
{
    TickAt(Today(9, 45, 1));
    Popup()->OnDrinks_Click();
    Popup()->findChild<QPushButton*>(QStringLiteral("btn_click_record"))->click();
    QVERIFY(!Popup()->isVisible());
    QVERIFY(qobject_cast<CDrinkTotalRecord*>(CurrentPage()));
    // No reminder while the records are shown.
    TickAt(Today(10, 30, 1));
    QVERIFY(!Popup()->isVisible());
}

void TestDrinkReminder::drinkNowPageReachedReset_data()
{
    QTest::addColumn<bool>("fromTray");
    QTest::newRow("home card") << false;
    QTest::newRow("tray menu") << true;
}

void TestDrinkReminder::drinkNowPageReachedReset()
{
    QFETCH(bool, fromTray);
    m_frame->OnDrinkNow_Click();
    auto* page = m_frame->findChild<CDrinkNowWindow*>();
    page->findChild<QSlider*>()->setValue(420);
    page->OnDrinks_Click();
    CIniSettings::Instance()->SetDrinksTimeTarget(250);

    if (fromTray)
        emit m_frame->SystemTray()->OnDrinksNowAct_Signals();
    else
        m_frame->findChild<QPushButton*>(QStringLiteral("btn_DrinkNow"))->click();
    QCOMPARE(CurrentPage(), page);
    QCOMPARE(page->findChild<QLineEdit*>()->text(), QStringLiteral("250"));
    QCOMPARE(page->findChild<QSlider*>()->value(), 250);
    QVERIFY(!page->findChild<QPushButton*>(QStringLiteral("btn_click_drinks"))->isHidden());
    QVERIFY(page->findChild<QLabel*>(QStringLiteral("label_warm_prompt"))->isHidden());
    QCOMPARE(page->findChild<QLabel*>(QStringLiteral("label_drinks_num"))->text(), QStringLiteral("580"));

    CClock::Advance(1);
    page->findChild<QPushButton*>(QStringLiteral("btn_click_drinks"))->click();
    for (int tick = 0; tick < 5; ++tick)
        page->Form()->CountdownTick();
    QCOMPARE(CurrentPage(), page);
    page->Form()->CountdownTick();
    QVERIFY(qobject_cast<CMainWindow*>(CurrentPage()));
    QCOMPARE(page->Form()->Remaining(), CDrinkForm::Idle);
}

void TestDrinkReminder::backFromSettingsCommitsAnchor()
{
    m_frame->OnDrinksSettings_Click();
    // The tick fired nothing yet at 10:20 (say the machine slept); leaving the page puts the
    // anchor on the grid just behind the next reminder.
    CClock::SetLocal(Today(10, 20));
    m_frame->findChild<QCheckBox*>(QStringLiteral("btn_back"))->click();
    QVERIFY(qobject_cast<CMainWindow*>(CurrentPage()));
    QCOMPARE(CIniSettings::Instance()->GetDrinkTimestamp(), Today(9, 45).toSecsSinceEpoch());
    QCOMPARE(m_frame->findChild<CDrinksSettingsWindow*>()->findChild<QLabel*>(QStringLiteral("label_runtime"))->text(),
        QStringLiteral("10:30"));
}

void TestDrinkReminder::soundsFollowSwitches_data()
{
    QTest::addColumn<int>("prompt");
    QTest::addColumn<int>("water");
    QTest::addColumn<QStringList>("played");
    const QString reminder = QStringLiteral("/qzhealthaudio/drinkprompt.spx");
    const QString drink = QStringLiteral("/qzhealthaudio/drinkwater.spx");
    QTest::newRow("both off") << 0 << 0 << QStringList();
    QTest::newRow("reminder sound") << 2 << 0 << QStringList{reminder};
    QTest::newRow("drinking sound") << 0 << 2 << QStringList{drink};
    QTest::newRow("both") << 2 << 2 << QStringList{reminder, drink};
}

void TestDrinkReminder::soundsFollowSwitches()
{
    QFETCH(int, prompt);
    QFETCH(int, water);
    QFETCH(QStringList, played);
    // The player is looked for beside the running program: a stand-in there notes each sound.
    const QString player = QCoreApplication::applicationDirPath() + QStringLiteral("/QzHealthSpeek");
    const QString log = m_home->RuntimeFolder() + QStringLiteral("/played");
    QFile::remove(log);
    {
        QFile script(player);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$1\" >> \"$XDG_RUNTIME_DIR/played\"\n");
    }
    QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto heard = [&log] {
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        QStringList sounds;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                sounds << QString::fromUtf8(line.mid(line.indexOf("/qzhealthaudio")));
        }
        sounds.sort();
        return sounds;
    };

    CIniSettings::Instance()->SetDrinkPrompt(prompt);
    CIniSettings::Instance()->SetDrinkWater(water);
    TickAt(Today(9, 45, 1));
    Popup()->OnDrinks_Click();
    played.sort();
    // Each player started is this process's child once its starter has gone: with none left
    // running, every sound started has been noted.
    QTRY_VERIFY_WITH_TIMEOUT(waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD, 5000);
    QCOMPARE(heard(), played);
}

QTEST_MAIN(TestDrinkReminder)
#include "tst_drinkreminder.moc"

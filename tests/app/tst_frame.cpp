#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include "CBaseManager.h"
#include "core/CCommon.h"
#include "CDrinkNowWindow.h"
#include "CDrinkTotalRecord.h"
#include "CDrinksSettingsWindow.h"
#include "CDrinksTask.h"
#include "CDrinksWindow.h"
#include "CEyeshieldTask.h"
#include "CEyeshieldWindow.h"
#include "core/CIniSettings.h"
#include "CMainWindow.h"
#include "CRelaxSettingsWindow.h"
#include "CRelaxTask.h"
#include "CSystemTray.h"
#include "TestHome.h"
#include "clock.h"
#include "instancechannel.h"
#include "powermonitor.h"

class TestFrame : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void frameIsBuiltAsDescribed();
    void pagesAndTitles_data();
    void pagesAndTitles();
    void trayEntriesLeadToPages();
    void homeCardsReplaceButtons_data();
    void homeCardsReplaceButtons();
    void cardsShowFeatureState();
    void closeHidesAndGoesHome();
    void suspendAndResumeReachTheTick();
    void runningTimerFiresReminder();
    void laterStartsWakeOrHideTray();
    void exitNeedsConfirmation();
    void frameMenuRowsAreSharp();

private:
    QWidget* CurrentPage() const;
    QCheckBox* Back() const;

    CTestHome* m_home = nullptr;
    CBaseManager* m_frame = nullptr;
};

void TestFrame::init()
{
    m_home = new CTestHome;
    m_frame = new CBaseManager;
    QVERIFY(!m_frame->isVisible());
    m_frame->show();
}

void TestFrame::cleanup()
{
    delete m_frame;
    CIniSettings::Destroy();
    CCommon::Destroy();
    delete m_home;
}

QWidget* TestFrame::CurrentPage() const
{
    return m_frame->findChild<QStackedWidget*>(QStringLiteral("Body_Panel"))->currentWidget();
}

QCheckBox* TestFrame::Back() const
{
    return m_frame->findChild<QCheckBox*>();
}

void TestFrame::frameIsBuiltAsDescribed()
{
    QCOMPARE(m_frame->objectName(), QStringLiteral("CBaseManager"));
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Rezovuvove"));
    QCOMPARE(m_frame->size(), QSize(290, 450));
    QVERIFY(m_frame->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_frame->isVisible());
    // The eye protection, built at start because it runs the tint's schedule, and home, built
    // when the frame is shown; the other pages come when they are asked for.
    auto* stack = m_frame->findChild<QStackedWidget*>(QStringLiteral("Body_Panel"));
    QStringList pages;
    for (int i = 0; i < stack->count(); ++i)
        pages << stack->widget(i)->metaObject()->className();
    QCOMPARE(pages, (QStringList{QStringLiteral("CEyeshieldWindow"), QStringLiteral("CMainWindow")}));
    QCOMPARE(CurrentPage()->metaObject()->className(), "CMainWindow");
    // What a start reads ahead for the first show is there to be read.
    QVERIFY(CBaseManager::PrepareFirstShow());
    QCOMPARE(Back()->objectName(), QStringLiteral("btn_backmain"));
    QCOMPARE(Back()->text(), QStringLiteral("Rezovuvove"));
    auto* menuButton = m_frame->findChild<QPushButton*>(QStringLiteral("btn_menu"));
    QVERIFY(menuButton->menu());
    QCOMPARE(menuButton->menu()->actions().count(), 9);
    QCOMPARE(m_frame->findChild<QPushButton*>(QStringLiteral("btn_close"))->toolTip(), QStringLiteral("最小化"));
}

void TestFrame::pagesAndTitles_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("drink settings") << 0 << QStringLiteral("CDrinksSettingsWindow") << QStringLiteral("喝水提醒设置");
    QTest::newRow("drink records") << 1 << QStringLiteral("CDrinkTotalRecord") << QStringLiteral("喝水成绩");
    QTest::newRow("eye protection") << 2 << QStringLiteral("CEyeshieldWindow") << QStringLiteral("防蓝光设置");
    QTest::newRow("rest settings") << 3 << QStringLiteral("CRelaxSettingsWindow") << QStringLiteral("休息提醒设置");
    QTest::newRow("drink now") << 4 << QStringLiteral("CDrinkNowWindow") << QStringLiteral("立刻喝水");
}

void TestFrame::pagesAndTitles()
{
    QFETCH(int, signal);
    QFETCH(QString, page);
    QFETCH(QString, title);
    CCommon* common = CCommon::Instance();
    const std::function<void()> emitters[] = {
        [common] { emit common->SwitchDrinksSettings_PanelSignal(); },
        [common] { emit common->SwitchDrinksRecord_PanelSignal(); },
        [common] { emit common->SwitchEyeshieldWindow_PanelSignal(); },
        [common] { emit common->SwitchRelaxSettings_PanelSignal(); },
        [common] { emit common->SwitchDrinkNow_PanelSignal(); },
    };
    m_frame->hide();
    emitters[signal]();
    QVERIFY(m_frame->isVisible());
    QCOMPARE(CurrentPage()->metaObject()->className(), page.toLatin1());
    QCOMPARE(Back()->objectName(), QStringLiteral("btn_back"));
    QCOMPARE(Back()->text(), title);

    emit common->SwitchMain_PanelSignal();
    QCOMPARE(CurrentPage()->metaObject()->className(), "CMainWindow");
    QCOMPARE(Back()->objectName(), QStringLiteral("btn_backmain"));
    QCOMPARE(Back()->text(), QStringLiteral("Rezovuvove"));

    emitters[signal]();
    QTest::mouseClick(Back(), Qt::LeftButton);
    QCOMPARE(CurrentPage()->metaObject()->className(), "CMainWindow");

    // Esc goes back the same way: a page built on a dialog must not hide itself instead.
    emitters[signal]();
    QTest::keyClick(CurrentPage(), Qt::Key_Escape);
    QCOMPARE(CurrentPage()->metaObject()->className(), "CMainWindow");
    QVERIFY(CurrentPage()->isVisible());
    emitters[signal]();
    QVERIFY(CurrentPage()->isVisible());
}

void TestFrame::trayEntriesLeadToPages()
{
    CSystemTray* tray = m_frame->SystemTray();
    QMenu* menu = tray->Menu();
    QCOMPARE(menu->objectName(), QStringLiteral("system_tray_menu"));
    // 110 as drawn for the Chinese texts at 12 pixels; wider only where a text needs it (here the
    // style sheet's size is not set).
    QVERIFY(menu->width() >= 110);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, (QStringList{QStringLiteral("立刻喝水"), QStringLiteral("喝水成绩"), QStringLiteral("-"),
                        QStringLiteral("喝水设置"), QStringLiteral("休息设置"), QStringLiteral("防蓝光设置"),
                        QStringLiteral("-"), QStringLiteral("反馈建议"), QStringLiteral("检查更新"), QStringLiteral("退出")}));
    const QList<QPair<int, QByteArray>> expected{
        {0, "CDrinkNowWindow"}, {1, "CDrinkTotalRecord"}, {3, "CDrinksSettingsWindow"},
        {4, "CRelaxSettingsWindow"}, {5, "CEyeshieldWindow"}};
    for (const auto& entry : expected) {
        menu->actions().at(entry.first)->trigger();
        QCOMPARE(QByteArray(CurrentPage()->metaObject()->className()), entry.second);
    }
}

void TestFrame::homeCardsReplaceButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("card");
    QTest::addColumn<QSize>("size");
    QTest::newRow("drink") << QStringLiteral("btn_drinks") << QStringLiteral("CDrinksTask") << QSize(130, 130);
    QTest::newRow("rest") << QStringLiteral("btn_relax") << QStringLiteral("CRelaxTask") << QSize(100, 100);
    QTest::newRow("eye") << QStringLiteral("btn_eyeshield") << QStringLiteral("CEyeshieldTask") << QSize(90, 90);
}

void TestFrame::homeCardsReplaceButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, card);
    QFETCH(QSize, size);
    auto* home = m_frame->findChild<CMainWindow*>();
    auto* roundButton = home->findChild<QPushButton*>(button);
    auto* cardWidget = home->findChild<QWidget*>(card);
    QVERIFY(roundButton && cardWidget);
    QVERIFY(!cardWidget->isVisible());
    QCOMPARE(roundButton->size(), size);

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(roundButton, &enter);
    QVERIFY(!roundButton->isVisible());
    QVERIFY(cardWidget->isVisible());
    QCOMPARE(cardWidget->geometry(), roundButton->geometry());

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(cardWidget, &leave);
    QVERIFY(roundButton->isVisible());
    QVERIFY(!cardWidget->isVisible());
}

void TestFrame::cardsShowFeatureState()
{
    auto* drinks = m_frame->findChild<CDrinksTask*>();
    auto* relax = m_frame->findChild<CRelaxTask*>();
    auto* eyeshield = m_frame->findChild<CEyeshieldTask*>();
    QCOMPARE(drinks->StatusText(), QStringLiteral("未开启"));
    CIniSettings::Instance()->SetDrinksStatus(2);
    CIniSettings::Instance()->SetEyeshieldStatus(2);
    drinks->show();
    relax->show();
    eyeshield->show();
    QCOMPARE(drinks->StatusText(), QStringLiteral("已开启"));
    QCOMPARE(relax->StatusText(), QStringLiteral("未开启"));
    // The eye-protection card's state depends on the display; its tests give it displays of their own.
    // While on screen the card follows a change within two seconds.
    CIniSettings::Instance()->SetDrinksStatus(0);
    QTRY_COMPARE_WITH_TIMEOUT(drinks->StatusText(), QStringLiteral("未开启"), 2500);

    // The card's buttons lead to their pages.
    QTest::mouseClick(drinks->findChild<QPushButton*>(QStringLiteral("btn_DrinkNow")), Qt::LeftButton);
    QCOMPARE(CurrentPage()->metaObject()->className(), "CDrinkNowWindow");
    QTest::mouseClick(relax->findChild<QPushButton*>(QStringLiteral("btn_RelaxSettings")), Qt::LeftButton);
    QCOMPARE(CurrentPage()->metaObject()->className(), "CRelaxSettingsWindow");
    QTest::mouseClick(eyeshield->findChild<QPushButton*>(QStringLiteral("btn_EyeshieldSettings")), Qt::LeftButton);
    QCOMPARE(CurrentPage()->metaObject()->className(), "CEyeshieldWindow");
}

void TestFrame::closeHidesAndGoesHome()
{
    m_frame->OnDrinksSettings_Click();
    m_frame->OnDrinksRecord_Click();
    m_frame->activateWindow();
    QTRY_VERIFY(m_frame->isActiveWindow());
    const QPoint place = m_frame->pos();
    m_frame->OnClose_Click();
    QVERIFY(!m_frame->isVisible());
    // The closed frame keeps no window (nor its back buffer) and no page but the eye
    // protection's; the next wake-up makes a window where the old one was, on the home page, and
    // the pages come back when asked.
    QVERIFY(!m_frame->windowHandle());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_frame->findChild<CMainWindow*>());
    QVERIFY(!m_frame->findChild<CDrinkTotalRecord*>());
    QVERIFY(!m_frame->findChild<CDrinksSettingsWindow*>());
    QVERIFY(m_frame->findChild<CEyeshieldWindow*>());
    m_frame->WakeUp();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    QCOMPARE(m_frame->pos(), place);
    QCOMPARE(CurrentPage()->metaObject()->className(), "CMainWindow");
    QCOMPARE(Back()->text(), QStringLiteral("Rezovuvove"));
    m_frame->OnDrinksRecord_Click();
    QCOMPARE(CurrentPage()->metaObject()->className(), "CDrinkTotalRecord");
    QCOMPARE(Back()->text(), QStringLiteral("喝水成绩"));
}

void TestFrame::suspendAndResumeReachTheTick()
{
    auto* power = m_frame->findChild<CPowerMonitor*>();
    QVERIFY(power);
    emit power->Suspending();
    QVERIFY(m_frame->Tick().IsSuspended());
    emit power->Resumed();
    QVERIFY(!m_frame->Tick().IsSuspended());
}

// The frame's own one-second timer, not a direct call, brings the due reminder up.
void TestFrame::runningTimerFiresReminder()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(0);
    settings->SetDrinkPrompt(0);
    settings->SetDrinksTimerHour(0);
    settings->SetDrinksTimerMinute(5);
    settings->SetDrinkTimestamp(CClock::Now() - 301);
    settings->SetDrinksStatus(2);
    QVERIFY(!m_frame->findChild<CDrinksWindow*>());
    QTRY_VERIFY_WITH_TIMEOUT(m_frame->findChild<CDrinksWindow*>() && m_frame->findChild<CDrinksWindow*>()->isVisible(),
        3000);
    // Done with, the pop-up is let go by the tick until the next reminder.
    m_frame->findChild<CDrinksWindow*>()->hide();
    QTRY_VERIFY_WITH_TIMEOUT(!m_frame->findChild<CDrinksWindow*>(), 3000);
}

void TestFrame::laterStartsWakeOrHideTray()
{
    // The frame listens on the channel the start-up claimed before building it.
    delete m_frame;
    QVERIFY(CCommon::Instance()->IsFirstInstance());
    m_frame = new CBaseManager;
    CInstanceChannel later(QStringLiteral("QzHealthManager"));
    QVERIFY(!later.Claim("wake"));
    QTRY_VERIFY(m_frame->isVisible());
    QVERIFY(later.Send("hide-tray"));
    QTRY_VERIFY(!m_frame->SystemTray()->isVisible());
}

void TestFrame::exitNeedsConfirmation()
{
    m_frame->SystemTray()->show();
    auto answer = [](const QString& button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("CMessageShow") && window->isVisible())
                    QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
            }
        });
    };
    answer(QStringLiteral("btn_No"));
    m_frame->OnExit_Click();
    QVERIFY(m_frame->SystemTray()->isVisible());
    answer(QStringLiteral("btn_Yes"));
    m_frame->OnExit_Click();
    QVERIFY(!m_frame->SystemTray()->isVisible());
}

// Each row of the frame's menu that is not under the mouse is plain white background with its
// text on it, also after pages with pop-up lists were shown in the frame: none is smeared.
void TestFrame::frameMenuRowsAreSharp()
{
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    m_frame->OnDrinksSettings_Click();
    m_frame->OnMain_Click();
    QMenu* menu = m_frame->findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu();
    QVERIFY(menu);
    menu->popup(QPoint(0, 0));
    menu->setActiveAction(menu->actions().at(1));
    const QImage shot = menu->grab().toImage().convertToFormat(QImage::Format_RGB32);
    menu->hide();
    qApp->setStyleSheet(QString());

    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        if (i == 1)
            continue;
        const QRect row = menu->actionGeometry(actions.at(i)) & shot.rect();
        QVERIFY(!row.isEmpty());
        int background = 0;
        for (int y = row.top(); y <= row.bottom(); ++y) {
            for (int x = row.left(); x <= row.right(); ++x)
                background += shot.pixel(x, y) == qRgb(255, 255, 255);
        }
        const int share = 100 * background / (row.width() * row.height());
        QVERIFY2(share >= 70, qPrintable(QStringLiteral("row %1 is only %2 per cent background").arg(i).arg(share)));
    }
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"

// The full-screen rest on a display of two screens of different sizes. The test runs its own X
// server with those two screens, so the layout is known and nothing else sharing a display is
// disturbed.
#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "core/CIniSettings.h"
#include "CPopupSlider.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "PrivateXServer.h"
#include "TestHome.h"

namespace {
const QRect kLeft(0, 0, 1280, 800);
const QRect kRight(0, 0, 1024, 768);
}

class TestRelaxFullScreen : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void twoMonitors();
    void oneWindowCoveringEachMonitor();
    void endingOnOneEndsBoth_data();
    void endingOnOneEndsBoth();
    void noMorePopupsKeepsTheRest();
    void promptRisesOnThePrimaryMonitor();

private:
    // Starts a full-screen rest; true when every window it opened appeared on its screen.
    bool StartRest(QList<QPointer<CRelaxFullShowWindow>>& windows);

    CTestHome* m_home = nullptr;
    CRelaxTipsWindow* m_prompt = nullptr;
};

void TestRelaxFullScreen::init()
{
    m_home = new CTestHome;
    CIniSettings::Instance()->SetRelaxFullStatus(2);
    CIniSettings::Instance()->SetRelaxSleepTimer(5);
    m_prompt = new CRelaxTipsWindow;
}

void TestRelaxFullScreen::cleanup()
{
    delete m_prompt;
    CIniSettings::Destroy();
    delete m_home;
}

bool TestRelaxFullScreen::StartRest(QList<QPointer<CRelaxFullShowWindow>>& windows)
{
    m_prompt->ShowReminder();
    m_prompt->OnStartRelax_Click();
    bool exposed = true;
    for (CRelaxFullShowWindow* window : m_prompt->FullShowWindows()) {
        windows.append(window);
        exposed = QTest::qWaitForWindowExposed(window) && exposed;
    }
    return exposed;
}

void TestRelaxFullScreen::twoMonitors()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    QCOMPARE(screens.count(), 2);
    QCOMPARE(screens.at(0)->geometry(), kLeft);
    QCOMPARE(screens.at(1)->geometry(), kRight);
}

void TestRelaxFullScreen::oneWindowCoveringEachMonitor()
{
    QList<QPointer<CRelaxFullShowWindow>> windows;
    QVERIFY2(StartRest(windows), "a full-screen window never appeared");
    QCOMPARE(windows.count(), 2);
    QVERIFY(!m_prompt->isVisible());
    QVERIFY(m_prompt->HasOpenRestWindows());
    QList<QScreen*> covered;
    for (const QPointer<CRelaxFullShowWindow>& window : windows) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->ContentKind(), windows.first()->ContentKind());
        QTRY_COMPARE(window->windowHandle()->geometry(), window->screen()->geometry());
        QCOMPARE(window->geometry(), window->screen()->geometry());
        covered.append(window->screen());
    }
    QCOMPARE(covered, QGuiApplication::screens());

    // While the rest goes on, a second start opens nothing more.
    m_prompt->OnRelaxFullShow();
    QCOMPARE(m_prompt->FullShowWindows().count(), 2);
}

void TestRelaxFullScreen::endingOnOneEndsBoth_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("which");
    QTest::newRow("Esc on the left one") << QStringLiteral("esc") << 0;
    QTest::newRow("Esc on the right one") << QStringLiteral("esc") << 1;
    QTest::newRow("结束休息") << QStringLiteral("button") << 1;
    QTest::newRow("the rest runs out") << QStringLiteral("countdown") << 0;
}

void TestRelaxFullScreen::endingOnOneEndsBoth()
{
    QFETCH(QString, how);
    QFETCH(int, which);
    QList<QPointer<CRelaxFullShowWindow>> windows;
    QVERIFY2(StartRest(windows), "a full-screen window never appeared");
    QCOMPARE(windows.count(), 2);
    CRelaxFullShowWindow* window = windows.at(which);
    if (how == QLatin1String("esc")) {
        QTest::keyClick(window, Qt::Key_Escape);
    } else if (how == QLatin1String("button")) {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("pushButton")), Qt::LeftButton);
    } else {
        for (int tick = 0; tick <= 5 * 60; ++tick)
            window->CountdownTick();
    }
    QVERIFY(!m_prompt->HasOpenRestWindows());
    QTRY_VERIFY(windows.first().isNull() && windows.last().isNull());
    QVERIFY(m_prompt->ShowReminder());
}

void TestRelaxFullScreen::noMorePopupsKeepsTheRest()
{
    QList<QPointer<CRelaxFullShowWindow>> windows;
    QVERIFY2(StartRest(windows), "a full-screen window never appeared");
    QCOMPARE(windows.count(), 2);
    QMenu* menu = windows.first()->findChild<QPushButton*>(QStringLiteral("btn_settings_menu"))->menu();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{QStringLiteral("一小时内不再全屏"), QStringLiteral("今日不再全屏"),
                        QStringLiteral("不再弹出"), QStringLiteral("提醒设置"), QStringLiteral("反馈建议")}));
    menu->actions().at(2)->trigger();
    QCOMPARE(CIniSettings::Instance()->GetRelaxFullStatus(), 0);
    QCOMPARE(CIniSettings::Instance()->GetRelaxFullShowType(), 3);
    QTest::qWait(50);
    QVERIFY(!windows.first().isNull() && windows.first()->isVisible());
    QVERIFY(!windows.last().isNull() && windows.last()->isVisible());
    QVERIFY(m_prompt->HasOpenRestWindows());

    windows.first()->OnClose_Click();
    QTRY_VERIFY(windows.last().isNull());
    // The next rest is the small countdown window.
    QVERIFY(m_prompt->ShowReminder());
    QCOMPARE(m_prompt->Countdown(), 10);
    m_prompt->OnStartRelax_Click();
    QCOMPARE(m_prompt->ShowWindows().count(), 1);
    QVERIFY(m_prompt->FullShowWindows().isEmpty());
}

void TestRelaxFullScreen::promptRisesOnThePrimaryMonitor()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(kLeft.contains(area));
    QVERIFY(m_prompt->ShowReminder());
    for (int tick = 0; tick < CPopupSlider::Ticks; ++tick)
        m_prompt->Slider()->Tick();
    QCOMPARE(m_prompt->pos(), QPoint(area.x() + area.width() - 300, area.y() + area.height() - 445));
    QCOMPARE(m_prompt->screen(), QGuiApplication::primaryScreen());
    // The card inside the shadow margin ends at the bottom of the area.
    QCOMPARE(m_prompt->geometry().adjusted(5, 5, -5, -5).bottom(), area.bottom());

    m_prompt->OnClose_Click();
    CIniSettings::Instance()->SetRelaxFullStatus(0);
    m_prompt->OnRelaxShow();
    CRelaxShowWindow* countdown = m_prompt->ShowWindows().first();
    for (int tick = 0; tick < CPopupSlider::Ticks; ++tick)
        countdown->Slider()->Tick();
    QCOMPARE(countdown->pos(), m_prompt->pos());
}

int main(int argc, char* argv[])
{
    const CPrivateXServer server({QStringLiteral("1280x800x24"), QStringLiteral("1024x768x24")});
    if (server.DisplayName().isEmpty()) {
        std::fprintf(stderr, "could not start an X server with two monitors\n");
        return 1;
    }
    qputenv("DISPLAY", server.DisplayName());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestRelaxFullScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_relaxfullscreen.moc"

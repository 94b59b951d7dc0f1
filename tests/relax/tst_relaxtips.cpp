#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include "core/CIniSettings.h"
#include "CPopupSlider.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxGreeting.h"
#include "CRelaxShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "CServiceEndpoints.h"
#include "CUpdateContext.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"
#include "clock.h"

class TestRelaxTips : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void countsDownThenOpensCountdownWindow();
    void fullScreenCountdownLength_data();
    void fullScreenCountdownLength();
    void greetingByHour_data();
    void greetingByHour();
    void greetingOnlyWhileShown();
    void restCountdownWindow();
    void restLength_data();
    void restLength();
    void hourSilence_data();
    void hourSilence();
    void daySilence_data();
    void daySilence();
    void puttingOffReportsAndKeepsStamp();
    void slidesUpToBottomRight();
    void feedbackWindowsGoAtNextTest();

private:
    QString LabelText(QWidget* window, const char* name) const;

    CTestHome* m_home = nullptr;
    CRelaxTipsWindow* m_prompt = nullptr;
};

void TestRelaxTips::init()
{
    m_home = new CTestHome;
    CIniSettings::Instance()->SetRelaxSleepTimer(25);
    m_prompt = new CRelaxTipsWindow;
}

void TestRelaxTips::cleanup()
{
    delete m_prompt;
    CIniSettings::Destroy();
    delete m_home;
}

QString TestRelaxTips::LabelText(QWidget* window, const char* name) const
{
    auto* label = window->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

void TestRelaxTips::countsDownThenOpensCountdownWindow()
{
    QVERIFY(m_prompt->ShowReminder());
    QCOMPARE(m_prompt->Countdown(), 10);
    for (int shown = 9; shown >= 0; --shown) {
        m_prompt->CountdownTick();
        QCOMPARE(LabelText(m_prompt, "label_times_tips"), QString::number(shown));
        QVERIFY(m_prompt->isVisible());
        QVERIFY(m_prompt->ShowWindows().isEmpty());
    }
    m_prompt->CountdownTick();
    QVERIFY(!m_prompt->isVisible());
    QCOMPARE(m_prompt->ShowWindows().count(), 1);
    QVERIFY(m_prompt->ShowWindows().first()->isVisible());
    QVERIFY(m_prompt->FullShowWindows().isEmpty());
    QVERIFY(m_prompt->HasOpenRestWindows());
    QVERIFY(!m_prompt->ShowReminder());
}

void TestRelaxTips::fullScreenCountdownLength_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("countdown");
    QTest::newRow("default") << 0 << 20;
    QTest::newRow("stored 25") << 25 << 25;
    // What only a hand-edited file holds.
    QTest::newRow("negative") << -3 << 20;
    QTest::newRow("above the choices") << 500 << 20;
}

void TestRelaxTips::fullScreenCountdownLength()
{
    QFETCH(int, stored);
    QFETCH(int, countdown);
    CIniSettings::Instance()->SetRelaxFullStatus(2);
    CIniSettings::Instance()->SetRelaxFullscreenSecond(stored);
    m_prompt->PrepareShow();
    m_prompt->show();
    QCOMPARE(m_prompt->Countdown(), countdown);
    for (int tick = 0; tick < countdown; ++tick)
        m_prompt->CountdownTick();
    QVERIFY(m_prompt->FullShowWindows().isEmpty());
    m_prompt->CountdownTick();
    QCOMPARE(m_prompt->FullShowWindows().count(), QGuiApplication::screens().count());
    QVERIFY(m_prompt->ShowWindows().isEmpty());
}

void TestRelaxTips::greetingByHour_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("greeting");
    const QString night = QStringLiteral("夜深了，有一种孤独叫没人和你说\n晚安。对自己好点，快睡吧");
    QTest::newRow("04:59") << QTime(4, 59) << 8 << night;
    QTest::newRow("05:00") << QTime(5, 0) << 0 << QStringLiteral("新晨伊始，小憩片刻，收拾好昨日的\n欢喜或纷扰，来拥抱当下吧");
    QTest::newRow("13:59") << QTime(13, 59) << 3
                           << QStringLiteral("午后的窗外，风景正好，不甘心当个看客，\n约上三五好友，一起出去走走");
    QTest::newRow("22:59") << QTime(22, 59) << 7
                           << QStringLiteral("享受安静时光，不要咖啡和红酒，舒服\n的沙发，最新的剧，就挺好");
    QTest::newRow("23:00") << QTime(23, 0) << 8 << night;
}

void TestRelaxTips::greetingByHour()
{
    QFETCH(QTime, time);
    QFETCH(int, picture);
    QFETCH(QString, greeting);
    CClock::SetLocal(QDateTime(QDate(2026, 12, 7), time));
    m_prompt->GreetingTick();
    QCOMPARE(LabelText(m_prompt, "label_tips"), greeting);
    const QImage expected = QPixmap(CRelaxGreeting::PicturePath(picture)).toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(m_prompt->findChild<QLabel*>(QStringLiteral("label_box"))->pixmap(Qt::ReturnByValue).toImage(), expected);

    CRelaxShowWindow countdown(m_prompt);
    countdown.PictureTick();
    QCOMPARE(countdown.findChild<QLabel*>(QStringLiteral("label_box"))->pixmap(Qt::ReturnByValue).toImage(), expected);
}

// The hidden prompt lives as long as the program: it keeps no timer, and greets by the hour it
// is shown at.
void TestRelaxTips::greetingOnlyWhileShown()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QVERIFY(dispatcher->registeredTimers(m_prompt).isEmpty());
    CClock::SetLocal(QDateTime(QDate(2026, 12, 7), QTime(13, 59)));
    QVERIFY(m_prompt->ShowReminder());
    QCOMPARE(LabelText(m_prompt, "label_tips"), CRelaxGreeting::GreetingOf(13));
    m_prompt->OnClose_Click();
    QVERIFY(dispatcher->registeredTimers(m_prompt).isEmpty());
}

void TestRelaxTips::restCountdownWindow()
{
    m_prompt->OnRelaxShow();
    QPointer<CRelaxShowWindow> window = m_prompt->ShowWindows().first();
    QCOMPARE(window->windowTitle(), QStringLiteral("休息提醒"));
    QCOMPARE(LabelText(window, "label_msg_tips"), QStringLiteral("后结束休息"));
    window->CountdownTick();
    QCOMPARE(LabelText(window, "label_msg_timer"), QStringLiteral("00:24:59"));
    for (int tick = 2; tick <= 1500; ++tick)
        window->CountdownTick();
    QCOMPARE(LabelText(window, "label_msg_timer"), QStringLiteral("00:00:00"));
    QVERIFY(window->isVisible());
    QVERIFY(m_prompt->HasOpenRestWindows());
    window->CountdownTick();
    QVERIFY(!window->isVisible());
    QVERIFY(!m_prompt->HasOpenRestWindows());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());

    // "结束休息" and the close button end it at once.
    for (const char* button : {"btn_click_finish_relax", "btn_close"}) {
        m_prompt->OnRelaxShow();
        QPointer<CRelaxShowWindow> next = m_prompt->ShowWindows().first();
        QTest::mouseClick(next->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        QVERIFY(!m_prompt->HasOpenRestWindows());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(next.isNull(), button);
    }
}

void TestRelaxTips::restLength_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("afterFirstTick");

    QTest::newRow("never chosen") << QVariant() << 1800 << QStringLiteral("00:29:59");
    QTest::newRow("chosen 0") << QVariant(0) << 0 << QString();
    QTest::newRow("chosen 25") << QVariant(25) << 1500 << QStringLiteral("00:24:59");
    // What only a hand-edited file holds: as many seconds would not fit an int.
    QTest::newRow("above the choices") << QVariant(35791395) << 1800 << QStringLiteral("00:29:59");
    QTest::newRow("negative") << QVariant(-5) << 1800 << QStringLiteral("00:29:59");
}

// Both rest windows last the chosen length; a length never chosen is the one the settings show.
void TestRelaxTips::restLength()
{
    QFETCH(QVariant, stored);
    QFETCH(int, seconds);
    QFETCH(QString, afterFirstTick);

    if (stored.isValid()) {
        CIniSettings::Instance()->SetRelaxSleepTimer(stored.toInt());
    } else {
        const QString file = CIniSettings::Instance()->FileName();
        CIniSettings::Destroy();
        QSettings(file, QSettings::IniFormat).remove(QStringLiteral("relax/sleep_timer"));
        QVERIFY(!CIniSettings::Instance()->HasRelaxSleepTimer());
    }

    CRelaxFullShowWindow full(m_prompt);
    QCOMPARE(full.Remaining(), seconds);
    m_prompt->OnRelaxShow();
    CRelaxShowWindow* window = m_prompt->ShowWindows().first();
    QCOMPARE(window->Remaining(), seconds);
    window->CountdownTick();
    if (seconds == 0) {
        QVERIFY(!m_prompt->HasOpenRestWindows());
    } else {
        QCOMPARE(LabelText(window, "label_msg_timer"), afterFirstTick);
        QVERIFY(m_prompt->HasOpenRestWindows());
    }
    QCOMPARE(CIniSettings::Instance()->HasRelaxSleepTimer(), stored.isValid());
}

void TestRelaxTips::hourSilence_data()
{
    QTest::addColumn<qint64>("clicked");
    QTest::newRow("2026") << qint64(1796600000);
    QTest::newRow("after 2038") << qint64(4102444800);
}

// The silence is chosen in a full-screen window and honoured by the prompt.
void TestRelaxTips::hourSilence()
{
    QFETCH(qint64, clicked);
    CIniSettings* settings = CIniSettings::Instance();
    CClock::Set(clicked);
    CRelaxFullShowWindow(m_prompt).On1Hour_Click();
    QCOMPARE(settings->GetRelaxFullShowClickTimer(), clicked);
    CClock::Set(clicked + 3599);
    m_prompt->OnRelaxFullShow();
    QVERIFY(m_prompt->FullShowWindows().isEmpty());
    QCOMPARE(settings->GetRelaxFullShowType(), 1);

    CClock::Set(clicked + 3600);
    m_prompt->OnRelaxFullShow();
    QVERIFY(m_prompt->FullShowWindows().isEmpty());
    QCOMPARE(settings->GetRelaxFullShowType(), 0);
    QCOMPARE(settings->GetRelaxFullShowClickTimer(), qint64(0));

    m_prompt->OnRelaxFullShow();
    QCOMPARE(m_prompt->FullShowWindows().count(), QGuiApplication::screens().count());
}

void TestRelaxTips::daySilence_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("holds");
    QTest::newRow("same day, later") << QDateTime(QDate(2026, 12, 7), QTime(23, 59)) << true;
    QTest::newRow("next day") << QDateTime(QDate(2026, 12, 8), QTime(0, 0)) << false;
    QTest::newRow("same day of the next month") << QDateTime(QDate(2027, 1, 7), QTime(9, 0)) << false;
}

void TestRelaxTips::daySilence()
{
    QFETCH(QDateTime, now);
    QFETCH(bool, holds);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxFullShowType(2);
    settings->SetRelaxFullShowClickTimer(QDateTime(QDate(2026, 12, 7), QTime(8, 0)).toSecsSinceEpoch());
    CClock::SetLocal(now);
    m_prompt->OnRelaxFullShow();
    QVERIFY(m_prompt->FullShowWindows().isEmpty());
    QCOMPARE(settings->GetRelaxFullShowType(), holds ? 2 : 0);
    m_prompt->OnRelaxFullShow();
    QCOMPARE(m_prompt->FullShowWindows().isEmpty(), holds);
}

void TestRelaxTips::puttingOffReportsAndKeepsStamp()
{
    CLoopbackHttpServer service;
    QSettings services(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
    services.setValue(QStringLiteral("services/statistics"), service.BaseUrl());
    services.sync();
    // The report may wait for the network: the prompt is gone before it leaves.
    QList<bool> shownAtReport;
    connect(&service, &QTcpServer::newConnection, m_prompt, [&] { shownAtReport << m_prompt->isVisible(); });
    CIniSettings::Instance()->SetRelaxTimestamp(1796600000);
    QSignalSpy reports(CUpdateContext::Instance(), &CUpdateContext::EventReported);
    QSignalSpy closed(m_prompt, &CRelaxTipsWindow::OnClose_Signals);
    for (const char* button : {"btn_click_start_norelax", "btn_close"}) {
        reports.clear();
        QVERIFY(m_prompt->ShowReminder());
        QTest::mouseClick(m_prompt->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        QVERIFY(!m_prompt->isVisible());
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("pauserelax"));
        QVERIFY(!m_prompt->HasOpenRestWindows());
    }
    QCOMPARE(service.RequestsTo("/hm4.gif").count(), 2);
    QCOMPARE(shownAtReport, (QList<bool>{false, false}));
    QCOMPARE(closed.count(), 2);
    QCOMPARE(CIniSettings::Instance()->GetRelaxTimestamp(), qint64(1796600000));
}

void TestRelaxTips::slidesUpToBottomRight()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    m_prompt->ShowReminder();
    QCOMPARE(m_prompt->pos(), QPoint(area.right() + 1 - 10 - 290, area.bottom() + 1 - 5));
    CPopupSlider* slider = m_prompt->Slider();
    QVERIFY(slider->IsRunning());
    for (int tick = 0; tick < CPopupSlider::Rise; ++tick)
        slider->Tick();
    const QPoint top(area.right() + 1 - 10 - 290, area.bottom() + 1 - 5 - 440);
    QCOMPARE(m_prompt->pos(), top);
    for (int tick = CPopupSlider::Rise; tick < CPopupSlider::Ticks; ++tick)
        slider->Tick();
    QVERIFY(slider->IsRunning());
    slider->Tick();
    QVERIFY(!slider->IsRunning());
    QCOMPARE(m_prompt->pos(), top);

    // A primary monitor right of another one, with a panel above: the pop-up stays on it.
    const QRect right(1280, 40, 1024, 728);
    QCOMPARE(CPopupSlider::PlaceIn(right, QSize(290, 450), 0), QPoint(1280 + 1024 - 300, 40 + 728 - 5));
    QCOMPARE(CPopupSlider::PlaceIn(right, QSize(290, 450), 440), QPoint(2004, 323));
}

void TestRelaxTips::feedbackWindowsGoAtNextTest()
{
    CIniSettings::Instance()->SetRelaxFullStatus(2);
    m_prompt->OnStartRelax_Click();
    QCOMPARE(m_prompt->FullShowWindows().count(), QGuiApplication::screens().count());
    QPointer<CRelaxFullShowWindow> window = m_prompt->FullShowWindows().first();
    // What the feedback action sends; the action itself would start a browser.
    emit window->OnDeleteLater_Signals();
    QVERIFY(!window.isNull());
    QVERIFY(!m_prompt->HasOpenRestWindows());
    QVERIFY(window.isNull());
}

QTEST_MAIN(TestRelaxTips)
#include "tst_relaxtips.moc"

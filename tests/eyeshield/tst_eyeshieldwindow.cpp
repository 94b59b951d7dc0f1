// The eye-protection page at chosen moments, with the ramps it writes read back from Xvfb.
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <ctime>
#include <memory>

#include "CAutomaticSettings.h"
#include "CBaseManager.h"
#include "CColortempTips.h"
#include "core/CCommon.h"
#include "CEyeshieldTask.h"
#include "CEyeshieldWindow.h"
#include "core/CIniSettings.h"
#include "core/CScreenTint.h"
#include "TestHome.h"
#include "WaylandTestCompositor.h"
#include "XGammaServer.h"
#include "clock.h"
#include "powermonitor.h"
#include "sessionmonitor.h"

Q_DECLARE_METATYPE(stCrtcGamma)

namespace {
const QStringList kModeButtons{QStringLiteral("btn_automatic"), QStringLiteral("btn_working"),
    QStringLiteral("btn_game"), QStringLiteral("btn_player")};

QDateTime At(int hour, int minute)
{
    return QDateTime(QDate(2026, 3, 5), QTime(hour, minute));
}

QList<CColortempTips*> Notices()
{
    QList<CColortempTips*> notices;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* notice = qobject_cast<CColortempTips*>(window))
            notices << notice;
    }
    return notices;
}
}

class TestEyeshieldWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void startAppliesStoredState_data();
    void startAppliesStoredState();
    void presetWhileOffSwitchesOn_data();
    void presetWhileOffSwitchesOn();
    void automaticFollowsTheHour();
    void followsTheSunThroughADay();
    void automaticSettingsFromThePage();
    void offAndOnAfterCustomLandsInAutomatic();
    void sliderPressJumpsToPoint_data();
    void sliderPressJumpsToPoint();
    void pressWhileOffKeepsItOff();
    void keyboardIsAUserChange();
    void dragTintsEveryStep();
    void noticeClosesOnFourthTick();
    void fadeStepsFromWhereTheScreenIs();
    void confirmedExitResetsRamp_data();
    void confirmedExitResetsRamp();
    void forgottenTintIsWrittenAgain();
    void waylandWithoutColourSaysSo();
    void wlrootsTintsOutputsNotXWayland();
    void outputsHeldByAnotherProgramSaySo();
    void x11WithoutGammaSaysSo();

private:
    CEyeshieldWindow* Build(int status, int mode, int number = 0);
    stCrtcGamma Screen() const;
    QString Strength() const;
    int SliderValue() const;
    QStringList CheckedButtons() const;
    void Tick(const QDateTime& moment);
    void PressSlider(int x);
    void StepFade();

    std::unique_ptr<CXGammaServer> m_server;
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<CEyeshieldWindow> m_panel;
};

void TestEyeshieldWindow::initTestCase()
{
    m_server = std::make_unique<CXGammaServer>();
    QVERIFY2(!m_server->DisplayName().isEmpty(), "Xvfb did not start");
    qputenv("DISPLAY", m_server->DisplayName());
}

void TestEyeshieldWindow::init()
{
    m_home = std::make_unique<CTestHome>();
    // Whatever a case's panel writes replaces this; a case that writes nothing leaves it.
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    CCommon::Instance()->CollectMonitors();
    QCOMPARE(CCommon::Instance()->MonitorCount(), 1);
    CClock::SetLocal(At(14, 0));
}

void TestEyeshieldWindow::cleanup()
{
    qunsetenv("TZ");
    tzset();
    m_panel.reset();
    qDeleteAll(Notices());
    CCommon::Destroy();
    CIniSettings::Destroy();
    m_home.reset();
}

void TestEyeshieldWindow::cleanupTestCase()
{
    qunsetenv("DISPLAY");
    m_server.reset();
}

CEyeshieldWindow* TestEyeshieldWindow::Build(int status, int mode, int number)
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetEyeshieldStatus(status);
    settings->SetEyeshieldMode(mode);
    settings->SetColortempNumber(number);
    m_panel = std::make_unique<CEyeshieldWindow>();
    m_panel->show();
    return m_panel.get();
}

stCrtcGamma TestEyeshieldWindow::Screen() const
{
    const std::vector<stCrtcGamma> all = m_server->ReadGamma();
    return all.empty() ? stCrtcGamma() : all.front();
}

QString TestEyeshieldWindow::Strength() const
{
    return m_panel->findChild<QLabel*>(QStringLiteral("label_colortemp_num"))->text();
}

int TestEyeshieldWindow::SliderValue() const
{
    return m_panel->findChild<QSlider*>(QStringLiteral("slider_colortemp"))->value();
}

QStringList TestEyeshieldWindow::CheckedButtons() const
{
    QStringList checked;
    for (const QString& name : kModeButtons) {
        if (m_panel->findChild<QPushButton*>(name)->isChecked())
            checked << name;
    }
    return checked;
}

void TestEyeshieldWindow::Tick(const QDateTime& moment)
{
    CClock::SetLocal(moment);
    QVERIFY(m_panel->AutomaticTimerId() != 0);
    QTimerEvent tick(m_panel->AutomaticTimerId());
    QCoreApplication::sendEvent(m_panel.get(), &tick);
}

void TestEyeshieldWindow::PressSlider(int x)
{
    auto* slider = m_panel->findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    const QPoint point(x, slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, point);
}

void TestEyeshieldWindow::StepFade()
{
    const int timerId = CCommon::Instance()->ScreenTint()->FadeTimerId();
    QVERIFY(timerId != 0);
    QTimerEvent step(timerId);
    QCoreApplication::sendEvent(CCommon::Instance()->ScreenTint(), &step);
}

void TestEyeshieldWindow::startAppliesStoredState_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<int>("storedMode");
    QTest::addColumn<int>("storedNumber");
    // kelvin 0: nothing is written.
    QTest::newRow("on, player") << 2 << 4 << 7 << 5640 << "30%" << QStringList{"btn_player"} << 4 << 30;
    QTest::newRow("on, working") << 2 << 2 << 7 << 5960 << "20%" << QStringList{"btn_working"} << 2 << 20;
    QTest::newRow("on, custom 45") << 2 << 5 << 45 << 5160 << "45%" << QStringList{} << 5 << 45;
    QTest::newRow("on, mode 0 runs automatic")
        << 2 << 0 << 7 << 5640 << "30%" << QStringList{"btn_automatic"} << 1 << 7;
    QTest::newRow("off") << 0 << 0 << 7 << 0 << "0%" << QStringList{} << 0 << 7;
    QTest::newRow("on, unknown mode") << 2 << 9 << 7 << 0 << "0%" << QStringList{} << 9 << 7;
    // A hand-edited strength is passed on: the slider stops at 100, the screen follows 300.
    QTest::newRow("on, custom 300") << 2 << 5 << 300 << -3000 << "300%" << QStringList{} << 5 << 300;
}

void TestEyeshieldWindow::startAppliesStoredState()
{
    QFETCH(int, status);
    QFETCH(int, mode);
    QFETCH(int, number);
    QFETCH(int, kelvin);
    QFETCH(QString, shown);
    QFETCH(QStringList, checked);
    QFETCH(int, storedMode);
    QFETCH(int, storedNumber);

    CEyeshieldWindow* panel = Build(status, mode, number);
    QCOMPARE(Screen(), kelvin ? CXGammaServer::Expected(kelvin) : CXGammaServer::Marker());
    QCOMPARE(Strength(), shown);
    QCOMPARE(CheckedButtons(), checked);
    QCOMPARE(panel->findChild<QCheckBox*>(QStringLiteral("check_status"))->isChecked(), status != 0);
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), storedMode);
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), storedNumber);
    QCOMPARE(panel->AutomaticTimerId() != 0, storedMode == 1);
}

void TestEyeshieldWindow::presetWhileOffSwitchesOn_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("strength");
    QTest::addColumn<QString>("description");
    QTest::newRow("game") << "btn_game" << 3 << 10 << "完美展示特效，颜色比例保持真实度";
    QTest::newRow("working") << "btn_working" << 2 << 20 << "适当过滤蓝色光，便于在工作中集中注意力";
    QTest::newRow("player") << "btn_player" << 4 << 30 << "增强防蓝光强度，烘托影片氛围";
}

void TestEyeshieldWindow::presetWhileOffSwitchesOn()
{
    QFETCH(QString, button);
    QFETCH(int, mode);
    QFETCH(int, strength);
    QFETCH(QString, description);
    CEyeshieldWindow* panel = Build(0, 0);
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"))->text(),
        QStringLiteral("建议开启智能模式,可有效过滤蓝光辐射"));

    QTest::mouseClick(panel->findChild<QPushButton*>(button), Qt::LeftButton);
    CIniSettings* settings = CIniSettings::Instance();
    QVERIFY(panel->findChild<QCheckBox*>(QStringLiteral("check_status"))->isChecked());
    QCOMPARE(settings->GetEyeshieldStatus(), 2);
    QCOMPARE(settings->GetEyeshieldMode(), mode);
    QCOMPARE(settings->GetColortempNumber(), strength);
    // A mode button fades the screen to its strength.
    QVERIFY(CCommon::Instance()->ScreenTint()->FadeTimerId() != 0);
    QTRY_COMPARE(Screen(), CXGammaServer::Expected(6600 - 32 * strength));
    QCOMPARE(Strength(), QStringLiteral("%1%").arg(strength));
    QCOMPARE(CheckedButtons(), QStringList{button});
    QCOMPARE(panel->findChild<QSlider*>()->value(), strength);
    QVERIFY(panel->findChild<QSlider*>()->isEnabled());
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"))->text(), description);
    QCOMPARE(panel->AutomaticTimerId(), 0);
}

void TestEyeshieldWindow::automaticFollowsTheHour()
{
    CEyeshieldWindow* panel = Build(2, 2);
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), 20);
    CClock::SetLocal(At(5, 59));
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn_automatic")), Qt::LeftButton);
    QCOMPARE(Strength(), QStringLiteral("0%"));
    QTRY_COMPARE(Screen(), CXGammaServer::Expected(6600));
    QCOMPARE(CheckedButtons(), QStringList{QStringLiteral("btn_automatic")});
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), 1);
    // The automatic mode keeps the strength the presets and the slider store.
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), 20);
    QVERIFY(panel->AutomaticTimerId() != 0);
    QVERIFY(Notices().isEmpty());
    // A notice closes itself after four seconds, and the fades between ticks take time: every
    // notice ever shown is counted.
    QList<QPointer<CColortempTips>> shown;
    auto countNotices = [&shown] {
        for (CColortempTips* notice : Notices()) {
            if (!shown.contains(notice))
                shown << notice;
        }
        return shown.size();
    };

    const struct
    {
        int hour;
        int minute;
        int strength;
        int notices;
    } ticks[] = {{6, 0, 15, 1}, {6, 1, 15, 1}, {11, 59, 15, 1}, {12, 0, 30, 2}, {18, 0, 40, 3}, {23, 59, 40, 3},
        {0, 0, 0, 3}, {5, 59, 0, 3}};
    for (const auto& tick : ticks) {
        const QString when = At(tick.hour, tick.minute).toString(QStringLiteral("hh:mm"));
        // Every tick writes, also when the strength stays.
        QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
        Tick(At(tick.hour, tick.minute));
        QVERIFY2(Strength() == QStringLiteral("%1%").arg(tick.strength), qPrintable(when + ' ' + Strength()));
        QTRY_VERIFY2(Screen() == CXGammaServer::Expected(6600 - 32 * tick.strength), qPrintable(when));
        QVERIFY2(countNotices() == tick.notices, qPrintable(QStringLiteral("%1: %2 notices").arg(when).arg(shown.size())));
    }
    QVERIFY(shown.last() && shown.last()->isVisible());
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), 20);

    // Switched off, the timer stops; a tick that was already queued changes nothing.
    const int timerId = panel->AutomaticTimerId();
    panel->findChild<QCheckBox*>(QStringLiteral("check_status"))->setChecked(false);
    QCOMPARE(panel->AutomaticTimerId(), 0);
    QTRY_COMPARE(Screen(), CXGammaServer::Linear());
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    CClock::SetLocal(At(12, 0));
    QTimerEvent late(timerId);
    QCoreApplication::sendEvent(panel, &late);
    QCOMPARE(Screen(), CXGammaServer::Marker());
    QCOMPARE(countNotices(), 3);
}

// Oslo on the December solstice (sunrise 08:18, sunset 14:12 UTC), minute by minute through the
// automatic tick: each tick writes the screen once and at once, no minute moves the strength by
// more than two points, and the notice comes once, when the evening begins.
void TestEyeshieldWindow::followsTheSunThroughADay()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDayNightStatus(2);
    settings->SetPlaceTyped(2);
    settings->SetLatitude(59.9139);
    settings->SetLongitude(10.7522);
    const qint64 midnight = QDateTime(QDate(2025, 12, 21), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    CClock::Set(midnight);
    CEyeshieldWindow* panel = Build(2, 1);
    QCOMPARE(Strength(), QStringLiteral("40%"));
    QCOMPARE(Screen(), CXGammaServer::Expected(5320));
    const QList<QAbstractEventDispatcher::TimerInfo> timers =
        QAbstractEventDispatcher::instance()->registeredTimers(panel);
    const auto tickTimer = std::find_if(timers.cbegin(), timers.cend(),
        [panel](const QAbstractEventDispatcher::TimerInfo& timer) {
            return timer.timerId == panel->AutomaticTimerId();
        });
    QVERIFY(tickTimer != timers.cend());
    QCOMPARE(tickTimer->interval, 60000);

    QVector<int> strengths{40};
    QList<QPointer<CColortempTips>> shown;
    int noticeMinute = -1;
    for (int minute = 1; minute <= 24 * 60; ++minute) {
        QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
        CClock::Set(midnight + minute * 60);
        QTimerEvent tick(panel->AutomaticTimerId());
        QCoreApplication::sendEvent(panel, &tick);
        const int strength = SliderValue();
        const QString when = QDateTime::fromSecsSinceEpoch(CClock::Now(), Qt::UTC).toString(QStringLiteral("hh:mm"));
        QVERIFY2(CCommon::Instance()->ScreenTint()->FadeTimerId() == 0, qPrintable(when + " fades"));
        QVERIFY2(Screen() == CXGammaServer::Expected(6600 - 32 * strength), qPrintable(when));
        QVERIFY2(qAbs(strength - strengths.last()) <= 2,
            qPrintable(QStringLiteral("%1: %2 to %3").arg(when).arg(strengths.last()).arg(strength)));
        for (CColortempTips* notice : Notices()) {
            if (!shown.contains(notice)) {
                shown << notice;
                noticeMinute = minute;
            }
        }
        strengths << strength;
    }
    // Full night at both midnights, full day at noon, and at the almanac's sunrise and sunset the
    // sun's centre is 0.83° down: 17 of 40.
    QCOMPARE(strengths.first(), 40);
    QCOMPARE(strengths.last(), 40);
    QCOMPARE(strengths.at(11 * 60 + 15), 0);
    QVERIFY2(qAbs(strengths.at(8 * 60 + 18) - 17) <= 1, qPrintable(QString::number(strengths.at(8 * 60 + 18))));
    QVERIFY2(qAbs(strengths.at(14 * 60 + 12) - 17) <= 1, qPrintable(QString::number(strengths.at(14 * 60 + 12))));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(strengths.at(noticeMinute - 1), 0);
    QVERIFY2(noticeMinute > 12 * 60 && noticeMinute < 14 * 60 + 12, qPrintable(QString::number(noticeMinute)));
    // The automatic mode keeps to its own keys.
    QCOMPARE(settings->GetColortempNumber(), 0);
}

// The day and night settings opened from the page: every control named for assistive technology
// and reached by Tab, each caption the buddy of its control; a change is stored at once and moves
// the screen in automatic mode, here to fixed times across midnight.
void TestEyeshieldWindow::automaticSettingsFromThePage()
{
    qputenv("TZ", "Asia/Shanghai");
    tzset();
    CClock::SetLocal(At(23, 30));
    CEyeshieldWindow* panel = Build(2, 1);
    QCOMPARE(Strength(), QStringLiteral("40%"));
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn_automatic_settings")), Qt::LeftButton);
    auto* dialog = panel->findChild<CAutomaticSettings*>();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->isWindow());

    // Off by default, by the sun at the time zone's city.
    auto* status = dialog->findChild<QCheckBox*>(QStringLiteral("check_daynight_status"));
    auto* zonePlace = dialog->findChild<QCheckBox*>(QStringLiteral("check_zone_place"));
    auto* latitude = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("spin_latitude"));
    QVERIFY(!status->isChecked());
    QVERIFY(dialog->findChild<QRadioButton*>(QStringLiteral("radio_sun"))->isChecked());
    QVERIFY(zonePlace->isChecked());
    QVERIFY2(zonePlace->text().contains(QStringLiteral("Shanghai")), qPrintable(zonePlace->text()));
    QCOMPARE(latitude->value(), 31.23);
    QVERIFY(!latitude->isEnabled());
    QCOMPARE(dialog->findChild<QSpinBox*>(QStringLiteral("spin_day_strength"))->value(), 0);
    QCOMPARE(dialog->findChild<QSpinBox*>(QStringLiteral("spin_night_strength"))->value(), 40);
    QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("label_sun_today"))->text().isEmpty());

    QList<QWidget*> controls;
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy())
            continue;
        controls << widget;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
    }
    // The close button, the switch, two choices of way, the place and its coordinates, the night's
    // times and change, and the two strengths.
    QCOMPARE(controls.size(), 12);
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->text().endsWith(QStringLiteral("：")))
            QVERIFY2(label->buddy(), qPrintable(label->objectName()));
    }
    // Tab goes round every control that takes input now and back to the first.
    QApplication::setActiveWindow(dialog);
    status->setFocus();
    QSet<QWidget*> reached{status};
    for (int press = 0; press < controls.size() && QApplication::focusWidget() != nullptr; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    // A group of radio buttons is one stop, at the chosen one; the arrows move within it.
    for (QWidget* control : controls) {
        auto* radio = qobject_cast<QRadioButton*>(control);
        if (control->isEnabled() && (!radio || radio->isChecked()))
            QVERIFY2(reached.contains(control), qPrintable(control->objectName()));
    }

    // Switched on by the keyboard: by the sun in Shanghai at 23:30 it is night, 40 as before.
    status->setFocus();
    QTest::keyClick(status, Qt::Key_Space);
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDayNightStatus(), 2);
    QCOMPARE(Strength(), QStringLiteral("40%"));

    // Fixed times from 23:00 to 01:00, switching at once, night 60: the page follows at once.
    auto* byClock = dialog->findChild<QRadioButton*>(QStringLiteral("radio_clock"));
    QTest::mouseClick(byClock, Qt::LeftButton, Qt::NoModifier, QPoint(8, byClock->height() / 2));
    QCOMPARE(settings->GetDayNightSource(), 1);
    QVERIFY(!latitude->isEnabled());
    dialog->findChild<QTimeEdit*>(QStringLiteral("time_night_from"))->setTime(QTime(23, 0));
    dialog->findChild<QTimeEdit*>(QStringLiteral("time_night_to"))->setTime(QTime(1, 0));
    dialog->findChild<QSpinBox*>(QStringLiteral("spin_transition"))->setValue(0);
    dialog->findChild<QSpinBox*>(QStringLiteral("spin_night_strength"))->setValue(60);
    QCOMPARE(settings->GetNightFrom(), QTime(23, 0));
    QCOMPARE(settings->GetNightTo(), QTime(1, 0));
    QCOMPARE(settings->GetTransitionMinutes(), 0);
    QCOMPARE(settings->GetNightStrength(), 60);
    QCOMPARE(Strength(), QStringLiteral("60%"));
    QTRY_COMPARE(Screen(), CXGammaServer::Expected(6600 - 32 * 60));
    QVERIFY(Notices().isEmpty());

    // Across midnight the tick keeps the night until 01:00; there the day comes back with a fade,
    // and at 23:00 the night begins with a fade and the notice.
    const struct
    {
        int hour;
        int minute;
        int strength;
        int notices;
    } ticks[] = {{0, 0, 60, 0}, {0, 59, 60, 0}, {1, 0, 0, 0}, {22, 59, 0, 0}, {23, 0, 60, 1}};
    for (const auto& tick : ticks) {
        const QString when = QTime(tick.hour, tick.minute).toString(QStringLiteral("hh:mm"));
        const int before = SliderValue();
        Tick(At(tick.hour, tick.minute));
        QVERIFY2(SliderValue() == tick.strength, qPrintable(when + ' ' + Strength()));
        const bool fades = CCommon::Instance()->ScreenTint()->FadeTimerId() != 0;
        QVERIFY2(fades == (before != tick.strength), qPrintable(when));
        QTRY_VERIFY2(Screen() == CXGammaServer::Expected(6600 - 32 * tick.strength), qPrintable(when));
        QVERIFY2(Notices().size() == tick.notices, qPrintable(when));
    }

    // Escape closes the settings; they open again showing what is stored.
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    settings->SetNightStrength(50);
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn_automatic_settings")), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QSpinBox*>(QStringLiteral("spin_night_strength"))->value(), 50);
}

void TestEyeshieldWindow::offAndOnAfterCustomLandsInAutomatic()
{
    CEyeshieldWindow* panel = Build(2, 3);
    PressSlider(110);
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetEyeshieldMode(), 5);
    QCOMPARE(settings->GetColortempNumber(), 52);

    auto* status = panel->findChild<QCheckBox*>(QStringLiteral("check_status"));
    status->setChecked(false);
    QCOMPARE(settings->GetEyeshieldStatus(), 0);
    QCOMPARE(settings->GetEyeshieldMode(), 0);
    QTRY_COMPARE(Screen(), CXGammaServer::Linear());
    // Nothing runs between fades.
    QCOMPARE(CCommon::Instance()->ScreenTint()->FadeTimerId(), 0);
    QCOMPARE(Strength(), QStringLiteral("0%"));
    QVERIFY(!panel->findChild<QSlider*>()->isEnabled());
    QCOMPARE(panel->findChild<QSlider*>()->value(), 0);
    QCOMPARE(CheckedButtons(), QStringList());
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"))->text(),
        QStringLiteral("建议开启智能模式，可有效过滤蓝光辐射"));

    status->setChecked(true);
    QCOMPARE(settings->GetEyeshieldStatus(), 2);
    QCOMPARE(settings->GetEyeshieldMode(), 1);
    QCOMPARE(CheckedButtons(), QStringList{QStringLiteral("btn_automatic")});
    QCOMPARE(Strength(), QStringLiteral("30%"));
    QTRY_COMPARE(Screen(), CXGammaServer::Expected(5640));
    QVERIFY(panel->findChild<QSlider*>()->isEnabled());
    QCOMPARE(settings->GetColortempNumber(), 52);
}

void TestEyeshieldWindow::sliderPressJumpsToPoint_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("value");
    QTest::newRow("x 10") << 10 << 0;
    QTest::newRow("x 3") << 3 << 0;
    QTest::newRow("x 105") << 105 << 50;
    QTest::newRow("x 110") << 110 << 52;
    QTest::newRow("x 200") << 200 << 100;
    QTest::newRow("x 209") << 209 << 100;
}

void TestEyeshieldWindow::sliderPressJumpsToPoint()
{
    QFETCH(int, x);
    QFETCH(int, value);
    CEyeshieldWindow* panel = Build(2, 2);
    auto* slider = panel->findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    QCOMPARE(slider->width(), 210);

    PressSlider(x);
    QCOMPARE(slider->value(), value);
    QCOMPARE(Strength(), QStringLiteral("%1%").arg(value));
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetEyeshieldMode(), 5);
    QCOMPARE(settings->GetColortempNumber(), value);
    QCOMPARE(Screen(), CXGammaServer::Expected(6600 - 32 * value));
    QCOMPARE(CheckedButtons(), QStringList());

    // A preset after custom checks its button alone again.
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn_player")), Qt::LeftButton);
    QCOMPARE(CheckedButtons(), QStringList{QStringLiteral("btn_player")});
    QVERIFY(panel->findChild<QButtonGroup*>(QStringLiteral("actionGroup"))->exclusive());
}

void TestEyeshieldWindow::pressWhileOffKeepsItOff()
{
    CEyeshieldWindow* panel = Build(0, 0);
    auto* slider = panel->findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    QVERIFY(slider->isEnabled());
    PressSlider(150);
    QVERIFY(!slider->isEnabled());
    QCOMPARE(slider->value(), 0);
    QCOMPARE(Strength(), QStringLiteral("0%"));
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldStatus(), 0);
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), 0);
    QCOMPARE(Screen(), CXGammaServer::Marker());
}

void TestEyeshieldWindow::keyboardIsAUserChange()
{
    CEyeshieldWindow* panel = Build(2, 2);
    auto* slider = panel->findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), 5);
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), 21);
    QCOMPARE(Screen(), CXGammaServer::Expected(6600 - 32 * 21));
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), 31);
    QCOMPARE(Strength(), QStringLiteral("31%"));
}

void TestEyeshieldWindow::dragTintsEveryStep()
{
    CEyeshieldWindow* panel = Build(2, 1);
    auto* slider = panel->findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(105, y));
    QCOMPARE(slider->value(), 50);
    QVERIFY(slider->isSliderDown());
    for (const int x : {120, 150, 180}) {
        // QTest::mouseMove only moves the cursor; a drag needs the move event with the button held.
        QMouseEvent move(QEvent::MouseMove, QPoint(x, y), slider->mapToGlobal(QPoint(x, y)), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &move);
        const int value = slider->value();
        QVERIFY2(value > 50, qPrintable(QString::number(value)));
        QCOMPARE(Strength(), QStringLiteral("%1%").arg(value));
        QCOMPARE(Screen(), CXGammaServer::Expected(6600 - 32 * value));
    }
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(180, y));
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), 5);
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), slider->value());
    QCOMPARE(panel->AutomaticTimerId(), 0);
}

void TestEyeshieldWindow::noticeClosesOnFourthTick()
{
    QPointer<CColortempTips> notice = new CColortempTips;
    notice->show();
    QCOMPARE(notice->size(), QSize(196, 48));
    QCOMPARE(notice->windowTitle(), QStringLiteral("蓝光改变通知"));
    QVERIFY(notice->windowFlags() & Qt::WindowStaysOnTopHint);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(notice->pos(), QPoint(area.right() + 1 - 10 - 196, area.bottom() + 1 - 5 - 48));
    QCOMPARE(notice->findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("防蓝光强度已按时段智能调整！"));

    QSignalSpy switched(CCommon::Instance(), &CCommon::SwitchEyeshieldWindow_PanelSignal);
    QTest::mouseClick(notice->findChild<QPushButton*>(QStringLiteral("btn_reset")), Qt::LeftButton);
    QCOMPARE(switched.count(), 1);
    QVERIFY(notice->isVisible());

    auto* timer = notice->findChild<QTimer*>();
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    for (int tick = 1; tick <= 4; ++tick) {
        QVERIFY2(notice && notice->isVisible(), qPrintable(QStringLiteral("gone before tick %1").arg(tick)));
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }
    QVERIFY(!notice->isVisible());
    QTRY_VERIFY(notice.isNull());
}

void TestEyeshieldWindow::fadeStepsFromWhereTheScreenIs()
{
    CScreenTint* tint = CCommon::Instance()->ScreenTint();
    tint->SetColorTemperature(6600);
    QCOMPARE(tint->FadeTimerId(), 0);
    tint->FadeToColorTemperature(3400);
    // Every step takes some blue and green away and none puts any back; the first steps are the
    // smallest (eased), and the last is exactly the tint ramp.
    stCrtcGamma previous = Screen();
    QVector<int> blueDrops;
    for (int step = 1; step <= CScreenTint::FadeSteps; ++step) {
        StepFade();
        const stCrtcGamma now = Screen();
        for (int i = 0; i < 256; ++i) {
            QVERIFY2(now.red[i] <= previous.red[i] && now.green[i] <= previous.green[i] && now.blue[i] <= previous.blue[i],
                qPrintable(QStringLiteral("step %1, entry %2 rose").arg(step).arg(i)));
        }
        blueDrops << previous.blue.last() - now.blue.last();
        previous = now;
    }
    QCOMPARE(tint->FadeTimerId(), 0);
    QCOMPARE(Screen(), CXGammaServer::Expected(3400));
    QVERIFY2(blueDrops.first() * 4 < blueDrops.at(CScreenTint::FadeSteps / 2), "the fade is not eased");

    // A change in the middle of a fade goes on from what the screen shows then, not from either
    // end of the fade it replaces.
    tint->FadeToColorTemperature(6600);
    for (int step = 0; step < CScreenTint::FadeSteps / 2; ++step)
        StepFade();
    const stCrtcGamma middle = Screen();
    QVERIFY(middle.blue.last() > CXGammaServer::Expected(3400).blue.last());
    QVERIFY(middle.blue.last() < CXGammaServer::Expected(6600).blue.last());
    tint->FadeToColorTemperature(4600);
    StepFade();
    const int jump = qAbs(Screen().blue.last() - middle.blue.last());
    const int way = qAbs(CXGammaServer::Expected(4600).blue.last() - middle.blue.last());
    QVERIFY2(jump * 10 < way, qPrintable(QStringLiteral("jumped %1 of %2").arg(jump).arg(way)));
    while (tint->FadeTimerId() != 0)
        StepFade();
    QCOMPARE(Screen(), CXGammaServer::Expected(4600));

    // The slider is followed at once: it ends a fade.
    tint->FadeToColorTemperature(6600);
    StepFade();
    tint->SetColorTemperature(5000);
    QCOMPARE(tint->FadeTimerId(), 0);
    QCOMPARE(Screen(), CXGammaServer::Expected(5000));
}

void TestEyeshieldWindow::confirmedExitResetsRamp_data()
{
    QTest::addColumn<stCrtcGamma>("before");
    QTest::addColumn<stCrtcGamma>("tinted");
    const stCrtcGamma calibration = CXGammaServer::Calibration();
    QTest::newRow("linear") << CXGammaServer::Linear() << CXGammaServer::Expected(5640);
    QTest::newRow("calibrated") << calibration << CXGammaServer::Expected(5640, calibration);
}

void TestEyeshieldWindow::confirmedExitResetsRamp()
{
    QFETCH(stCrtcGamma, before);
    QFETCH(stCrtcGamma, tinted);
    QVERIFY(m_server->WriteGamma(before));
    CIniSettings::Instance()->SetEyeshieldStatus(2);
    CIniSettings::Instance()->SetEyeshieldMode(4);
    CBaseManager frame;
    QCOMPARE(Screen(), tinted);
    // A click, not a simulated press and release: two runs would press the same spot quickly
    // enough to make a double click of it.
    auto answer = [](const QString& button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() == QLatin1String("CMessageShow") && window->isVisible())
                    window->findChild<QPushButton*>(button)->click();
            }
        });
    };
    answer(QStringLiteral("btn_No"));
    frame.OnExit_Click();
    QCOMPARE(Screen(), tinted);
    answer(QStringLiteral("btn_Yes"));
    frame.OnExit_Click();
    QCOMPARE(Screen(), before);
    // The stored state stays, so the next start tints again.
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldStatus(), 2);
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), 4);
    // The quit asked every event loop to end from now on; one round of the main loop takes the
    // request back, so the next row's dialog can run its own.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void TestEyeshieldWindow::forgottenTintIsWrittenAgain()
{
    CIniSettings::Instance()->SetEyeshieldStatus(2);
    CIniSettings::Instance()->SetEyeshieldMode(4);
    CBaseManager frame;
    QCOMPARE(Screen(), CXGammaServer::Expected(5640));
    auto* power = frame.findChild<CPowerMonitor*>();
    auto* session = frame.findChild<CSessionMonitor*>();
    QVERIFY(power && session);

    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    emit power->Resumed();
    QCOMPARE(Screen(), CXGammaServer::Expected(5640));
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    emit session->Activated();
    QCOMPARE(Screen(), CXGammaServer::Expected(5640));
    // A change of the monitors' configuration is announced by the display itself.
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    QVERIFY(m_server->SwitchMonitorsOffAndOn());
    QTRY_COMPARE_WITH_TIMEOUT(Screen(), CXGammaServer::Expected(5640), 1000);

    // Switched off, there is no tint to write again.
    frame.findChild<QCheckBox*>(QStringLiteral("check_status"))->setChecked(false);
    QTRY_COMPARE(Screen(), CXGammaServer::Linear());
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    emit power->Resumed();
    emit session->Activated();
    QCOMPARE(Screen(), CXGammaServer::Marker());
}

// A Wayland session whose compositor offers no gamma control, on a desktop with no night light
// of its own: XWayland's ramps would be taken and never shown, so none are written, and the
// panel and the card say that this desktop cannot tint. The choices are still kept.
void TestEyeshieldWindow::waylandWithoutColourSaysSo()
{
    CCommon::Destroy();
    const CWaylandTestCompositor compositor(false, {256});
    QVERIFY(!compositor.SocketName().isEmpty());
    qputenv("WAYLAND_DISPLAY", compositor.SocketName());
    qputenv("XDG_CURRENT_DESKTOP", "weston");
    CEyeshieldWindow* panel = Build(2, 2, 20);
    const CEyeshieldTask card;
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_CURRENT_DESKTOP");

    auto* description = panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"));
    QCOMPARE(description->text(), QStringLiteral("当前桌面不支持调节屏幕颜色"));
    QCOMPARE(card.StatusText(), QStringLiteral("不支持"));
    QCOMPARE(CheckedButtons(), QStringList{QStringLiteral("btn_working")});

    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btn_player")), Qt::LeftButton);
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldMode(), 4);
    QCOMPARE(CIniSettings::Instance()->GetColortempNumber(), 30);
    QCOMPARE(description->text(), QStringLiteral("当前桌面不支持调节屏幕颜色"));
    panel->findChild<QCheckBox*>(QStringLiteral("check_status"))->setChecked(false);
    QCOMPARE(CIniSettings::Instance()->GetEyeshieldStatus(), 0);
    CCommon::Instance()->ResetGammaRamp();
    QCOMPARE(Screen(), CXGammaServer::Marker());
}

// A wlroots compositor: the panel's tint reaches the compositor's output, never XWayland's ramps,
// and switching off hands the output back.
void TestEyeshieldWindow::wlrootsTintsOutputsNotXWayland()
{
    CCommon::Destroy();
    const CWaylandTestCompositor compositor(true, {256});
    QVERIFY(!compositor.SocketName().isEmpty());
    qputenv("WAYLAND_DISPLAY", compositor.SocketName());
    qputenv("XDG_CURRENT_DESKTOP", "sway");
    CEyeshieldWindow* panel = Build(2, 2, 20);
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_CURRENT_DESKTOP");

    QTRY_COMPARE_WITH_TIMEOUT(compositor.Outputs().front().tables.size(), 1, 5000);
    const stCrtcGamma expected = CXGammaServer::Expected(6600 - 32 * 20);
    const QVector<quint16> table = compositor.Outputs().front().tables.front();
    QCOMPARE(table.mid(0, 256), expected.red);
    QCOMPARE(table.mid(256, 256), expected.green);
    QCOMPARE(table.mid(512), expected.blue);
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"))->text(),
        QStringLiteral("适当过滤蓝色光，便于在工作中集中注意力"));

    panel->findChild<QCheckBox*>(QStringLiteral("check_status"))->setChecked(false);
    QTRY_VERIFY_WITH_TIMEOUT(!compositor.Outputs().front().controlled, 5000);
    QCOMPARE(Screen(), CXGammaServer::Marker());
    m_panel.reset();
    CCommon::Destroy();
}

// Every output's colour held by another program (a night-light tool): the panel and the card say
// that eye protection cannot tint now, and why. Once the program lets go, the next news of an
// output brings the tint in, and they say "on" at once.
void TestEyeshieldWindow::outputsHeldByAnotherProgramSaySo()
{
    CCommon::Destroy();
    CWaylandTestCompositor compositor(true, {256});
    QVERIFY(!compositor.SocketName().isEmpty());
    compositor.RefuseControls(true);
    qputenv("WAYLAND_DISPLAY", compositor.SocketName());
    qputenv("XDG_CURRENT_DESKTOP", "sway");
    // As the program's start does, before the frame.
    CCommon::Instance()->CollectMonitors();
    CEyeshieldWindow* panel = Build(2, 2, 20);
    const CEyeshieldTask card;
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_CURRENT_DESKTOP");

    auto* description = panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"));
    QCOMPARE(description->text(), QStringLiteral("另一个程序正在控制屏幕颜色"));
    QCOMPARE(card.StatusText(), QStringLiteral("不支持"));
    QVERIFY(compositor.Outputs().front().tables.isEmpty());

    compositor.RefuseControls(false);
    compositor.AddOutput(256);
    QTRY_COMPARE_WITH_TIMEOUT(card.StatusText(), QStringLiteral("已开启"), 5000);
    QCOMPARE(description->text(), QStringLiteral("适当过滤蓝色光，便于在工作中集中注意力"));
    QTRY_COMPARE_WITH_TIMEOUT(compositor.Outputs().front().tables.size(), 1, 5000);
    const stCrtcGamma expected = CXGammaServer::Expected(6600 - 32 * 20);
    QCOMPARE(compositor.Outputs().front().tables.front().mid(512), expected.blue);
    m_panel.reset();
    CCommon::Destroy();
}

// An X server without RandR's gamma: nothing can be tinted, and the views say so.
void TestEyeshieldWindow::x11WithoutGammaSaysSo()
{
    CCommon::Destroy();
    const CXGammaServer plain({QStringLiteral("640x480x24")}, {QStringLiteral("-extension"), QStringLiteral("RANDR")});
    QVERIFY(!plain.DisplayName().isEmpty());
    qputenv("DISPLAY", plain.DisplayName());
    CCommon::Instance()->CollectMonitors();
    CEyeshieldWindow* panel = Build(2, 2, 20);
    const CEyeshieldTask card;
    qputenv("DISPLAY", m_server->DisplayName());

    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("label_msg_tips"))->text(),
        QStringLiteral("显示器不支持调节屏幕颜色"));
    QCOMPARE(card.StatusText(), QStringLiteral("不支持"));
    QCOMPARE(CheckedButtons(), QStringList{QStringLiteral("btn_working")});
    m_panel.reset();
    CCommon::Destroy();
}

QTEST_MAIN(TestEyeshieldWindow)
#include "tst_eyeshieldwindow.moc"

#include <atomic>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QComboBox>
#include <QDBusObjectPath>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include "CConsiderateGate.h"
#include "CMainTick.h"
#include "CPausingProgramsSettings.h"
#include "ITickHost.h"
#include "PrivateBus.h"
#include "TestHome.h"
#include "XGammaServer.h"
#include "clock.h"
#include "core/CIniSettings.h"
#include "fullscreenwatcher.h"
#include "idlemonitor.h"
#include "keyboardwatcher.h"
#include "sessionlockmonitor.h"

// Xlib last: its macros would clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
constexpr qint64 kStart = 1796600000;
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/_37");
const QStringList kBothShown{QStringLiteral("sound 2"), QStringLiteral("drink"), QStringLiteral("sound 2"),
    QStringLiteral("relax")};

class CRecordingHost : public ITickHost
{
public:
    QStringList calls;
    bool IsDrinksRecordCurrent() const override { return false; }
    bool IsDrinksSettingsCurrent() const override { return false; }
    bool IsRelaxSettingsCurrent() const override { return false; }
    void PlayPromptSound(int kind) override { calls << QStringLiteral("sound %1").arg(kind); }
    void OnDrinksTipsShow() override { calls << QStringLiteral("drink"); }
    void OnRelaxTipsShow() override { calls << QStringLiteral("relax"); }
    void RefreshDrinksSettings() override {}
    void RefreshRelaxSettings() override {}
    void ReportFeatureStates() override {}
    void ShowWaitReason(const QString& reason) override { reasons << reason; }
    QStringList reasons;
};

// Another program's window on the test's X server, named active on the root as a window
// manager would.
class CStandInWindow
{
public:
    CStandInWindow(Display* display, const QRect& geometry)
        : m_display(display)
    {
        m_window = XCreateSimpleWindow(display, DefaultRootWindow(display), geometry.x(), geometry.y(),
            geometry.width(), geometry.height(), 0, 0, 0);
        XMapWindow(display, m_window);
    }
    ~CStandInWindow()
    {
        XDestroyWindow(m_display, m_window);
        XSync(m_display, False);
    }
    void SetFullscreenState()
    {
        Atom fullscreen = XInternAtom(m_display, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_STATE", False), XA_ATOM, 32,
            PropModeReplace, reinterpret_cast<unsigned char*>(&fullscreen), 1);
        XSync(m_display, False);
    }
    void SetDesktopType()
    {
        Atom desktop = XInternAtom(m_display, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
        XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
            PropModeReplace, reinterpret_cast<unsigned char*>(&desktop), 1);
        XSync(m_display, False);
    }
    void SetPid(qint64 pid)
    {
        unsigned long value = pid;
        XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_PID", False), XA_CARDINAL, 32,
            PropModeReplace, reinterpret_cast<unsigned char*>(&value), 1);
        XSync(m_display, False);
    }
    Window Id() const { return m_window; }
    void MakeActive()
    {
        unsigned long value = m_window;
        XChangeProperty(m_display, DefaultRootWindow(m_display), XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False),
            XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&value), 1);
        XSync(m_display, False);
    }
    void SetClass(const QString& name)
    {
        const QByteArray latin = name.toLatin1();
        XClassHint hint{const_cast<char*>(latin.constData()), const_cast<char*>(latin.constData())};
        XSetClassHint(m_display, m_window, &hint);
        XSync(m_display, False);
    }
    void MoveResize(const QRect& geometry)
    {
        XMoveResizeWindow(m_display, m_window, geometry.x(), geometry.y(), geometry.width(), geometry.height());
        XSync(m_display, False);
    }

private:
    Display* m_display;
    Window m_window;
};

// logind's manager and one session, answering from a thread of their own: the monitor asks them
// with blocking calls from the test's thread.
class CFakeLoginManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSession(const QString&) { return QDBusObjectPath(kSessionPath); }
    QDBusObjectPath GetSessionByPID(uint) { return QDBusObjectPath(kSessionPath); }
};

class CFakeSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool LockedHint READ LockedHint)
public:
    bool locked = true;
    bool LockedHint() const { return locked; }
signals:
    void Lock();
    void Unlock();
};

class CFakeIdleMonitor : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public:
    std::atomic<quint64> idleInterval{0};
public slots:
    uint AddIdleWatch(qulonglong interval)
    {
        idleInterval = interval;
        return 1;
    }
    uint AddUserActiveWatch() { return ++m_lastWatch; }
    void RemoveWatch(uint) {}
signals:
    void WatchFired(uint id);

private:
    uint m_lastWatch = 1;
};
}

class TestConsiderate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void windowInFrontOrTypingHoldsReminders_data();
    void windowInFrontOrTypingHoldsReminders();
    void fullscreenFollowsTheWindowInFront();
    void idleThroughXInputHoldsUntilFirstInput();
    void awayAsLongAsARestRestartsTheRestClock_data();
    void awayAsLongAsARestRestartsTheRestClock();
    void bothSwitchesOffFireAsBefore();
    void chosenSilenceDropsWaitingReminders();
    void programListOffersTheOpenWindows();
    void lockAndUnlockThroughTheSession();
    void waylandIdleFromGnomesMonitor();

private:
    void RunAt(CMainTick& tick, qint64 now);
    void DueReminders();

    CXGammaServer* m_server = nullptr;
    Display* m_display = nullptr;
    QRect m_screen;
    CTestHome* m_home = nullptr;
    // Sources that report nothing, for cases that drive only one of them.
    QDBusConnection m_noBus{QStringLiteral("no bus")};
};

void TestConsiderate::initTestCase()
{
    // A server of its own: no other test's windows or input reach the active window or the idle
    // counter.
    m_server = new CXGammaServer({QStringLiteral("1280x800x24")});
    QVERIFY(!m_server->DisplayName().isEmpty());
    qputenv("DISPLAY", m_server->DisplayName());
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", "x11");
    m_display = XOpenDisplay(m_server->DisplayName().constData());
    QVERIFY(m_display);
    m_screen = QRect(0, 0, DisplayWidth(m_display, 0), DisplayHeight(m_display, 0));
}

void TestConsiderate::cleanupTestCase()
{
    if (m_display)
        XCloseDisplay(m_display);
    delete m_server;
}

void TestConsiderate::init()
{
    m_home = new CTestHome;
    CClock::Set(kStart);
}

void TestConsiderate::cleanup()
{
    XDeleteProperty(m_display, DefaultRootWindow(m_display), XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False));
    XSync(m_display, False);
    CIniSettings::Destroy();
    CClock::Release();
    delete m_home;
}

void TestConsiderate::RunAt(CMainTick& tick, qint64 now)
{
    CClock::Set(now);
    tick.Run();
}

// Both reminders every five minutes, with their sound, the last ones 400 s ago: due at the next tick.
void TestConsiderate::DueReminders()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinkPrompt(2);
    settings->SetRelaxStatus(2);
    settings->SetRelaxPrompt(2);
    settings->SetDrinkTimestamp(kStart - 400);
    settings->SetRelaxTimestamp(kStart - 400);
}

void TestConsiderate::windowInFrontOrTypingHoldsReminders_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("ours");
    QTest::addColumn<bool>("desktop");
    // The class of the window's WM_CLASS; the user chose "Zoom".
    QTest::addColumn<QString>("program");
    // Seconds after the start until which the user types; 0 when not at all.
    QTest::addColumn<int>("typingUntil");
    // Seconds after the start at which the film ends, the window goes or the reminders come;
    // 0 when they come at once.
    QTest::addColumn<int>("heldUntil");
    QTest::addColumn<QString>("reason");
    const QRect window(100, 100, 300, 200);
    const QString fullscreen = QStringLiteral("全屏程序在前台，提醒已暂缓");
    QTest::newRow("marked full screen") << window << true << false << false << QString() << 0 << 1000 << fullscreen;
    QTest::newRow("covers its screen") << QRect() << false << false << false << QString() << 0 << 1000 << fullscreen;
    QTest::newRow("ends 10 s before a grid point") << QRect() << true << false << false << QString() << 0 << 1090
                                                    << fullscreen;
    QTest::newRow("covers part of it") << QRect(0, 0, 1000, 800) << false << false << false << QString() << 0 << 0
                                       << QString();
    QTest::newRow("our own full-screen rest") << QRect() << true << true << false << QString() << 0 << 0 << QString();
    QTest::newRow("the desktop clicked") << QRect() << false << false << true << QString() << 0 << 0 << QString();
    QTest::newRow("a chosen program in front") << window << false << false << false << QStringLiteral("zoom") << 0
                                               << 1000 << QStringLiteral("Zoom 在前台，提醒已暂缓");
    QTest::newRow("another program in front") << window << false << false << false << QStringLiteral("gedit") << 0
                                              << 0 << QString();
    const QString typing = QStringLiteral("正在打字，提醒稍后弹出");
    QTest::newRow("typing stops") << window << false << false << false << QString() << 20 << 25 << typing;
    QTest::newRow("typing goes on past a minute") << window << false << false << false << QString() << 200 << 61
                                                  << typing;
}

void TestConsiderate::windowInFrontOrTypingHoldsReminders()
{
    QFETCH(QRect, geometry);
    QFETCH(bool, marked);
    QFETCH(bool, ours);
    QFETCH(bool, desktop);
    QFETCH(QString, program);
    QFETCH(int, typingUntil);
    QFETCH(int, heldUntil);
    QFETCH(QString, reason);
    DueReminders();
    CIniSettings::Instance()->SetConsideratePrograms({QStringLiteral("Zoom")});
    CFullscreenWatcher watcher;
    QVERIFY(watcher.IsAvailable());
    CIdleMonitor idle(3600);
    CSessionLockMonitor lock(m_noBus);
    CConsiderateGate gate;
    gate.Watch(&watcher, &idle, &lock);
    CKeyboardWatcher keyboard;
    QVERIFY(keyboard.IsAvailable());
    if (typingUntil > 0)
        gate.WatchTyping(&keyboard);
    QSignalSpy keys(&keyboard, &CKeyboardWatcher::KeyPressed);
    // A key as the display server sees it, at the program's clock's `now`.
    auto type = [this, &keys](qint64 now) {
        CClock::Set(now);
        keys.clear();
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, XK_a), True, CurrentTime);
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, XK_a), False, CurrentTime);
        XSync(m_display, False);
    };
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetGate(&gate);
    QSignalSpy changes(&watcher, &CFullscreenWatcher::FullscreenChanged);

    auto* window = new CStandInWindow(m_display, geometry.isNull() ? m_screen : geometry);
    if (marked)
        window->SetFullscreenState();
    if (ours)
        window->SetPid(QCoreApplication::applicationPid());
    if (desktop)
        window->SetDesktopType();
    if (!program.isEmpty())
        window->SetClass(program);
    window->MakeActive();
    if (heldUntil > 0 && typingUntil == 0) {
        QTRY_VERIFY(gate.HoldsReminders());
    } else {
        // Nothing to wait for but the news of the window, which a later change would overtake.
        QTest::qWait(300);
        QVERIFY(changes.isEmpty());
        QVERIFY(!gate.HoldsReminders());
    }

    if (typingUntil > 0)
        type(kStart + 1);
    RunAt(tick, kStart + 1);
    if (heldUntil == 0) {
        QCOMPARE(host.calls, kBothShown);
        QVERIFY(host.reasons.isEmpty());
        delete window;
        return;
    }
    // Grid points keep passing while the film runs; each reminder waits once, sound included.
    // The keys come every other second; each must reach the program before its tick.
    const qint64 shown = kStart + heldUntil;
    for (qint64 now = kStart + 2; now < shown; now += typingUntil > 0 ? 2 : 7) {
        if (now <= kStart + typingUntil) {
            type(now);
            QTRY_COMPARE(keys.count(), 1);
        }
        RunAt(tick, now);
    }
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(host.reasons, QStringList{reason});
    if (typingUntil == 0)
        QCOMPARE(CIniSettings::Instance()->GetDrinkTimestamp(), kStart + 800);

    delete window;
    QTRY_VERIFY(!gate.HoldsReminders());
    RunAt(tick, shown);
    QCOMPARE(host.calls, kBothShown);
    QCOMPARE(host.reasons, (QStringList{reason, QString()}));
    // The keyboard's real stillness cannot follow the test's clock over the next interval.
    if (typingUntil > 0)
        return;
    // The next of each kind comes a full interval after the held one, not at the next point of
    // the grid that ran on through the film.
    RunAt(tick, shown + 1);
    RunAt(tick, shown + 300);
    QCOMPARE(host.calls.count(), 4);
    RunAt(tick, shown + 301);
    QCOMPARE(host.calls.count(), 8);
}

void TestConsiderate::fullscreenFollowsTheWindowInFront()
{
    CStandInWindow film(m_display, QRect(50, 50, 640, 360));
    film.MakeActive();
    CFullscreenWatcher watcher;
    QVERIFY(!watcher.IsFullscreenInFront());

    // Made full screen by resizing, then by its state; left by resizing back, then by the user
    // turning to another window.
    film.MoveResize(m_screen);
    QTRY_VERIFY(watcher.IsFullscreenInFront());
    film.MoveResize(QRect(50, 50, 640, 360));
    QTRY_VERIFY(!watcher.IsFullscreenInFront());
    film.SetFullscreenState();
    QTRY_VERIFY(watcher.IsFullscreenInFront());
    CStandInWindow editor(m_display, QRect(0, 0, 400, 300));
    editor.MakeActive();
    QTRY_VERIFY(!watcher.IsFullscreenInFront());
    film.MakeActive();
    QTRY_VERIFY(watcher.IsFullscreenInFront());

    // A watcher started with the film already in front knows it at once.
    CFullscreenWatcher late;
    QVERIFY(late.IsFullscreenInFront());
}

void TestConsiderate::idleThroughXInputHoldsUntilFirstInput()
{
    // The X server's own counter, with a threshold of a second instead of two minutes.
    XTestFakeRelativeMotionEvent(m_display, 1, 1, CurrentTime);
    XSync(m_display, False);
    CIdleMonitor idle(1);
    QVERIFY(idle.IsAvailable());
    QSignalSpy started(&idle, &CIdleMonitor::IdleStarted);
    QSignalSpy ended(&idle, &CIdleMonitor::IdleEnded);
    // Input more often than the threshold keeps the user present.
    for (int i = 0; i < 6; ++i) {
        XTestFakeRelativeMotionEvent(m_display, 1, 0, CurrentTime);
        XSync(m_display, False);
        QTest::qWait(250);
    }
    QVERIFY(started.isEmpty());

    DueReminders();
    CFullscreenWatcher watcher;
    CSessionLockMonitor lock(m_noBus);
    CConsiderateGate gate;
    gate.Watch(&watcher, &idle, &lock);
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetGate(&gate);
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 5000);
    QVERIFY(gate.IsAway());
    RunAt(tick, kStart + 1);
    QVERIFY(host.calls.isEmpty());
    QTest::qWait(300);
    QVERIFY(ended.isEmpty());

    XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, XK_space), True, CurrentTime);
    XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, XK_space), False, CurrentTime);
    XSync(m_display, False);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 2000);
    RunAt(tick, kStart + 2);
    QCOMPARE(host.calls, kBothShown);
    // Idle again after the next quiet second: the alarms were armed anew.
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 5000);
}

void TestConsiderate::awayAsLongAsARestRestartsTheRestClock_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("awaySecs");
    QTest::addColumn<int>("restMinutes");
    QTest::addColumn<bool>("restTaken");
    QTest::newRow("idle as long as the rest") << false << 1800 << -1 << true;
    QTest::newRow("idle a minute less") << false << 1740 << -1 << false;
    QTest::newRow("locked beyond the rest") << true << 2700 << -1 << true;
    QTest::newRow("locked shorter") << true << 900 << -1 << false;
    QTest::newRow("a short chosen rest") << false << 720 << 10 << true;
}

void TestConsiderate::awayAsLongAsARestRestartsTheRestClock()
{
    QFETCH(bool, locked);
    QFETCH(int, awaySecs);
    QFETCH(int, restMinutes);
    QFETCH(bool, restTaken);
    CIniSettings* settings = CIniSettings::Instance();
    if (restMinutes >= 0)
        settings->SetRelaxSleepTimer(restMinutes);
    // A rest every 45 minutes, the last at the start.
    settings->SetRelaxStatus(2);
    settings->SetRelaxTimerMinute(45);
    settings->SetRelaxTimestamp(kStart);
    CConsiderateGate gate;
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetGate(&gate);
    QObject::connect(&gate, &CConsiderateGate::RestTaken, &gate, [&tick](qint64 at) { tick.RestTaken(at); });

    // The user leaves at +2000 and comes back `awaySecs` later; the rest falls due at +2701,
    // while the user is away.
    const qint64 left = kStart + 2000;
    CClock::Set(left + (locked ? 0 : CConsiderateGate::AwayAfterSecs));
    if (locked)
        gate.SetLocked(true);
    else
        gate.OnIdleStarted(CConsiderateGate::AwayAfterSecs);
    const qint64 back = left + awaySecs;
    for (qint64 now = CClock::Now(); now < back; now += 10)
        RunAt(tick, now);
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(settings->GetRelaxTimestamp(), kStart + 2700);

    CClock::Set(back);
    if (locked)
        gate.SetLocked(false);
    else
        gate.OnIdleEnded();
    QCOMPARE(settings->GetRelaxTimestamp(), restTaken ? back : kStart + 2700);
    RunAt(tick, back + 1);
    QCOMPARE(host.calls, restTaken ? QStringList() : QStringList{QStringLiteral("relax")});

    // The next rest counts from the return.
    if (restTaken) {
        RunAt(tick, back + 2700);
        QVERIFY(host.calls.isEmpty());
        RunAt(tick, back + 2701);
        QCOMPARE(host.calls, QStringList{QStringLiteral("relax")});
    }
}

void TestConsiderate::bothSwitchesOffFireAsBefore()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetConsiderateFullscreen(false);
    settings->SetConsiderateAway(false);
    DueReminders();
    CConsiderateGate gate;
    QSignalSpy rests(&gate, &CConsiderateGate::RestTaken);
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetGate(&gate);
    gate.SetFullscreenInFront(true);
    gate.OnIdleStarted(CConsiderateGate::AwayAfterSecs);
    gate.SetLocked(true);

    RunAt(tick, kStart + 1);
    QCOMPARE(host.calls, kBothShown);
    RunAt(tick, kStart + 200);
    QCOMPARE(host.calls.count(), 4);
    RunAt(tick, kStart + 201);
    QCOMPARE(host.calls.count(), 8);

    CClock::Set(kStart + 7200);
    gate.SetLocked(false);
    gate.OnIdleEnded();
    QVERIFY(rests.isEmpty());

    // Each switch on its own holds again.
    settings->SetConsiderateFullscreen(true);
    QVERIFY(gate.HoldsReminders());
    settings->SetConsiderateFullscreen(false);
    gate.SetLocked(true);
    QVERIFY(!gate.HoldsReminders());
    settings->SetConsiderateAway(true);
    QVERIFY(gate.HoldsReminders());
}

void TestConsiderate::chosenSilenceDropsWaitingReminders()
{
    DueReminders();
    CConsiderateGate gate;
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetGate(&gate);
    gate.SetFullscreenInFront(true);
    RunAt(tick, kStart + 1);
    QVERIFY(host.calls.isEmpty());

    // "今日不弹出" chosen during the film: what waited is not shown once both end, and the next
    // reminder counts its interval from the moment it was dropped.
    CIniSettings::Instance()->SetTodayTipsStatus(1);
    RunAt(tick, kStart + 2);
    CIniSettings::Instance()->SetTodayTipsStatus(0);
    gate.SetFullscreenInFront(false);
    RunAt(tick, kStart + 3);
    RunAt(tick, kStart + 302);
    QVERIFY(host.calls.isEmpty());
    RunAt(tick, kStart + 303);
    QCOMPARE(host.calls, kBothShown);
}

void TestConsiderate::programListOffersTheOpenWindows()
{
    // Programs with windows open, as the window manager lists them; one of the windows is ours.
    CStandInWindow editor(m_display, QRect(0, 0, 200, 100));
    editor.SetClass(QStringLiteral("gedit"));
    CStandInWindow call(m_display, QRect(0, 100, 200, 100));
    call.SetClass(QStringLiteral("zoom"));
    CStandInWindow browser(m_display, QRect(0, 200, 200, 100));
    browser.SetClass(QStringLiteral("Firefox"));
    CStandInWindow own(m_display, QRect(0, 300, 200, 100));
    own.SetClass(QStringLiteral("QzHealthManager"));
    own.SetPid(QCoreApplication::applicationPid());
    unsigned long windows[] = {editor.Id(), call.Id(), browser.Id(), own.Id()};
    XChangeProperty(m_display, DefaultRootWindow(m_display), XInternAtom(m_display, "_NET_CLIENT_LIST", False),
        XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(windows), 4);
    XSync(m_display, False);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetConsideratePrograms({QStringLiteral("Gedit")});

    CPausingProgramsSettings dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* chosen = dialog.findChild<QListWidget*>(QStringLiteral("list_programs"));
    auto* program = dialog.findChild<QComboBox*>(QStringLiteral("comboBox_program"));
    auto* add = dialog.findChild<QPushButton*>(QStringLiteral("btn_add"));
    QVERIFY(chosen && program && add);
    auto offered = [program] {
        QStringList names;
        for (int index = 0; index < program->count(); ++index)
            names << program->itemText(index);
        return names;
    };
    // Sorted, without the one already chosen (whatever its case) and without ours.
    QCOMPARE(offered(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("zoom")}));
    for (auto* control : dialog.findChildren<QWidget*>()) {
        if (control->focusPolicy() != Qt::NoFocus && control->isVisibleTo(&dialog))
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }

    // All by keyboard: a name typed, an offered one picked, each taken with Enter.
    program->setFocus();
    QTest::keyClicks(program, QStringLiteral("obs"));
    QTest::keyClick(program, Qt::Key_Return);
    QCOMPARE(settings->GetConsideratePrograms(), (QStringList{QStringLiteral("Gedit"), QStringLiteral("obs")}));
    program->setCurrentIndex(1);
    QTest::keyClick(program, Qt::Key_Return);
    QCOMPARE(settings->GetConsideratePrograms(),
        (QStringList{QStringLiteral("Gedit"), QStringLiteral("obs"), QStringLiteral("zoom")}));
    QCOMPARE(offered(), QStringList{QStringLiteral("Firefox")});
    // A name the settings file could not keep is not taken.
    QTest::keyClicks(program, QStringLiteral("a,b"));
    QVERIFY(!add->isEnabled());
    QTest::keyClick(program, Qt::Key_Return);
    QCOMPARE(settings->GetConsideratePrograms().count(), 3);

    chosen->setFocus();
    chosen->setCurrentRow(0);
    QTest::keyClick(chosen, Qt::Key_Delete);
    QTest::keyClick(chosen, Qt::Key_Delete);
    QCOMPARE(settings->GetConsideratePrograms(), QStringList{QStringLiteral("zoom")});
    QCOMPARE(offered(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("gedit")}));
    XDeleteProperty(m_display, DefaultRootWindow(m_display), XInternAtom(m_display, "_NET_CLIENT_LIST", False));
}

void TestConsiderate::lockAndUnlockThroughTheSession()
{
    CPrivateBus bus;
    auto* session = new CFakeSession;
    QVERIFY(bus.Serve(QStringLiteral("org.freedesktop.login1"),
        {{QStringLiteral("/org/freedesktop/login1"), new CFakeLoginManager}, {kSessionPath, session}}));

    CSessionLockMonitor lock(bus.Connect(QStringLiteral("monitor")));
    QVERIFY(lock.IsAvailable());
    // Locked before the program started: the hint says so.
    QVERIFY(lock.IsLocked());
    CConsiderateGate gate;
    CFullscreenWatcher watcher;
    CIdleMonitor idle(3600);
    CClock::Set(kStart + 100);
    gate.Watch(&watcher, &idle, &lock);
    QVERIFY(gate.HoldsReminders());

    QSignalSpy rests(&gate, &CConsiderateGate::RestTaken);
    QMetaObject::invokeMethod(session, [session] { emit session->Unlock(); }, Qt::QueuedConnection);
    QTRY_VERIFY(!lock.IsLocked());
    QVERIFY(!gate.HoldsReminders());
    QVERIFY(rests.isEmpty());

    QMetaObject::invokeMethod(session, [session] { emit session->Lock(); }, Qt::QueuedConnection);
    QTRY_VERIFY(lock.IsLocked());
    QVERIFY(gate.HoldsReminders());
    CClock::Set(kStart + 100 + 1800);
    QDBusMessage changed = QDBusMessage::createSignal(
        kSessionPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    changed << QStringLiteral("org.freedesktop.login1.Session") << QVariantMap{{QStringLiteral("LockedHint"), false}}
            << QStringList();
    // Sent by the session manager itself: the monitor listens to no one else.
    QVERIFY(QDBusConnection(QStringLiteral("org.freedesktop.login1")).send(changed));
    QTRY_VERIFY(!lock.IsLocked());
    QCOMPARE(rests.count(), 1);
    QCOMPARE(rests.at(0).at(0).toLongLong(), kStart + 1900);

    // A locker that tells logind nothing (xss-lock with i3lock): no Unlock, no hint. The user's
    // next input ends the lock, or reminders would wait for good.
    QMetaObject::invokeMethod(session, [session] { emit session->Lock(); }, Qt::QueuedConnection);
    QTRY_VERIFY(lock.IsLocked());
    QTest::qWait(200);
    QVERIFY(gate.HoldsReminders());
    XTestFakeRelativeMotionEvent(m_display, 1, 0, CurrentTime);
    XSync(m_display, False);
    QTRY_VERIFY(!lock.IsLocked());
    QVERIFY(!gate.HoldsReminders());
}

void TestConsiderate::waylandIdleFromGnomesMonitor()
{
    CPrivateBus bus;
    auto* mutter = new CFakeIdleMonitor;
    QVERIFY(bus.Serve(
        QStringLiteral("org.gnome.Mutter.IdleMonitor"), {{QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), mutter}}));
    // The session bus is opened once per process: only this case uses it.
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().toUtf8());
    qputenv("XDG_SESSION_TYPE", "wayland");
    const auto restore = qScopeGuard([] { qputenv("XDG_SESSION_TYPE", "x11"); });
    auto fire = [mutter](uint id) {
        QMetaObject::invokeMethod(mutter, [mutter, id] { emit mutter->WatchFired(id); }, Qt::QueuedConnection);
    };

    CIdleMonitor idle(CConsiderateGate::AwayAfterSecs);
    QVERIFY(idle.IsAvailable());
    QCOMPARE(quint64(mutter->idleInterval), quint64(120000));
    QSignalSpy ended(&idle, &CIdleMonitor::IdleEnded);
    fire(1);
    QTRY_VERIFY(idle.IsIdle());
    // Another program's watch is not the user's return.
    fire(7);
    QTest::qWait(200);
    QVERIFY(idle.IsIdle());
    fire(2);
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!idle.IsIdle());
    // The return watch fires once; the idle watch every time.
    fire(2);
    fire(1);
    QTRY_VERIFY(idle.IsIdle());
    fire(3);
    QTRY_VERIFY(!idle.IsIdle());
    QCOMPARE(ended.count(), 2);
}

QTEST_MAIN(TestConsiderate)
// Xlib's Bool macro would rename the type of the fake session's property in the generated code.
#undef Bool
#include "tst_considerate.moc"

// Reminders wait through a meeting, Do Not Disturb and a session kept awake, each seen through the
// real thing where it can run here: GSettings over dconf, Xfce's settings service and a
// PulseAudio server, all on a session bus of the test's own, and a camera folder of its own.
#include <gio/gio.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "CConsiderateGate.h"
#include "CMainTick.h"
#include "ITickHost.h"
#include "PrivateBus.h"
#include "TestHome.h"
#include "camerawatcher.h"
#include "clock.h"
#include "core/CIniSettings.h"
#include "donotdisturbwatcher.h"
#include "idleinhibitwatcher.h"
#include "microphonewatcher.h"

namespace {
constexpr qint64 kStart = 1796600000;
const QString kSink = QStringLiteral("qztest");
const QStringList kBothShown{QStringLiteral("sound 2"), QStringLiteral("drink"), QStringLiteral("sound 2"),
    QStringLiteral("relax")};
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kSessionManager = QStringLiteral("org.gnome.SessionManager");
const QString kSessionManagerPath = QStringLiteral("/org/gnome/SessionManager");
const QString kPowerManagement = QStringLiteral("org.freedesktop.PowerManagement");
const QString kInhibitPath = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");

enum Source
{
    GnomeDoNotDisturb,
    NotificationsInhibited,
    XfceDoNotDisturb,
    SessionKeptAwake,
    PowerManagerInhibit,
    Camera,
    Microphone,
};

class CRecordingHost : public ITickHost
{
public:
    QStringList calls;
    QStringList reasons;
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
};

// The notification service's own interface, as KDE Plasma's publishes it.
class CNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
    Q_PROPERTY(bool Inhibited READ Inhibited)
public:
    bool inhibited = false;
    bool Inhibited() const { return inhibited; }
};

// GNOME's session manager, whose inhibited actions start with a suspend inhibitor only.
class CSessionManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
    Q_PROPERTY(uint InhibitedActions READ InhibitedActions)
public:
    uint actions = 4;
    uint InhibitedActions() const { return actions; }
};

class CPowerManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PowerManagement.Inhibit")
public:
    bool inhibited = false;
public slots:
    bool HasInhibit() { return inhibited; }
signals:
    void HasInhibitChanged(bool inhibited);
};

QString SchemaFolder()
{
    const QByteArray dirs = qEnvironmentVariableIsEmpty("XDG_DATA_DIRS") ? QByteArray("/usr/local/share:/usr/share")
                                                                          : qgetenv("XDG_DATA_DIRS");
    for (const QByteArray& dir : dirs.split(':')) {
        const QString folder = QFile::decodeName(dir) + QStringLiteral("/glib-2.0/schemas");
        if (QFileInfo::exists(folder + QStringLiteral("/org.gnome.desktop.notifications.gschema.xml")))
            return folder;
    }
    return QString();
}

// Sends a signal from the service's own connection: the watchers listen to no one else.
void SendSignal(const QString& service, const QString& path, const QString& interface, const QString& name,
    const QVariantList& arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    QDBusConnection(service).send(signal);
}
}

class TestMeetingHolds : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void meetingHoldsRemindersUntilItEnds_data();
    void meetingHoldsRemindersUntilItEnds();

private:
    void Switch(Source source, bool on);
    void RunAt(CMainTick& tick, qint64 now);

    CTestHome* m_home = nullptr;
    CPrivateBus* m_bus = nullptr;
    QProcess m_soundServer;
    QString m_devices;
    CNotificationService* m_notifications = nullptr;
    CSessionManager* m_session = nullptr;
    CPowerManager* m_power = nullptr;
    GSettings* m_banners = nullptr;
    QProcess m_cameraUser;
    QProcess m_recorder;
};

void TestMeetingHolds::initTestCase()
{
    const QString schemas = SchemaFolder();
    QVERIFY2(!schemas.isEmpty(), "GNOME's notification schema is not installed");
    // One home for the whole case: the settings service the bus starts keeps its files there.
    m_home = new CTestHome;
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas));
    qputenv("GSETTINGS_BACKEND", "dconf");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    m_bus = new CPrivateBus;
    QVERIFY(!m_bus->Address().isEmpty());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->Address().toUtf8());

    m_notifications = new CNotificationService;
    m_session = new CSessionManager;
    m_power = new CPowerManager;
    QVERIFY(m_bus->Serve(kNotifications, {{kNotificationsPath, m_notifications}}));
    QVERIFY(m_bus->Serve(kSessionManager, {{kSessionManagerPath, m_session}}));
    QVERIFY(m_bus->Serve(kPowerManagement, {{kInhibitPath, m_power}}));

    m_banners = g_settings_new("org.gnome.desktop.notifications");
    g_settings_set_boolean(m_banners, "show-banners", TRUE);
    g_settings_sync();

    // A sound server of the test's own, with a sink whose monitor can be recorded; it may run as
    // root, as CI does.
    m_soundServer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_soundServer.start(QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
            QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm"),
            QStringLiteral("--load=module-null-sink sink_name=") + kSink,
            QStringLiteral("--load=module-native-protocol-unix")});
    QVERIFY2(m_soundServer.waitForStarted(), "pulseaudio is not installed");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_home->RuntimeFolder() + QStringLiteral("/pulse/native")), 15000);

    m_devices = m_home->Path() + QStringLiteral("/dev");
    QVERIFY(QDir().mkpath(m_devices));
    QFile camera(m_devices + QStringLiteral("/video0"));
    QVERIFY(camera.open(QIODevice::WriteOnly));
}

void TestMeetingHolds::cleanupTestCase()
{
    if (m_banners)
        g_object_unref(m_banners);
    m_soundServer.terminate();
    m_soundServer.waitForFinished();
    delete m_bus;
    delete m_home;
}

void TestMeetingHolds::init()
{
    CClock::Set(kStart);
}

void TestMeetingHolds::cleanup()
{
    for (QProcess* process : {&m_cameraUser, &m_recorder}) {
        process->kill();
        process->waitForFinished();
    }
    const QString settings = CIniSettings::Instance()->FileName();
    CIniSettings::Destroy();
    QFile::remove(settings);
    CClock::Release();
}

void TestMeetingHolds::RunAt(CMainTick& tick, qint64 now)
{
    CClock::Set(now);
    tick.Run();
}

void TestMeetingHolds::Switch(Source source, bool on)
{
    switch (source) {
    case GnomeDoNotDisturb:
        g_settings_set_boolean(m_banners, "show-banners", !on);
        g_settings_sync();
        break;
    case NotificationsInhibited:
        m_notifications->inhibited = on;
        SendSignal(kNotifications, kNotificationsPath, kProperties, QStringLiteral("PropertiesChanged"),
            {kNotifications, QVariantMap{{QStringLiteral("Inhibited"), on}}, QStringList()});
        break;
    case XfceDoNotDisturb:
        // Xfce's own settings service, started by the bus at the first question.
        QCOMPARE(QProcess::execute(QStringLiteral("xfconf-query"),
                     {QStringLiteral("-c"), QStringLiteral("xfce4-notifyd"), QStringLiteral("-p"),
                         QStringLiteral("/do-not-disturb"), QStringLiteral("-n"), QStringLiteral("-t"),
                         QStringLiteral("bool"), QStringLiteral("-s"), on ? QStringLiteral("true") : QStringLiteral("false")}),
            0);
        break;
    case SessionKeptAwake:
        // The suspend inhibitor stays: only the idle flag keeps the session awake.
        m_session->actions = on ? 4 | 8 : 4;
        SendSignal(kSessionManager, kSessionManagerPath, kProperties, QStringLiteral("PropertiesChanged"),
            {kSessionManager, QVariantMap{{QStringLiteral("InhibitedActions"), m_session->actions}}, QStringList()});
        break;
    case PowerManagerInhibit:
        m_power->inhibited = on;
        SendSignal(kPowerManagement, kInhibitPath, QStringLiteral("org.freedesktop.PowerManagement.Inhibit"),
            QStringLiteral("HasInhibitChanged"), {on});
        break;
    case Camera:
        if (on) {
            // Another program holds the device open for as long as it runs.
            m_cameraUser.setStandardInputFile(m_devices + QStringLiteral("/video0"));
            m_cameraUser.start(QStringLiteral("sleep"), {QStringLiteral("600")});
            QVERIFY(m_cameraUser.waitForStarted());
        } else {
            m_cameraUser.kill();
            m_cameraUser.waitForFinished();
        }
        break;
    case Microphone:
        if (on) {
            m_recorder.start(QStringLiteral("parecord"),
                {QStringLiteral("--device=") + kSink + QStringLiteral(".monitor"), QStringLiteral("/dev/null")});
            QVERIFY2(m_recorder.waitForStarted(), "parecord is not installed");
        } else {
            m_recorder.terminate();
            m_recorder.waitForFinished();
        }
        break;
    }
}

void TestMeetingHolds::meetingHoldsRemindersUntilItEnds_data()
{
    QTest::addColumn<int>("source");
    // The menu's "会议、勿扰时暂缓提醒".
    QTest::addColumn<bool>("switchedOn");
    QTest::addColumn<QString>("reason");
    const QString doNotDisturb = QStringLiteral("勿扰模式已开启，提醒已暂缓");
    const QString keptAwake = QStringLiteral("有程序让屏幕保持常亮，提醒已暂缓");
    const QString meeting = QStringLiteral("正在会议中，提醒已暂缓");
    QTest::newRow("GNOME's Do Not Disturb") << int(GnomeDoNotDisturb) << true << doNotDisturb;
    QTest::newRow("notifications inhibited") << int(NotificationsInhibited) << true << doNotDisturb;
    QTest::newRow("Xfce's Do Not Disturb") << int(XfceDoNotDisturb) << true << doNotDisturb;
    QTest::newRow("GNOME session kept from idle") << int(SessionKeptAwake) << true << keptAwake;
    QTest::newRow("power manager inhibited") << int(PowerManagerInhibit) << true << keptAwake;
    QTest::newRow("camera in use") << int(Camera) << true << meeting;
    QTest::newRow("microphone recording") << int(Microphone) << true << meeting;
    QTest::newRow("camera in use, switched off") << int(Camera) << false << QString();
}

void TestMeetingHolds::meetingHoldsRemindersUntilItEnds()
{
    QFETCH(int, source);
    QFETCH(bool, switchedOn);
    QFETCH(QString, reason);
    // Both reminders every five minutes, with their sound, the last ones 400 s ago.
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinkPrompt(2);
    settings->SetRelaxStatus(2);
    settings->SetRelaxPrompt(2);
    settings->SetDrinkTimestamp(kStart - 400);
    settings->SetRelaxTimestamp(kStart - 400);
    settings->SetConsiderateMeeting(switchedOn);

    CDoNotDisturbWatcher doNotDisturb;
    CIdleInhibitWatcher inhibit;
    CCameraWatcher camera(m_devices);
    QVERIFY(camera.IsAvailable());
    CMicrophoneWatcher microphone;
    QVERIFY(microphone.IsAvailable());
    // The watchers' first questions are answered: nothing holds yet.
    QTest::qWait(300);
    CConsiderateGate gate;
    gate.WatchMeetings(&doNotDisturb, &inhibit, &camera, &microphone);
    QVERIFY(!gate.HoldsReminders());
    CRecordingHost host;
    CMainTick tick(host, kStart);
    tick.SetGate(&gate);

    Switch(Source(source), true);
    if (!switchedOn) {
        QTRY_VERIFY(camera.IsInUse());
        RunAt(tick, kStart + 1);
        QCOMPARE(host.calls, kBothShown);
        return;
    }
    QTRY_VERIFY(gate.HoldsReminders());
    // Grid points keep passing while the meeting goes on; each reminder waits once.
    for (qint64 now = kStart + 1; now < kStart + 700; now += 60)
        RunAt(tick, now);
    QVERIFY(host.calls.isEmpty());
    QCOMPARE(host.reasons, QStringList{reason});

    Switch(Source(source), false);
    QTRY_VERIFY(!gate.HoldsReminders());
    const qint64 ended = kStart + 710;
    RunAt(tick, ended);
    QCOMPARE(host.calls, kBothShown);
    QCOMPARE(host.reasons, (QStringList{reason, QString()}));
    RunAt(tick, ended + 300);
    QCOMPARE(host.calls.count(), 4);
    RunAt(tick, ended + 301);
    QCOMPARE(host.calls.count(), 8);
}

QTEST_GUILESS_MAIN(TestMeetingHolds)
#include "tst_meetingholds.moc"

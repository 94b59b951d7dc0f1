// GNOME's Night Light through real GSettings over dconf on the private session bus the test runs
// on: whatever tints and however the program ends, the user's own values come back exactly.
#include <gio/gio.h>

#include <csignal>
#include <memory>

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "ProgramProcesses.h"
#include "TestHome.h"
#include "WaylandTestCompositor.h"
#include "XGammaServer.h"
#include "linux/gamma_gnome.h"

namespace {
constexpr int kWaitMs = 15000;
const char* const kKeys[] = {"night-light-enabled", "night-light-temperature", "night-light-schedule-automatic",
    "night-light-schedule-from", "night-light-schedule-to"};
const QString kDefault = QStringLiteral("(default)");

using Values = QMap<QString, QString>;

// Each touched key's own value as text, or "(default)" where none is set.
Values UserValues()
{
    GSettings* settings = g_settings_new(CGnomeNightLight::Schema);
    Values values;
    for (const char* key : kKeys) {
        GVariant* value = g_settings_get_user_value(settings, key);
        if (!value) {
            values.insert(QLatin1String(key), kDefault);
            continue;
        }
        gchar* text = g_variant_print(value, TRUE);
        values.insert(QLatin1String(key), QString::fromUtf8(text));
        g_free(text);
        g_variant_unref(value);
    }
    g_object_unref(settings);
    return values;
}

QString SchemaFolder(const QByteArray& dataDirs)
{
    const QByteArray dirs = dataDirs.isEmpty() ? QByteArray("/usr/local/share:/usr/share") : dataDirs;
    for (const QByteArray& dir : dirs.split(':')) {
        const QString folder = QFile::decodeName(dir) + QStringLiteral("/glib-2.0/schemas");
        if (QFileInfo::exists(folder + QStringLiteral("/org.gnome.settings-daemon.plugins.color.gschema.xml")))
            return folder;
    }
    return QString();
}
}

class TestGnomeNightLight : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void tintAndOffPutUserValuesBack();
    void valuesNotWrittenBackKeepTheSavedFile();
    void programEndsWithUserValues_data();
    void programEndsWithUserValues();

private:
    QString SavedFile() const;
    QProcessEnvironment ProgramEnvironment(int status, const QByteArray& display) const;
    void StartProgram(int status, const QByteArray& display);
    std::unique_ptr<QProcess> StartUnderSessionManager() const;
    QList<pid_t> Programs() const;

    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<CXGammaServer> m_server;
    std::unique_ptr<CWaylandTestCompositor> m_compositor;
    std::unique_ptr<QProcess> m_program;
    Values m_user;
};

void TestGnomeNightLight::initTestCase()
{
    const QString schemas = SchemaFolder(qgetenv("XDG_DATA_DIRS"));
    QVERIFY2(!schemas.isEmpty(), "GNOME's Night Light schema is not installed");
    m_home = std::make_unique<CTestHome>();
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas));
    qputenv("GSETTINGS_BACKEND", "dconf");
    // The settings service is started by the bus: it must keep its database in the test's home.
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), "no session bus: run the test through dbus-run-session");
    QDBusMessage update = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("UpdateActivationEnvironment"));
    QMap<QString, QString> environment{{QStringLiteral("XDG_CONFIG_HOME"), m_home->ConfigFolder()},
        {QStringLiteral("XDG_RUNTIME_DIR"), m_home->RuntimeFolder()}};
    update << QVariant::fromValue(environment);
    QCOMPARE(bus.call(update).type(), QDBusMessage::ReplyMessage);

    // The user's own Night Light: some keys set, others at their defaults.
    GSettings* settings = g_settings_new(CGnomeNightLight::Schema);
    g_settings_set_boolean(settings, "night-light-enabled", FALSE);
    g_settings_set_uint(settings, "night-light-temperature", 3300);
    g_settings_reset(settings, "night-light-schedule-automatic");
    g_settings_set_double(settings, "night-light-schedule-from", 19.5);
    g_settings_reset(settings, "night-light-schedule-to");
    g_settings_sync();
    g_object_unref(settings);
    m_user = UserValues();
    QCOMPARE(m_user.value(QStringLiteral("night-light-temperature")), QStringLiteral("uint32 3300"));
    QCOMPARE(m_user.value(QStringLiteral("night-light-schedule-to")), kDefault);

    m_server = std::make_unique<CXGammaServer>();
    QVERIFY2(!m_server->DisplayName().isEmpty(), "Xvfb did not start");
    m_compositor = std::make_unique<CWaylandTestCompositor>(false, std::vector<int>{256});
    QVERIFY(!m_compositor->SocketName().isEmpty());
}

void TestGnomeNightLight::init()
{
    QDir(m_home->DataFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(m_home->DataFolder() + QStringLiteral("/QzHealthManager")));
}

void TestGnomeNightLight::cleanup()
{
    for (const pid_t pid : Programs())
        ::kill(pid, SIGKILL);
    QTRY_VERIFY(Programs().isEmpty());
    if (m_program) {
        m_program->waitForFinished(3000);
        m_program.reset();
    }
}

void TestGnomeNightLight::cleanupTestCase()
{
    m_compositor.reset();
    m_server.reset();
    m_home.reset();
}

QString TestGnomeNightLight::SavedFile() const
{
    return m_home->DataFolder() + QStringLiteral("/QzHealthManager/gnome-night-light.json");
}

// Copies of the program, also the crash helper, that carry this test's runtime folder.
QList<pid_t> TestGnomeNightLight::Programs() const
{
    return ProgramProcesses(QFileInfo(QStringLiteral(QZ_PROGRAM)).canonicalFilePath(), m_home->RuntimeFolder());
}

QProcessEnvironment TestGnomeNightLight::ProgramEnvironment(int status, const QByteArray& display) const
{
    QFile config(m_home->DataFolder() + QStringLiteral("/QzHealthManager/QzConfig.ini"));
    if (config.open(QIODevice::WriteOnly))
        config.write(
            QStringLiteral("[eyeshield]\nstatus=%1\nmode=4\n[boot]\nboottips_timestamp=1\n").arg(status).toLatin1());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(m_compositor->SocketName()));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

void TestGnomeNightLight::StartProgram(int status, const QByteArray& display)
{
    m_program = std::make_unique<QProcess>();
    m_program->setProcessEnvironment(ProgramEnvironment(status, display));
    m_program->setWorkingDirectory(m_home->Path());
    m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program->setStandardOutputFile(QProcess::nullDevice());
    m_program->start(QStringLiteral(QZ_PROGRAM), {QStringLiteral("showMini")});
    QVERIFY(m_program->waitForStarted(3000));
}

// xsm on the test's X server, starting the program as the one client of its session.
std::unique_ptr<QProcess> TestGnomeNightLight::StartUnderSessionManager() const
{
    QFile startup(m_home->Path() + QStringLiteral("/.xsmstartup"));
    if (!startup.open(QIODevice::WriteOnly))
        return nullptr;
    startup.write(QFile::encodeName(QStringLiteral(QZ_PROGRAM)) + " showMini\n");
    startup.close();
    QProcessEnvironment environment = ProgramEnvironment(2, m_server->DisplayName());
    environment.insert(QStringLiteral("HOME"), m_home->Path());
    auto manager = std::make_unique<QProcess>();
    manager->setProcessEnvironment(environment);
    manager->setWorkingDirectory(m_home->Path());
    manager->setStandardOutputFile(QProcess::nullDevice());
    manager->setStandardErrorFile(QProcess::nullDevice());
    manager->start(QStringLiteral("xsm"), QStringList());
    return manager->waitForStarted(3000) ? std::move(manager) : nullptr;
}

void TestGnomeNightLight::tintAndOffPutUserValuesBack()
{
    CGnomeNightLight nightLight(m_home->DataFolder() + QStringLiteral("/QzHealthManager"));
    QVERIFY(nightLight.CanTint());
    nightLight.SetTemperature(5640, {});
    Values tinted = UserValues();
    QCOMPARE(tinted.value(QStringLiteral("night-light-enabled")), QStringLiteral("true"));
    QCOMPARE(tinted.value(QStringLiteral("night-light-temperature")), QStringLiteral("uint32 5640"));
    QCOMPARE(tinted.value(QStringLiteral("night-light-schedule-automatic")), QStringLiteral("false"));
    QCOMPARE(tinted.value(QStringLiteral("night-light-schedule-from")),
        tinted.value(QStringLiteral("night-light-schedule-to")));
    QVERIFY(QFileInfo::exists(SavedFile()));
    // A second step saves nothing anew: the tint is not the user's own.
    nightLight.SetTemperature(4680, {});
    QCOMPARE(UserValues().value(QStringLiteral("night-light-temperature")), QStringLiteral("uint32 4680"));

    nightLight.Restore({});
    QCOMPARE(UserValues(), m_user);
    QVERIFY(!QFileInfo::exists(SavedFile()));
    // Off twice changes nothing more.
    nightLight.Restore({});
    QCOMPARE(UserValues(), m_user);
}

// The settings service cannot write (its folder is taken): the saved file stays, and the next try
// puts every value back.
void TestGnomeNightLight::valuesNotWrittenBackKeepTheSavedFile()
{
    CGnomeNightLight nightLight(m_home->DataFolder() + QStringLiteral("/QzHealthManager"));
    nightLight.SetTemperature(5640, {});
    QCOMPARE(UserValues().value(QStringLiteral("night-light-temperature")), QStringLiteral("uint32 5640"));
    const QString store = m_home->ConfigFolder() + QStringLiteral("/dconf");
    QVERIFY(QDir().rename(store, store + QStringLiteral(".away")));
    QFile blocker(store);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    nightLight.Restore({});
    QVERIFY(QFileInfo::exists(SavedFile()));
    QCOMPARE(UserValues().value(QStringLiteral("night-light-temperature")), QStringLiteral("uint32 5640"));

    QVERIFY(QFile::remove(store));
    QVERIFY(QDir().rename(store + QStringLiteral(".away"), store));
    nightLight.Restore({});
    QCOMPARE(UserValues(), m_user);
    QVERIFY(!QFileInfo::exists(SavedFile()));
}

void TestGnomeNightLight::programEndsWithUserValues_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("SIGTERM") << QStringLiteral("SIGTERM");
    QTest::newRow("SIGINT ends as a confirmed exit does") << QStringLiteral("SIGINT");
    QTest::newRow("crash") << QStringLiteral("SIGSEGV");
    QTest::newRow("SIGKILL, then the next start") << QStringLiteral("SIGKILL");
    // XWayland going away at a Wayland logout: Qt leaves the process from inside its X handler.
    QTest::newRow("X server gone") << QStringLiteral("X gone");
    // A logout through the X session manager: "save yourself", then "die".
    QTest::newRow("end of session (xsm)") << QStringLiteral("xsm");
}

void TestGnomeNightLight::programEndsWithUserValues()
{
    QFETCH(QString, end);
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));
    std::unique_ptr<CPrivateXServer> ownServer;
    std::unique_ptr<QProcess> sessionManager;
    if (end == QLatin1String("X gone")) {
        ownServer = std::make_unique<CPrivateXServer>();
        StartProgram(2, ownServer->DisplayName());
    } else if (end == QLatin1String("xsm")) {
        sessionManager = StartUnderSessionManager();
        QVERIFY(sessionManager);
    } else {
        StartProgram(2, m_server->DisplayName());
    }
    QTRY_COMPARE_WITH_TIMEOUT(UserValues().value(QStringLiteral("night-light-temperature")),
        QStringLiteral("uint32 5640"), kWaitMs);
    QCOMPARE(UserValues().value(QStringLiteral("night-light-enabled")), QStringLiteral("true"));
    // XWayland's ramps would never reach the screen: none are written.
    QCOMPARE(m_server->ReadGamma().front(), CXGammaServer::Marker());

    const QList<pid_t> programs = Programs();
    QCOMPARE(programs.size(), 1);
    if (end == QLatin1String("X gone"))
        ownServer.reset();
    else if (end == QLatin1String("xsm"))
        QCOMPARE(::kill(pid_t(sessionManager->processId()), SIGTERM), 0);
    else
        QCOMPARE(::kill(programs.front(), end == QLatin1String("SIGTERM") ? SIGTERM
                     : end == QLatin1String("SIGINT")                    ? SIGINT
                     : end == QLatin1String("SIGSEGV")                   ? SIGSEGV
                                                                         : SIGKILL),
            0);
    QTRY_VERIFY2_WITH_TIMEOUT(!Programs().contains(programs.front()), "the program kept running", 5000);
    if (end == QLatin1String("SIGKILL")) {
        QCOMPARE(UserValues().value(QStringLiteral("night-light-temperature")), QStringLiteral("uint32 5640"));
        QVERIFY(QFileInfo::exists(SavedFile()));
        StartProgram(0, m_server->DisplayName());
    }
    QTRY_COMPARE_WITH_TIMEOUT(UserValues(), m_user, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(SavedFile()), kWaitMs);
    if (end == QLatin1String("SIGKILL")) {
        QCOMPARE(::kill(pid_t(m_program->processId()), SIGTERM), 0);
        QVERIFY(m_program->waitForFinished(5000));
        QCOMPARE(UserValues(), m_user);
    }
    QCOMPARE(m_server->ReadGamma().front(), CXGammaServer::Marker());
    if (sessionManager) {
        sessionManager->kill();
        sessionManager->waitForFinished(3000);
    }
}

QTEST_GUILESS_MAIN(TestGnomeNightLight)
#include "tst_gnomenightlight.moc"

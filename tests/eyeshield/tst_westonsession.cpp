// The program on a real Wayland compositor that offers no gamma control (weston, headless), with
// an Xvfb standing in for XWayland: on GNOME the desktop's Night Light tints, on any other desktop
// the panel says it cannot; XWayland's ramps, which would never reach the screen, stay untouched.
#include <gio/gio.h>

#include <csignal>
#include <memory>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>

#include "core/CCommon.h"
#include "CEyeshieldWindow.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "XGammaServer.h"
#include "linux/gamma_gnome.h"

namespace {
constexpr int kWaitMs = 15000;
const QString kSocket = QStringLiteral("wayland-weston-test");

QString Temperature()
{
    GSettings* settings = g_settings_new(CGnomeNightLight::Schema);
    GVariant* value = g_settings_get_user_value(settings, "night-light-temperature");
    QString text = QStringLiteral("(default)");
    if (value) {
        text = QString::number(g_variant_get_uint32(value));
        g_variant_unref(value);
    }
    g_object_unref(settings);
    return text;
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

class TestWestonSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void gnomeTintsThroughNightLight();
    void otherDesktopSaysItCannot();

private:
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<CXGammaServer> m_server;
    QProcess m_weston;
};

void TestWestonSession::initTestCase()
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    QVERIFY2(!weston.isEmpty(), "weston is not installed");
    const QString schemas = SchemaFolder(qgetenv("XDG_DATA_DIRS"));
    QVERIFY2(!schemas.isEmpty(), "GNOME's Night Light schema is not installed");
    m_home = std::make_unique<CTestHome>();
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas));
    qputenv("GSETTINGS_BACKEND", "dconf");
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY2(bus.isConnected(), "no session bus: run the test through dbus-run-session");
    QDBusMessage update = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("UpdateActivationEnvironment"));
    update << QVariant::fromValue(QMap<QString, QString>{{QStringLiteral("XDG_CONFIG_HOME"), m_home->ConfigFolder()},
        {QStringLiteral("XDG_RUNTIME_DIR"), m_home->RuntimeFolder()}});
    QCOMPARE(bus.call(update).type(), QDBusMessage::ReplyMessage);

    m_server = std::make_unique<CXGammaServer>();
    QVERIFY2(!m_server->DisplayName().isEmpty(), "Xvfb did not start");
    QVERIFY(m_server->WriteGamma(CXGammaServer::Marker()));

    m_weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_weston.setStandardOutputFile(QProcess::nullDevice());
    m_weston.start(weston, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + kSocket,
                               QStringLiteral("--idle-time=0")});
    QVERIFY(m_weston.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_home->RuntimeFolder() + QLatin1Char('/') + kSocket), kWaitMs);
}

void TestWestonSession::cleanupTestCase()
{
    m_weston.terminate();
    if (!m_weston.waitForFinished(5000))
        m_weston.kill();
    m_weston.waitForFinished(1000);
    m_server.reset();
    m_home.reset();
}

void TestWestonSession::gnomeTintsThroughNightLight()
{
    const QString folder = m_home->DataFolder() + QStringLiteral("/QzHealthManager");
    QVERIFY(QDir().mkpath(folder));
    QFile config(folder + QStringLiteral("/QzConfig.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[eyeshield]\nstatus=2\nmode=4\n[boot]\nboottips_timestamp=1\n");
    config.close();
    QCOMPARE(Temperature(), QStringLiteral("(default)"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_server->DisplayName()));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_home->Path());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.start(QStringLiteral(QZ_PROGRAM), {QStringLiteral("showMini")});
    QVERIFY(program.waitForStarted(3000));
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), QStringLiteral("5640"), kWaitMs);
    QCOMPARE(m_server->ReadGamma().front(), CXGammaServer::Marker());

    program.terminate();
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(Temperature(), QStringLiteral("(default)"));
    QCOMPARE(m_server->ReadGamma().front(), CXGammaServer::Marker());
}

void TestWestonSession::otherDesktopSaysItCannot()
{
    qputenv("DISPLAY", m_server->DisplayName());
    qputenv("WAYLAND_DISPLAY", kSocket.toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "Hyprland");
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetEyeshieldStatus(2);
    settings->SetEyeshieldMode(3);
    {
        CEyeshieldWindow panel;
        QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("label_msg_tips"))->text(),
            QStringLiteral("当前桌面不支持调节屏幕颜色"));
        QCOMPARE(settings->GetEyeshieldMode(), 3);
        CCommon::Instance()->ResetGammaRamp();
    }
    CCommon::Destroy();
    CIniSettings::Destroy();
    QCOMPARE(m_server->ReadGamma().front(), CXGammaServer::Marker());
    QCOMPARE(Temperature(), QStringLiteral("(default)"));
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_CURRENT_DESKTOP");
}

QTEST_MAIN(TestWestonSession)
#include "tst_westonsession.moc"

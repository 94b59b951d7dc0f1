// KWin's Night Light against a real KWin (`kwin_wayland --virtual`) on the private session bus the
// test runs on, its configuration in the test's own home: what the program asks for shows as
// KWin's current temperature, and however the program ends, KWin and kwinrc are the user's again.
#include <csignal>
#include <memory>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>

#include "PrivateXServer.h"
#include "ProgramProcesses.h"
#include "TestHome.h"
#include "linux/gamma_kde.h"

namespace {
constexpr int kWaitMs = 15000;
const QString kKWin = QStringLiteral("org.kde.KWin");
// The user's own: Night Light off, on a schedule of its own; the temperature never set.
const QByteArray kUserNightColor = "[NightColor]\nActive=false\nMode=Times\n";

QVariant NightLight(const QString& property)
{
    QDBusMessage get = QDBusMessage::createMethodCall(kKWin, QStringLiteral("/ColorCorrect"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.kwin.ColorCorrect") << property;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).value<QDBusVariant>().variant()
                                                      : QVariant();
}

uint Temperature()
{
    return NightLight(QStringLiteral("currentTemperature")).toUInt();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of kwinrc's Night Light group: KWin writes groups of its own into the file whenever
// it likes, those are its business.
QByteArray NightColorGroup(const QByteArray& kwinrc)
{
    const int start = kwinrc.indexOf("[NightColor]\n");
    if (start < 0)
        return QByteArray();
    const int end = kwinrc.indexOf("\n[", start);
    return kwinrc.mid(start, end < 0 ? -1 : end - start).trimmed();
}
}

class TestKdeNightColor : public QObject
{
    Q_OBJECT
public slots:
    void OnConfigChanged();

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void tintReachesKWinAndComesBack();
    void programEndsWithUserValues_data();
    void programEndsWithUserValues();

private:
    QString KwinRc() const;
    QString SavedFile() const;
    void StartProgram(int status);
    QList<pid_t> Programs() const;

    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<QProcess> m_kwin;
    std::unique_ptr<CPrivateXServer> m_server;
    std::unique_ptr<QProcess> m_program;
    QByteArray m_user;
    int m_notifications = 0;
};

void TestKdeNightColor::OnConfigChanged()
{
    ++m_notifications;
}

void TestKdeNightColor::initTestCase()
{
    const QString installed = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
    QVERIFY2(!installed.isEmpty(), "kwin_wayland is missing (Debian package kwin-wayland)");
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test through dbus-run-session");
    m_home = std::make_unique<CTestHome>();
    QVERIFY(!CKdeNightColor::Available());

    // A copy without the installed file's capabilities, which a container may not grant; KWin
    // takes its own platform plugin only under its own name.
    const QString kwin = m_home->Path() + QStringLiteral("/bin/kwin_wayland");
    QVERIFY(QDir().mkpath(QFileInfo(kwin).path()));
    QVERIFY(QFile::copy(installed, kwin));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("KWIN_COMPOSE"), QStringLiteral("Q"));
    m_kwin = std::make_unique<QProcess>();
    m_kwin->setProcessEnvironment(environment);
    m_kwin->setStandardOutputFile(QProcess::nullDevice());
    m_kwin->setStandardErrorFile(m_home->Path() + QStringLiteral("/kwin.log"));
    m_kwin->start(kwin, {QStringLiteral("--virtual"), QStringLiteral("--no-lockscreen"), QStringLiteral("--socket"),
                            QStringLiteral("kwin-test")});
    QVERIFY(m_kwin->waitForStarted(5000));
    QTRY_VERIFY2_WITH_TIMEOUT(CKdeNightColor::Available(), qPrintable(ReadFile(m_home->Path() + "/kwin.log")), kWaitMs);
    QCOMPARE(NightLight(QStringLiteral("enabled")).toBool(), false);

    QVERIFY(QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/kwinrc"),
        QStringLiteral("org.kde.kconfig.notify"), QStringLiteral("ConfigChanged"), this, SLOT(OnConfigChanged())));
    // KWin writes its own groups in the first seconds of its start, rewriting the whole file: the
    // user's Night Light goes beside them once it has settled.
    QByteArray settled;
    for (int quiet = 0; quiet < 4; ++quiet) {
        QTest::qWait(250);
        const QByteArray now = ReadFile(KwinRc());
        if (now != settled)
            quiet = -1;
        settled = now;
    }
    QFile rc(KwinRc());
    QVERIFY(rc.open(QIODevice::Append));
    rc.write("\n" + kUserNightColor);
    rc.close();
    m_user = NightColorGroup(ReadFile(KwinRc()));
    QCOMPARE(m_user, kUserNightColor.trimmed());
}

void TestKdeNightColor::init()
{
    QVERIFY(QDir().mkpath(m_home->DataFolder() + QStringLiteral("/QzHealthManager")));
    m_notifications = 0;
}

void TestKdeNightColor::cleanup()
{
    for (const pid_t pid : Programs())
        ::kill(pid, SIGKILL);
    QTRY_VERIFY(Programs().isEmpty());
    m_program.reset();
    m_server.reset();
    QFile::remove(SavedFile());
}

void TestKdeNightColor::cleanupTestCase()
{
    if (m_kwin) {
        m_kwin->terminate();
        m_kwin->waitForFinished(5000);
    }
    m_home.reset();
}

QString TestKdeNightColor::KwinRc() const
{
    return m_home->ConfigFolder() + QStringLiteral("/kwinrc");
}

QString TestKdeNightColor::SavedFile() const
{
    return m_home->DataFolder() + QStringLiteral("/QzHealthManager/kde-night-color.json");
}

// Copies of the program, also the crash helper, that carry this test's runtime folder.
QList<pid_t> TestKdeNightColor::Programs() const
{
    return ProgramProcesses(QFileInfo(QStringLiteral(QZ_PROGRAM)).canonicalFilePath(), m_home->RuntimeFolder());
}

void TestKdeNightColor::StartProgram(int status)
{
    QFile config(m_home->DataFolder() + QStringLiteral("/QzHealthManager/QzConfig.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(
        QStringLiteral("[eyeshield]\nstatus=%1\nmode=4\n[boot]\nboottips_timestamp=1\n").arg(status).toLatin1());
    config.close();
    if (!m_server)
        m_server = std::make_unique<CPrivateXServer>();
    QVERIFY(!m_server->DisplayName().isEmpty());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_server->DisplayName()));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("kwin-test"));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_program = std::make_unique<QProcess>();
    m_program->setProcessEnvironment(environment);
    m_program->setWorkingDirectory(m_home->Path());
    m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program->setStandardOutputFile(QProcess::nullDevice());
    m_program->start(QStringLiteral(QZ_PROGRAM), {QStringLiteral("showMini")});
    QVERIFY(m_program->waitForStarted(3000));
}

void TestKdeNightColor::tintReachesKWinAndComesBack()
{
    const QString folder = m_home->DataFolder() + QStringLiteral("/QzHealthManager");
    auto nightColor = std::make_unique<CKdeNightColor>(folder);
    QVERIFY(nightColor->CanTint());
    nightColor->SetTemperature(5000, {});
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 5000u, kWaitMs);
    QCOMPARE(NightLight(QStringLiteral("enabled")).toBool(), true);
    QVERIFY(QFileInfo::exists(SavedFile()));

    // A dragged slider: of thirty steps at once the first is written, the others gathered into
    // one more write of the last.
    const int before = m_notifications;
    for (int kelvin = 5000; kelvin > 5000 - 30 * 32; kelvin -= 32)
        nightColor->SetTemperature(kelvin, {});
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), uint(5000 - 29 * 32), kWaitMs);
    QCOMPARE(m_notifications - before, 2);
    // Beyond what KWin accepts, the nearest it does.
    nightColor->SetTemperature(-200, {});
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 1000u, kWaitMs);

    nightColor->Restore({});
    QCOMPARE(NightColorGroup(ReadFile(KwinRc())), m_user);
    QVERIFY(!QFileInfo::exists(SavedFile()));
    QTRY_COMPARE_WITH_TIMEOUT(NightLight(QStringLiteral("enabled")).toBool(), false, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 6500u, kWaitMs);

    // Ended without Restore, the backend still puts the user's values back.
    nightColor->SetTemperature(4000, {});
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 4000u, kWaitMs);
    nightColor.reset();
    QCOMPARE(NightColorGroup(ReadFile(KwinRc())), m_user);
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 6500u, kWaitMs);
}

void TestKdeNightColor::programEndsWithUserValues_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("SIGTERM") << QStringLiteral("SIGTERM");
    // Qt leaves the process from inside its X connection's handler.
    QTest::newRow("X server gone") << QStringLiteral("X gone");
    QTest::newRow("SIGKILL, then the next start") << QStringLiteral("SIGKILL");
}

void TestKdeNightColor::programEndsWithUserValues()
{
    QFETCH(QString, end);
    StartProgram(2);
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 5640u, kWaitMs);

    if (end == QLatin1String("X gone"))
        m_server.reset();
    else
        QCOMPARE(::kill(pid_t(m_program->processId()), end == QLatin1String("SIGTERM") ? SIGTERM : SIGKILL), 0);
    QVERIFY2(m_program->waitForFinished(5000), "the program kept running");
    if (end == QLatin1String("SIGKILL")) {
        QCOMPARE(Temperature(), 5640u);
        QVERIFY(QFileInfo::exists(SavedFile()));
        StartProgram(0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(NightColorGroup(ReadFile(KwinRc())), m_user, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(SavedFile()), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(Temperature(), 6500u, kWaitMs);
    QCOMPARE(NightLight(QStringLiteral("enabled")).toBool(), false);
}

QTEST_GUILESS_MAIN(TestKdeNightColor)
#include "tst_kdenightcolor.moc"

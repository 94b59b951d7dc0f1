// KWin's Night Light through KDE's configuration tool and a stand-in for KWin's D-Bus interface on
// the private session bus the test runs on; the configuration lives in the test's own home.
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

#include "TestHome.h"
#include "linux/gamma_kde.h"

namespace {
// KWin's answers, made on a thread of their own: the backend waits for them on the main thread.
class CKWinStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin")
public:
    std::atomic<int> reconfigured {0};

public slots:
    void reconfigure()
    {
        ++reconfigured;
    }
};

class CNightLightStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.NightLight")
    Q_PROPERTY(bool available READ available)
public:
    bool available() const
    {
        return true;
    }
};

QString ReadKey(const QString& key)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("kreadconfig5")),
        {QStringLiteral("--file"), QStringLiteral("kwinrc"), QStringLiteral("--group"), QStringLiteral("NightColor"),
            QStringLiteral("--key"), key, QStringLiteral("--default"), QStringLiteral("(absent)")});
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString KwinRc(const CTestHome& home)
{
    QFile file(home.ConfigFolder() + QStringLiteral("/kwinrc"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
}

class TestKdeNightColor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void tintOffAndLeftover();

private:
    std::unique_ptr<CTestHome> m_home;
    QThread m_thread;
    CKWinStandIn* m_kwin = nullptr;
    CNightLightStandIn* m_nightLight = nullptr;
};

void TestKdeNightColor::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("kwriteconfig5")).isEmpty(), "kwriteconfig5 is missing");
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run the test through dbus-run-session");
    m_home = std::make_unique<CTestHome>();
    QVERIFY(!CKdeNightColor::Available());

    m_kwin = new CKWinStandIn;
    m_nightLight = new CNightLightStandIn;
    m_kwin->moveToThread(&m_thread);
    m_nightLight->moveToThread(&m_thread);
    m_thread.start();
    QDBusConnection standIn = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kwin"));
    QVERIFY(standIn.registerObject(QStringLiteral("/KWin"), m_kwin, QDBusConnection::ExportAllSlots));
    QVERIFY(standIn.registerObject(QStringLiteral("/org/kde/KWin/NightLight"), m_nightLight,
        QDBusConnection::ExportAllProperties));
    QVERIFY(standIn.registerService(QStringLiteral("org.kde.KWin")));
    QVERIFY(CKdeNightColor::Available());
}

void TestKdeNightColor::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
    m_thread.quit();
    m_thread.wait();
    delete m_kwin;
    delete m_nightLight;
    m_home.reset();
}

void TestKdeNightColor::tintOffAndLeftover()
{
    // The user's own: Night Light on a schedule, the temperature never set.
    QFile rc(m_home->ConfigFolder() + QStringLiteral("/kwinrc"));
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write("[Compositing]\nBackend=OpenGL\n\n[NightColor]\nActive=false\nMode=Timings\n");
    rc.close();
    const QString user = KwinRc(*m_home);
    const QString folder = m_home->DataFolder() + QStringLiteral("/QzHealthManager");
    const QString saved = folder + QStringLiteral("/kde-night-color.json");

    auto nightColor = std::make_unique<CKdeNightColor>(folder);
    nightColor->SetTemperature(5640, {});
    QCOMPARE(ReadKey(QStringLiteral("Active")), QStringLiteral("true"));
    QCOMPARE(ReadKey(QStringLiteral("Mode")), QStringLiteral("Constant"));
    QCOMPARE(ReadKey(QStringLiteral("NightTemperature")), QStringLiteral("5640"));
    QCOMPARE(m_kwin->reconfigured.load(), 1);
    QVERIFY(QFileInfo::exists(saved));
    // Beyond what KWin accepts, the nearest it does.
    nightColor->SetTemperature(-200, {});
    QCOMPARE(ReadKey(QStringLiteral("NightTemperature")), QStringLiteral("1000"));
    QCOMPARE(m_kwin->reconfigured.load(), 2);

    nightColor->Restore({});
    QCOMPARE(ReadKey(QStringLiteral("Active")), QStringLiteral("false"));
    QCOMPARE(ReadKey(QStringLiteral("Mode")), QStringLiteral("Timings"));
    QCOMPARE(ReadKey(QStringLiteral("NightTemperature")), QStringLiteral("(absent)"));
    QCOMPARE(KwinRc(*m_home), user);
    QCOMPARE(m_kwin->reconfigured.load(), 3);
    QVERIFY(!QFileInfo::exists(saved));

    // A run that dies tinted: the next start puts the user's values back.
    nightColor->SetTemperature(4680, {});
    nightColor.reset();
    QCOMPARE(ReadKey(QStringLiteral("NightTemperature")), QStringLiteral("4680"));
    CKdeNightColor::RestoreLeftover(folder);
    QCOMPARE(KwinRc(*m_home), user);
    QVERIFY(!QFileInfo::exists(saved));
}

QTEST_GUILESS_MAIN(TestKdeNightColor)
#include "tst_kdenightcolor.moc"

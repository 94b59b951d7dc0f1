#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include "CServiceEndpoints.h"
#include "core/CSystemUtil.h"
#include "CUpdateContext.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"
#include "clock.h"
#include "deviceinfo.h"

namespace {
const QByteArray kKey = "Q7pLmZ2xWcR4nTbY8kVdH3sJfG6aE1uN";

QString Md5(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}
}

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void endpointsComeFromTheDataFolder_data();
    void endpointsComeFromTheDataFolder();
    void machineFactsFromTheKernelFiles();
    void macAddressChoice_data();
    void macAddressChoice();
    void deviceIdFallbacks_data();
    void deviceIdFallbacks();
    void reportQueryIsExact();
    void sameSecondSameQuery();
    void nothingIsSentWithoutAnEndpoint();
    void silentEndpointIsGivenUp();

private:
    // A kernel tree with one wired adapter, one wireless one and the loopback device.
    void MakeMachine(const QByteArray& uuid);
    void Configure(const QString& statistics);

    CTestHome* m_home = nullptr;
    CLoopbackHttpServer* m_server = nullptr;
};

void TestReports::init()
{
    m_home = new CTestHome;
    m_server = new CLoopbackHttpServer;
    QVERIFY(m_server->isListening());
}

void TestReports::cleanup()
{
    delete m_server;
    CSystemUtil::Instance()->SetDeviceInfo(CDeviceInfo());
    delete m_home;
}

void TestReports::MakeMachine(const QByteArray& uuid)
{
    const QString root = m_home->Path() + QStringLiteral("/root/");
    if (!uuid.isEmpty())
        WriteFile(root + "sys/class/dmi/id/product_uuid", uuid + "\n");
    WriteFile(root + "proc/sys/kernel/osrelease", "6.1.0-test \"x\"\n");
    WriteFile(root + "sys/class/net/lo/type", "772\n");
    WriteFile(root + "sys/class/net/lo/address", "00:00:00:00:00:00\n");
    WriteFile(root + "sys/class/net/lo/ifindex", "1\n");
    WriteFile(root + "sys/class/net/wlan0/type", "1\n");
    WriteFile(root + "sys/class/net/wlan0/address", "11:22:33:44:55:66\n");
    WriteFile(root + "sys/class/net/wlan0/ifindex", "2\n");
    QDir().mkpath(root + "sys/class/net/wlan0/wireless");
    WriteFile(root + "sys/class/net/enp3s0/type", "1\n");
    WriteFile(root + "sys/class/net/enp3s0/address", "aa:bb:cc:00:11:22\n");
    WriteFile(root + "sys/class/net/enp3s0/ifindex", "3\n");
    CSystemUtil::Instance()->SetDeviceInfo(CDeviceInfo(root));
}

void TestReports::Configure(const QString& statistics)
{
    QSettings file(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
    file.setValue(QStringLiteral("services/statistics"), statistics);
    file.sync();
}

void TestReports::endpointsComeFromTheDataFolder_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");
    QTest::newRow("host") << "http://127.0.0.1:8080" << "http://127.0.0.1:8080/hm4.gif";
    QTest::newRow("prefix with slash") << "https://stats.example/base/" << "https://stats.example/base/hm4.gif";
    QTest::newRow("query dropped") << "http://stats.example/a?x=1" << "http://stats.example/a/hm4.gif";
    QTest::newRow("not a web address") << "file:///tmp/x" << "";
    QTest::newRow("no host") << "http://" << "";
    QTest::newRow("empty") << "" << "";
}

void TestReports::endpointsComeFromTheDataFolder()
{
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QCOMPARE(CServiceEndpoints::ConfigPath(), m_home->DataFolder() + QStringLiteral("/QzHealthManager/QzServices.ini"));
    QVERIFY(CServiceEndpoints::Load().StatisticsUrl().isEmpty());
    Configure(base);
    const CServiceEndpoints endpoints = CServiceEndpoints::Load();
    QCOMPARE(endpoints.StatisticsUrl().toString(), expected);
    QVERIFY(endpoints.UpdateUrl().isEmpty());
    QVERIFY(endpoints.AdsConfigUrl().isEmpty());
}

void TestReports::machineFactsFromTheKernelFiles()
{
    MakeMachine("4c4c4544-0042-3510-8051-b4c04f4e3132");
    CSystemUtil* util = CSystemUtil::Instance();
    QCOMPARE(util->GetMachineUuid(), QStringLiteral("4C4C4544-0042-3510-8051-B4C04F4E3132"));
    QCOMPARE(util->GetMacAddress(), QStringLiteral("AABBCC001122"));
    QCOMPARE(util->GetOsVersion(), QStringLiteral("6.1.0-test \"x\""));
    QCOMPARE(util->GetProgramVersion(), QStringLiteral("4.0.0.0"));
    const QString cpu = util->GetCpuId();
    QVERIFY(cpu.size() % 8 == 0 && cpu.size() <= 32);
    QCOMPARE(cpu, cpu.toUpper());

    // Without the firmware UUID (unreadable for ordinary users) the machine id stands in.
    const QString root = m_home->Path() + QStringLiteral("/root/");
    QFile::remove(root + "sys/class/dmi/id/product_uuid");
    QCOMPARE(util->GetMachineUuid(), QString());
    WriteFile(root + "etc/machine-id", "0123456789abcdef0123456789abcdef\n");
    QCOMPARE(util->GetMachineUuid(), QStringLiteral("0123456789abcdef0123456789abcdef"));
}

void TestReports::macAddressChoice_data()
{
    QTest::addColumn<QStringList>("adapters");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first non-zero in interface order")
        << QStringList{"5:00:00:00:00:00:00", "7:02:42:ac:11:00:02", "3:52:54:00:12:34:56"} << "525400123456";
    QTest::newRow("all zero: the last") << QStringList{"2:00:00:00:00:00:00", "9:00:00:00:00:00:00"} << "000000000000";
    QTest::newRow("none") << QStringList{} << "";
}

void TestReports::macAddressChoice()
{
    QFETCH(QStringList, adapters);
    QFETCH(QString, expected);
    const QString root = m_home->Path() + QStringLiteral("/net/");
    for (const QString& adapter : adapters) {
        const QString index = adapter.section(QLatin1Char(':'), 0, 0);
        const QString folder = root + "sys/class/net/eth" + index + '/';
        WriteFile(folder + "type", "1\n");
        WriteFile(folder + "ifindex", index.toLatin1());
        WriteFile(folder + "address", adapter.section(QLatin1Char(':'), 1).toLatin1());
    }
    CSystemUtil::Instance()->SetDeviceInfo(CDeviceInfo(root));
    QCOMPARE(CSystemUtil::Instance()->GetMacAddress(), expected);
}

void TestReports::deviceIdFallbacks_data()
{
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("cpu");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all parts") << "4C4C4544" << "AABBCC001122" << "BFEBFBFF000906EA"
                               << Md5("4C4C4544&AABBCC001122&BFEBFBFF000906EA").toUpper();
    QTest::newRow("placeholder System") << "To Be Filled By System" << "AABBCC001122" << "BFEBFBFF000906EA"
                                        << "A768444AEE3FFE5DC05DD7B7BF45F68F";
    QTest::newRow("placeholder O.E.M") << "O.E.M-1" << "AABBCC001122" << "" << "A768444AEE3FFE5DC05DD7B7BF45F68F";
    QTest::newRow("None, no adapter") << "None" << "" << "BFEBFBFF000906EA" << "CB5E100E5A9A3E7F6D1FD97512215282";
    QTest::newRow("no adapter, no uuid") << "" << "" << "BFEBFBFF000906EA" << "CB5E100E5A9A3E7F6D1FD97512215282";
    QTest::newRow("nothing at all") << "" << "" << "" << "CB5E100E5A9A3E7F6D1FD97512215282";
    QTest::newRow("case matters") << "system" << "" << "" << Md5("system&&").toUpper();
}

void TestReports::deviceIdFallbacks()
{
    QFETCH(QString, uuid);
    QFETCH(QString, mac);
    QFETCH(QString, cpu);
    QFETCH(QString, expected);
    QCOMPARE(CSystemUtil::DeviceIdFrom(uuid, mac, cpu), expected);
}

void TestReports::reportQueryIsExact()
{
    MakeMachine("4C4C4544-0042-3510-8051-B4C04F4E3132");
    Configure(m_server->BaseUrl());
    CClock::Set(1700000000);
    QSignalSpy reported(CUpdateContext::Instance(), &CUpdateContext::EventReported);

    CUpdateContext::Instance()->ReportEvent(QStringLiteral("drinkscore"));

    QCOMPARE(reported.count(), 1);
    QCOMPARE(reported.at(0).at(0).toString(), QStringLiteral("drinkscore"));
    const QList<stRecordedRequest> requests = m_server->Requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).method, QByteArray("GET"));
    QCOMPARE(requests.at(0).path, QByteArray("/hm4.gif"));

    const QString uid = Md5("4C4C4544-0042-3510-8051-B4C04F4E3132&AABBCC001122&" + CDeviceInfo::CpuId()).toUpper();
    const QString data = QStringLiteral("{\"osversion\":\"6.1.0-test \\\"x\\\"\",\"time\":\"1700000000\"}");
    const QString signature = Md5(uid + "&AABBCC001122&" + data + '&' + kKey);
    const QByteArray expected = "product=tst_reports&platform=linux&version=4.0.0.0&event=drinkscore&channel=10000&uid="
        + uid.toLatin1() + "&um=AABBCC001122&signature=" + signature.toLatin1()
        + "&key=0&data=%7B%22osversion%22:%226.1.0-test%20%5C%22x%5C%22%22,%22time%22:%221700000000%22%7D";
    QCOMPARE(requests.at(0).query, expected);
    QCOMPARE(CSystemUtil::Instance()->GetReportData(), data);
}

void TestReports::sameSecondSameQuery()
{
    MakeMachine("4C4C4544-0042-3510-8051-B4C04F4E3132");
    Configure(m_server->BaseUrl());
    CClock::Set(1700000123);
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("heartbeat"));
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("heartbeat"));
    CClock::Advance(1);
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("heartbeat"));
    const QList<stRecordedRequest> requests = m_server->Requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests.at(0).target, requests.at(1).target);
    QVERIFY(requests.at(1).target != requests.at(2).target);
    // Only the request line and what HTTP itself needs: no headers of our own.
    for (const QByteArray& name : requests.at(0).headerNames)
        QVERIFY2(!name.startsWith("x-") && name != "cookie" && name != "authorization", name.constData());
}

void TestReports::nothingIsSentWithoutAnEndpoint()
{
    QSignalSpy reported(CUpdateContext::Instance(), &CUpdateContext::EventReported);
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("nopopup"));
    QCOMPARE(reported.count(), 1);
    QVERIFY(m_server->Requests().isEmpty());
}

void TestReports::silentEndpointIsGivenUp()
{
    Configure(m_server->BaseUrl());
    stCannedAnswer silent;
    silent.bSilent = true;
    m_server->SetAnswer("/hm4.gif", silent);
    QElapsedTimer watch;
    watch.start();
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("heartbeat"));
    QVERIFY(watch.elapsed() >= CUpdateContext::ReportTimeoutMs * 9 / 10);
    QVERIFY(watch.elapsed() < CUpdateContext::ReportTimeoutMs + 2000);
    QCOMPARE(m_server->Requests().size(), 1);
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"

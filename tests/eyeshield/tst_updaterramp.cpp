// Starting the updater from a running tray program leaves the screen untinted: the installer it
// leads to replaces the program, and a ramp outlives whoever wrote it.
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "core/CSystemUtil.h"
#include "CUpdateContext.h"
#include "TestHome.h"
#include "XGammaServer.h"

class TestUpdaterRamp : public QObject
{
    Q_OBJECT
private slots:
    void launchResetsTheTint();
};

void TestUpdaterRamp::launchResetsTheTint()
{
    // The build puts a stand-in updater beside this test, which is the program folder here.
    QVERIFY(QFileInfo(CSystemUtil::Instance()->GetProgramFolder() + QStringLiteral("/QzLiveUpdate")).isExecutable());
    CXGammaServer server;
    QVERIFY2(!server.DisplayName().isEmpty(), "Xvfb did not start");
    qputenv("DISPLAY", server.DisplayName());
    const auto home = std::make_unique<CTestHome>();
    qputenv("XDG_CACHE_HOME", (home->Path() + QStringLiteral("/usercache")).toUtf8());

    CCommon::Instance()->CollectMonitors();
    QCOMPARE(CCommon::Instance()->MonitorCount(), 1);
    CCommon::Instance()->SetColorTemperature(5640);
    QCOMPARE(server.ReadGamma().front(), CXGammaServer::Expected(5640));

    CUpdateContext::Instance()->LaunchUpdater();

    QCOMPARE(server.ReadGamma().front(), CXGammaServer::Linear());
    QFile started(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/staging/started.txt"));
    QTRY_VERIFY(started.size() > 0);

    CCommon::Destroy();
    CIniSettings::Destroy();
    qunsetenv("DISPLAY");
}

QTEST_MAIN(TestUpdaterRamp)
#include "tst_updaterramp.moc"

// Starting the updater leaves the screen as the user set it: the tray program keeps running while
// the updater runs, and nothing would put a fixed mode's tint back.
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
    void launchKeepsTheTint();
};

void TestUpdaterRamp::launchKeepsTheTint()
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

    QFile started(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/staging/started.txt"));
    QTRY_VERIFY(started.size() > 0);
    const std::vector<stCrtcGamma> after = server.ReadGamma();
    QCOMPARE(after.size(), size_t(1));
    QCOMPARE(after.front(), CXGammaServer::Expected(5640));

    CCommon::Destroy();
    CIniSettings::Destroy();
    qunsetenv("DISPLAY");
}

QTEST_MAIN(TestUpdaterRamp)
#include "tst_updaterramp.moc"

// The screen colour written through CCommon and read back from real X servers.
#include <QTest>

#include <memory>

#include "core/CCommon.h"
#include "TestHome.h"
#include "XGammaServer.h"

namespace {
// Declared after the server it talks to: the hub's display connection has to close before the
// server ends, or Xlib ends the test process.
struct CCommonScope
{
    ~CCommonScope() { CCommon::Destroy(); }
};
}

class TestGammaDisplay : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void writesAndResetsEveryMonitor_data();
    void writesAndResetsEveryMonitor();
    void listIsKeptOnceFilled();
    void withoutDisplayNothingIsWritten_data();
    void withoutDisplayNothingIsWritten();
};

void TestGammaDisplay::cleanup()
{
    CCommon::Destroy();
    qunsetenv("DISPLAY");
}

void TestGammaDisplay::writesAndResetsEveryMonitor_data()
{
    QTest::addColumn<QStringList>("screens");
    QTest::newRow("one screen") << QStringList{QStringLiteral("800x600x24")};
    QTest::newRow("two screens, one CRTC each")
        << QStringList{QStringLiteral("800x600x24"), QStringLiteral("640x480x24")};
}

void TestGammaDisplay::writesAndResetsEveryMonitor()
{
    QFETCH(QStringList, screens);
    CXGammaServer server(screens);
    QVERIFY2(!server.DisplayName().isEmpty(), "Xvfb did not start");
    CCommonScope scope;
    QVERIFY(server.WriteGamma(CXGammaServer::Marker()));
    QCOMPARE(server.ReadGamma().size(), size_t(screens.size()));
    qputenv("DISPLAY", server.DisplayName());

    CCommon* common = CCommon::Instance();
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), screens.size());

    common->SetColorTemperature(5640);
    for (const stCrtcGamma& gamma : server.ReadGamma())
        QCOMPARE(gamma, CXGammaServer::Expected(5640));
    common->ResetGammaRamp();
    for (const stCrtcGamma& gamma : server.ReadGamma())
        QCOMPARE(gamma, CXGammaServer::Linear());
}

void TestGammaDisplay::listIsKeptOnceFilled()
{
    CXGammaServer server;
    QVERIFY2(!server.DisplayName().isEmpty(), "Xvfb did not start");
    CCommonScope scope;
    qputenv("DISPLAY", server.DisplayName());
    CCommon* common = CCommon::Instance();
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), 1);
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), 1);

    // The list outlives the variable it was found through; the display changing means a restart.
    qputenv("DISPLAY", ":nowhere");
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), 1);
    common->SetColorTemperature(3400);
    QCOMPARE(server.ReadGamma().front(), CXGammaServer::Expected(3400));
}

void TestGammaDisplay::withoutDisplayNothingIsWritten_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<bool>("serverWithoutRandr");
    QTest::newRow("no DISPLAY") << QByteArray() << false;
    QTest::newRow("no server there") << QByteArrayLiteral(":4711") << false;
    QTest::newRow("server without RandR") << QByteArray() << true;
}

void TestGammaDisplay::withoutDisplayNothingIsWritten()
{
    QFETCH(QByteArray, display);
    QFETCH(bool, serverWithoutRandr);
    // A real server beside it, so "nothing written" can be seen: its ramp must stay as it is.
    CXGammaServer server;
    QVERIFY2(!server.DisplayName().isEmpty(), "Xvfb did not start");
    QVERIFY(server.WriteGamma(CXGammaServer::Marker()));
    std::unique_ptr<CXGammaServer> plain;
    if (serverWithoutRandr) {
        plain = std::make_unique<CXGammaServer>(QStringList{QStringLiteral("640x480x24")},
            QStringList{QStringLiteral("-extension"), QStringLiteral("RANDR")});
        QVERIFY2(!plain->DisplayName().isEmpty(), "Xvfb without RandR did not start");
        display = plain->DisplayName();
    }
    if (display.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);

    CCommonScope scope;
    CCommon* common = CCommon::Instance();
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), 0);
    common->SetColorTemperature(5640);
    common->ResetGammaRamp();
    QCOMPARE(server.ReadGamma().front(), CXGammaServer::Marker());

    // Without a display a later collection tries again; a display that offered no ramps is not
    // asked again.
    qputenv("DISPLAY", server.DisplayName());
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), serverWithoutRandr ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestGammaDisplay)
#include "tst_gammadisplay.moc"

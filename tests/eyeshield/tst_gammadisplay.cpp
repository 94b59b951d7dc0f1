// The screen colour written through CCommon and read back from real X servers.
#include <QTest>

#include <memory>

#include "core/CCommon.h"
#include "TestHome.h"
#include "XGammaServer.h"

Q_DECLARE_METATYPE(stCrtcGamma)

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
    void init();
    void cleanup();
    void writesAndResetsEveryMonitor_data();
    void writesAndResetsEveryMonitor();
    void listIsKeptOnceFilled();
    void withoutDisplayNothingIsWritten_data();
    void withoutDisplayNothingIsWritten();

private:
    std::unique_ptr<CTestHome> m_home;
};

// A runtime folder of its own for each case: the record of the ramps to put back lies there.
void TestGammaDisplay::init()
{
    m_home = std::make_unique<CTestHome>();
}

void TestGammaDisplay::cleanup()
{
    CCommon::Destroy();
    qunsetenv("DISPLAY");
    m_home.reset();
}

void TestGammaDisplay::writesAndResetsEveryMonitor_data()
{
    QTest::addColumn<QStringList>("screens");
    QTest::addColumn<stCrtcGamma>("before");
    QTest::addColumn<stCrtcGamma>("tinted");
    QTest::addColumn<stCrtcGamma>("after");
    const QStringList one{QStringLiteral("800x600x24")};
    const QStringList two{QStringLiteral("800x600x24"), QStringLiteral("640x480x24")};
    const stCrtcGamma calibration = CXGammaServer::Calibration();
    QTest::newRow("one screen") << one << CXGammaServer::Marker() << CXGammaServer::Expected(5640)
                                << CXGammaServer::Linear();
    QTest::newRow("two screens, one CRTC each")
        << two << CXGammaServer::Marker() << CXGammaServer::Expected(5640) << CXGammaServer::Linear();
    // A server that never had a ramp set reads back zeros: nothing worth keeping.
    QTest::newRow("zeros") << one << stCrtcGamma{QVector<quint16>(256), QVector<quint16>(256), QVector<quint16>(256)}
                           << CXGammaServer::Expected(5640) << CXGammaServer::Linear();
    stCrtcGamma identity;
    for (int i = 0; i < 256; ++i) {
        identity.red << quint16(i * 257);
        identity.green << quint16(i * 257);
        identity.blue << quint16(i * 257);
    }
    QTest::newRow("the server's identity") << one << identity << CXGammaServer::Expected(5640)
                                           << CXGammaServer::Linear();
    QTest::newRow("calibration, two screens")
        << two << calibration << CXGammaServer::Expected(5640, calibration) << calibration;
}

void TestGammaDisplay::writesAndResetsEveryMonitor()
{
    QFETCH(QStringList, screens);
    QFETCH(stCrtcGamma, before);
    QFETCH(stCrtcGamma, tinted);
    QFETCH(stCrtcGamma, after);
    CXGammaServer server(screens);
    QVERIFY2(!server.DisplayName().isEmpty(), "Xvfb did not start");
    CCommonScope scope;
    QVERIFY(server.WriteGamma(before));
    QCOMPARE(server.ReadGamma().size(), size_t(screens.size()));
    qputenv("DISPLAY", server.DisplayName());

    CCommon* common = CCommon::Instance();
    common->CollectMonitors();
    QCOMPARE(common->MonitorCount(), screens.size());

    common->SetColorTemperature(5640);
    for (const stCrtcGamma& gamma : server.ReadGamma())
        QCOMPARE(gamma, tinted);
    // Kept from the first write: a second one is not taken for the screen's own ramps.
    common->SetColorTemperature(3400);
    common->SetColorTemperature(5640);
    common->ResetGammaRamp();
    for (const stCrtcGamma& gamma : server.ReadGamma())
        QCOMPARE(gamma, after);
    // Taken afresh once the screen is back: a calibration loaded since then is the one kept.
    QVERIFY(server.WriteGamma(CXGammaServer::Calibration()));
    common->SetColorTemperature(5640);
    common->ResetGammaRamp();
    for (const stCrtcGamma& gamma : server.ReadGamma())
        QCOMPARE(gamma, CXGammaServer::Calibration());
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

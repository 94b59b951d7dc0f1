// Which way of tinting the screen a session gets, from what a start finds out about it.
#include <QTest>

#include "TestHome.h"
#include "WaylandTestCompositor.h"
#include "gammachoice.h"

Q_DECLARE_METATYPE(GammaBackendKind)

class TestGammaChoice : public QObject
{
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
    void probeSeesTheCompositor();
};

void TestGammaChoice::choice_data()
{
    QTest::addColumn<bool>("wayland");
    QTest::addColumn<bool>("gammaControl");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<bool>("gnomeSchema");
    QTest::addColumn<bool>("kwinNightLight");
    QTest::addColumn<GammaBackendKind>("kind");

    const auto randr = GammaBackendKind::RandR;
    const auto wlroots = GammaBackendKind::Wlroots;
    const auto gnome = GammaBackendKind::Gnome;
    const auto kde = GammaBackendKind::Kde;
    const auto none = GammaBackendKind::None;
    QTest::newRow("x11") << false << false << "" << false << false << randr;
    QTest::newRow("x11 on GNOME keeps RandR") << false << false << "GNOME" << true << false << randr;
    QTest::newRow("x11 on KDE keeps RandR") << false << false << "KDE" << false << true << randr;
    QTest::newRow("sway") << true << true << "sway" << false << false << wlroots;
    QTest::newRow("gamma control beats the desktop") << true << true << "GNOME" << true << true << wlroots;
    QTest::newRow("GNOME") << true << false << "GNOME" << true << false << gnome;
    QTest::newRow("Ubuntu's GNOME") << true << false << "ubuntu:GNOME" << true << false << gnome;
    QTest::newRow("GNOME in lower case") << true << false << "gnome" << true << false << gnome;
    QTest::newRow("GNOME without the schema") << true << false << "GNOME" << false << true << none;
    QTest::newRow("GNOME Flashback is no GNOME") << true << false << "GNOME-Flashback" << true << false << none;
    QTest::newRow("KDE") << true << false << "KDE" << false << true << kde;
    QTest::newRow("KDE without Night Light") << true << false << "KDE" << true << false << none;
    QTest::newRow("schema on KDE") << true << false << "KDE" << true << false << none;
    QTest::newRow("weston") << true << false << "weston" << true << true << none;
    QTest::newRow("no desktop name") << true << false << "" << true << true << none;
}

void TestGammaChoice::choice()
{
    QFETCH(bool, wayland);
    QFETCH(bool, gammaControl);
    QFETCH(QString, desktop);
    QFETCH(bool, gnomeSchema);
    QFETCH(bool, kwinNightLight);
    QFETCH(GammaBackendKind, kind);
    GammaSessionFacts facts;
    facts.waylandSession = wayland;
    facts.gammaControl = gammaControl;
    facts.desktop = desktop;
    facts.gnomeNightLightSchema = gnomeSchema;
    facts.kwinNightLight = kwinNightLight;
    QCOMPARE(GammaChoice::Choose(facts), kind);
}

// Only a name in WAYLAND_DISPLAY that accepts a connection is a Wayland session, and the gamma
// control counts only when that compositor offers it.
void TestGammaChoice::probeSeesTheCompositor()
{
    const CTestHome home;
    qputenv("XDG_CURRENT_DESKTOP", "sway");
    qunsetenv("WAYLAND_DISPLAY");
    // With no name the library would try "wayland-0": a compositor listening there is not ours.
    const CWaylandTestCompositor unnamed(true, {256});
    QCOMPARE(unnamed.SocketName(), QByteArray("wayland-0"));
    GammaSessionFacts facts = GammaChoice::Probe();
    QVERIFY(!facts.waylandSession);
    QCOMPARE(facts.desktop, QStringLiteral("sway"));

    qputenv("WAYLAND_DISPLAY", "wayland-gone");
    QVERIFY(!GammaChoice::Probe().waylandSession);

    const CWaylandTestCompositor plain(false, {256});
    qputenv("WAYLAND_DISPLAY", plain.SocketName());
    facts = GammaChoice::Probe();
    QVERIFY(facts.waylandSession);
    QVERIFY(!facts.gammaControl);
    QCOMPARE(GammaChoice::Choose(facts), GammaBackendKind::None);

    qputenv("WAYLAND_DISPLAY", unnamed.SocketName());
    facts = GammaChoice::Probe();
    QVERIFY(facts.waylandSession);
    QVERIFY(facts.gammaControl);
    QCOMPARE(GammaChoice::Choose(facts), GammaBackendKind::Wlroots);
    qunsetenv("WAYLAND_DISPLAY");
}

QTEST_APPLESS_MAIN(TestGammaChoice)
#include "tst_gammachoice.moc"

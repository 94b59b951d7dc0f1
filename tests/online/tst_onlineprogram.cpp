// Starts the real tray program against a loopback service and watches what it asks for.
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include "CServiceEndpoints.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"

class TestOnlineProgram : public QObject
{
    Q_OBJECT
private slots:
    void startSendsItsEvents();
};

void TestOnlineProgram::startSendsItsEvents()
{
    CTestHome home;
    CLoopbackHttpServer server;
    {
        QSettings services(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
        services.setValue(QStringLiteral("services/statistics"), server.BaseUrl());
        services.setValue(QStringLiteral("services/update"), server.BaseUrl());
        services.setValue(QStringLiteral("services/ads"), server.BaseUrl());
        QSettings config(home.DataFolder() + QStringLiteral("/QzHealthManager/QzConfig.ini"), QSettings::IniFormat);
        config.setValue(QStringLiteral("boot/boottips_timestamp"), 1);
        config.setValue(QStringLiteral("boot/update_timestamp"), 1);
        config.setValue(QStringLiteral("drinks/status"), 2);
        config.setValue(QStringLiteral("eyeshield/status"), 1);
        config.setValue(QStringLiteral("eyeshield/mode"), 3);
    }
    stCannedAnswer ads;
    ads.body = "[{\"ads_pos\":1,\"ads_status\":1,\"ads_imageurl\":\"" + server.BaseUrl().toUtf8()
        + "/slot.png\",\"ads_linkurl\":\"https://example.org\"}]";
    server.SetAnswer("/zr/getAdsConfig", ads);

    QProcess program;
    program.setProgram(QFileInfo(QStringLiteral(QZ_PROGRAM)).canonicalFilePath());
    program.setArguments({QStringLiteral("desktop")});
    program.start();
    QVERIFY(program.waitForStarted());

    auto events = [&server] {
        QStringList names;
        for (const stRecordedRequest& request : server.RequestsTo("/hm4.gif")) {
            for (const QByteArray& pair : request.query.split('&')) {
                if (pair.startsWith("event="))
                    names << QString::fromUtf8(pair.mid(6));
            }
        }
        return names;
    };
    const QStringList expected{"desktop_start", "drinks_tips_status", "eyeshield_status", "eyeshield_game"};
    QTRY_COMPARE_WITH_TIMEOUT(events(), expected, 15000);
    QList<QByteArray> order;
    for (const stRecordedRequest& request : server.Requests())
        order << request.path;
    // The advertisements and the overdue weekly check come before the frame and its reports.
    QCOMPARE(order.mid(0, 3), (QList<QByteArray>{"/zr/getAdsConfig", "/slot.png", "/zr/update"}));

    program.terminate();
    if (!program.waitForFinished(5000))
        program.kill();
    program.waitForFinished(2000);
}

QTEST_GUILESS_MAIN(TestOnlineProgram)
#include "tst_onlineprogram.moc"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "CAdsDataManager.h"
#include "CAdsWidget.h"
#include "CBaseManager.h"
#include "CServiceEndpoints.h"
#include "CUpdateContext.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"

Q_DECLARE_METATYPE(stCannedAnswer)

// Stands in for the browser and any other opener: records what would have been opened.
class COpenRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> m_opened;
public slots:
    void Open(const QUrl& url) { m_opened << url; }
};

namespace {
QByteArray Png(const QColor& colour)
{
    QImage image(280, 80, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

stCannedAnswer Body(const QByteArray& body)
{
    stCannedAnswer answer;
    answer.body = body;
    return answer;
}
}

class TestAds : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void failedFetchAddsNothing_data();
    void failedFetchAddsNothing();
    void slotsFromTheConfiguration();
    void onlyPicturesAreCached_data();
    void onlyPicturesAreCached();
    void startupFetchIsBounded();
    void cacheNameKeepsToTheFolder();
    void slotLayoutByPosition();
    void clickOpensOnlyWebLinks();
    void closeButtonOnlyHides();
    void mainFrameShowsItsSlot();

private:
    void Configure();
    QString Image(const QByteArray& path) const;

    CTestHome* m_home = nullptr;
    CLoopbackHttpServer* m_server = nullptr;
    COpenRecorder m_opener;
    QWidget* m_host = nullptr;
};

void TestAds::initTestCase()
{
    // Records are read once per process, so the whole run shares one home and one service.
    m_home = new CTestHome;
    m_server = new CLoopbackHttpServer;
    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_opener, "Open");
}

void TestAds::cleanupTestCase()
{
    delete m_server;
    delete m_home;
}

void TestAds::init()
{
    m_server->ClearRequests();
    m_opener.m_opened.clear();
    Configure();
}

void TestAds::Configure()
{
    QSettings file(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
    file.setValue(QStringLiteral("services/ads"), m_server->BaseUrl());
    file.setValue(QStringLiteral("services/statistics"), m_server->BaseUrl());
    file.sync();
}

QString TestAds::Image(const QByteArray& path) const
{
    return m_server->BaseUrl() + QLatin1String(path);
}

void TestAds::failedFetchAddsNothing_data()
{
    QTest::addColumn<stCannedAnswer>("answer");
    QTest::addColumn<bool>("ok");
    const QByteArray oneSlot = R"([{"ads_pos":1,"ads_status":1,"ads_imageurl":"http://127.0.0.1:1/a.png"}])";
    QTest::newRow("object instead of array") << Body(R"({"ads_pos":1,"ads_status":1})") << true;
    QTest::newRow("not json") << Body("ads: none") << false;
    stCannedAnswer error = Body(oneSlot);
    error.nStatus = 500;
    QTest::newRow("http 500") << error << false;
    stCannedAnswer big = Body("[" + QByteArray(CAdsDataManager::MaxConfigBytes, ' ') + "]");
    big.bNoLength = true;
    QTest::newRow("oversized") << big << false;
    stCannedAnswer silent;
    silent.bSilent = true;
    QTest::newRow("no answer") << silent << false;
}

void TestAds::failedFetchAddsNothing()
{
    QFETCH(stCannedAnswer, answer);
    QFETCH(bool, ok);
    m_server->SetAnswer("/zr/getAdsConfig", answer);
    QElapsedTimer watch;
    watch.start();
    QCOMPARE(CAdsDataManager::Instance()->FetchConfig(), ok);
    QVERIFY(watch.elapsed() < CAdsDataManager::ConfigTimeoutMs + 2000);
    stAdsSlot slot;
    QVERIFY(!CAdsDataManager::Instance()->FindSlot(1, slot));
    // Qt's network layer resends a request once when its connection stalls under load; what
    // matters is that only the configuration is asked for, and not over and over.
    const QList<stRecordedRequest> requests = m_server->Requests();
    QVERIFY2(requests.size() == 1 || requests.size() == 2, QByteArray::number(requests.size()));
    for (const stRecordedRequest& request : requests)
        QCOMPARE(request.target, QByteArray("/zr/getAdsConfig"));
}

void TestAds::slotsFromTheConfiguration()
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QString config = QStringLiteral(R"([
        {"ads_pos":1,"ads_status":1,"ads_imageurl":"%1","ads_linkurl":"https://example.org/one"},
        {"ads_pos":2,"ads_status":1,"ads_imageurl":"%2","ads_linkurl":"file:///bin/sh"},
        {"ads_pos":2,"ads_status":1,"ads_imageurl":"%3","ads_linkurl":"https://example.org/second"},
        {"ads_pos":3,"ads_status":0,"ads_imageurl":"%4","ads_linkurl":"https://example.org/off"},
        {"ads_pos":"4","ads_status":1,"ads_imageurl":"%5"},
        42, "text",
        {"ads_pos":5,"ads_status":1,"ads_imageurl":"%6"},
        {"ads_pos":6,"ads_status":2,"ads_imageurl":"%7","ads_linkurl":"mailto:x@example.org"},
        {"ads_pos":7,"ads_status":1,"ads_imageurl":"%8","ads_linkurl":"http://example.org/seven"},
        {"ads_pos":10,"ads_status":1,"ads_imageurl":"%9"},
        {"ads_pos":11,"ads_status":1,"ads_imageurl":"%10"},
        {"ads_pos":12,"ads_status":1,"ads_imageurl":"file://%11"}
    ])")
                               .arg(Image("/img/one.png"), Image("/img/two.png?v=2"), Image("/img/three.png"),
                                   Image("/img/off.png"), Image("/img/str.png"), Image("/img/broken.png"),
                                   Image("/img/six.png"), Image("/img/seven.png"), Image("/img/missing.png"))
                               .arg(Image("/img/huge.png"), dataFolder + QStringLiteral("/secret.png"));
    m_server->SetAnswer("/zr/getAdsConfig", Body(config.toUtf8()));
    for (const char* path : {"/img/one.png", "/img/two.png", "/img/three.png", "/img/off.png", "/img/str.png",
             "/img/six.png", "/img/seven.png", "/img/broken.png"})
        m_server->SetAnswer(path, Body(Png(Qt::darkCyan)));
    m_server->SetAnswer("/img/huge.png", Body(QByteArray(CAdsDataManager::MaxImageBytes + 1, 'x')));
    QDir().mkpath(dataFolder);
    // What an interrupted download of an earlier version could have left.
    const QString broken = CAdsDataManager::CachePath(Image("/img/broken.png"));
    QFile truncated(broken);
    QVERIFY(truncated.open(QIODevice::WriteOnly));
    truncated.write(Png(Qt::red).left(40));
    truncated.close();
    QFile secret(dataFolder + QStringLiteral("/secret.png"));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write(Png(Qt::black));
    secret.close();

    CAdsDataManager* ads = CAdsDataManager::Instance();
    QVERIFY(ads->FetchConfig());
    ads->PrepareImages();

    stAdsSlot slot;
    QVERIFY(ads->FindSlot(1, slot));
    QVERIFY(slot.bShown);
    QCOMPARE(slot.strLocalImage, CAdsDataManager::CachePath(Image("/img/one.png")));
    QCOMPARE(QFile(slot.strLocalImage).size(), Png(Qt::darkCyan).size());

    QVERIFY(ads->FindSlot(2, slot));
    QCOMPARE(slot.strImageUrl, Image("/img/two.png?v=2"));
    QVERIFY(slot.strLocalImage.endsWith(QLatin1String("?v=2")));
    QVERIFY(QFileInfo::exists(slot.strLocalImage));
    QCOMPARE(m_server->RequestsTo("/img/two.png").at(0).target, QByteArray("/img/two.png?v=2"));

    QVERIFY(ads->FindSlot(3, slot));
    QVERIFY(!slot.bShown);
    QVERIFY(QFileInfo::exists(CAdsDataManager::CachePath(Image("/img/off.png"))));

    QVERIFY(!ads->FindSlot(4, slot));
    QVERIFY(ads->FindSlot(0, slot));
    QCOMPARE(slot.strImageUrl, Image("/img/str.png"));

    QVERIFY(ads->FindSlot(5, slot));
    QVERIFY(slot.bShown);
    QVERIFY(m_server->RequestsTo("/img/broken.png").isEmpty());
    QCOMPARE(QFile(broken).size(), 40);

    QVERIFY(ads->FindSlot(10, slot));
    QVERIFY(!slot.bShown);
    QVERIFY(!QFileInfo::exists(CAdsDataManager::CachePath(Image("/img/missing.png"))));
    QVERIFY(ads->FindSlot(11, slot));
    QVERIFY(!slot.bShown);
    QVERIFY(!QFileInfo::exists(CAdsDataManager::CachePath(Image("/img/huge.png"))));
    QVERIFY(ads->FindSlot(12, slot));
    QVERIFY(!slot.bShown);
    QVERIFY(!QFileInfo::exists(CAdsDataManager::CachePath(slot.strImageUrl)));
    // Nothing but finished pictures in the cache folder.
    for (const QString& name : QDir(dataFolder).entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(name.size() == 36 || name == QLatin1String("secret.png"), qPrintable(name));

    // A second start uses the cache and downloads nothing.
    m_server->ClearRequests();
    ads->PrepareImages();
    QVERIFY(m_server->RequestsTo("/img/one.png").isEmpty());
}

void TestAds::onlyPicturesAreCached_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<stCannedAnswer>("answer");
    QTest::addColumn<bool>("picture");
    stCannedAnswer empty;
    empty.nStatus = 204;
    QTest::newRow("empty 204") << 31 << empty << false;
    QTest::newRow("portal page with 200") << 32 << Body("<html><body>Sign in to the network</body></html>") << false;
    const QByteArray png = Png(Qt::darkCyan);
    QTest::newRow("truncated picture") << 33 << Body(png.left(png.size() / 2)) << false;
    QTest::newRow("picture") << 34 << Body(png) << true;
}

void TestAds::onlyPicturesAreCached()
{
    QFETCH(int, position);
    QFETCH(stCannedAnswer, answer);
    QFETCH(bool, picture);
    const QByteArray path = "/kind/" + QByteArray::number(position) + ".png";
    m_server->SetAnswer(path, answer);
    const QString config = QStringLiteral(R"([{"ads_pos":%1,"ads_status":1,"ads_imageurl":"%2"}])");
    m_server->SetAnswer("/zr/getAdsConfig", Body(config.arg(position).arg(Image(path)).toUtf8()));

    CAdsDataManager* ads = CAdsDataManager::Instance();
    QVERIFY(ads->FetchConfig());
    ads->PrepareImages();

    QVERIFY(!m_server->RequestsTo(path).isEmpty());
    stAdsSlot slot;
    QVERIFY(ads->FindSlot(position, slot));
    QCOMPARE(slot.bShown, picture);
    // Whatever is not kept is asked for again at the next start.
    QCOMPARE(QFileInfo::exists(CAdsDataManager::CachePath(Image(path))), picture);
}

void TestAds::startupFetchIsBounded()
{
    // Pictures at a host that takes connections and never answers, one of them named twice,
    // and an address that is gone, named twice as well.
    stCannedAnswer silent;
    silent.bSilent = true;
    for (const char* path : {"/slow/a.png", "/slow/b.png", "/slow/c.png"})
        m_server->SetAnswer(path, silent);
    QString config = QStringLiteral("[");
    int position = 40;
    for (const char* path : {"/gone.png", "/gone.png", "/slow/a.png", "/slow/a.png", "/slow/b.png", "/slow/c.png"}) {
        config += QStringLiteral(R"({"ads_pos":%1,"ads_status":1,"ads_imageurl":"%2"},)")
                      .arg(position++)
                      .arg(Image(path));
    }
    config.chop(1);
    m_server->SetAnswer("/zr/getAdsConfig", Body((config + QStringLiteral("]")).toUtf8()));

    CAdsDataManager* ads = CAdsDataManager::Instance();
    QElapsedTimer watch;
    watch.start();
    QVERIFY(ads->FetchConfig());
    ads->PrepareImages();
    QVERIFY2(watch.elapsed() < CAdsDataManager::StartupBudgetMs + 1500, QByteArray::number(watch.elapsed()));

    QCOMPARE(m_server->RequestsTo("/gone.png").size(), 1);
    for (int shown = 40; shown < position; ++shown) {
        stAdsSlot slot;
        QVERIFY(ads->FindSlot(shown, slot));
        QVERIFY(!slot.bShown);
    }
}

void TestAds::cacheNameKeepsToTheFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QString path = CAdsDataManager::CachePath(QStringLiteral("http://x.example/a/../b"));
    QCOMPARE(QFileInfo(path).absolutePath(), folder);
    QVERIFY(path.endsWith(QLatin1String("._b")));
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash("http://x.example/img.png", QCryptographicHash::Md5).toHex());
    QCOMPARE(CAdsDataManager::CachePath(QStringLiteral("http://x.example/img.png")),
        folder + QLatin1Char('/') + digest + QStringLiteral(".png"));
}

void TestAds::slotLayoutByPosition()
{
    QWidget host;
    host.resize(700, 200);
    auto* widget = new CAdsWidget(&host);
    host.show();

    QVERIFY(widget->ShowSlot(1));
    QCOMPARE(widget->geometry(), QRect(0, 0, 280, 80));
    auto* tag = widget->findChild<QLabel*>();
    auto* close = widget->findChild<QPushButton*>();
    QVERIFY(tag && close);
    QCOMPARE(tag->geometry(), QRect(255, 65, 23, 13));
    QCOMPARE(close->geometry(), QRect(260, 4, 16, 16));
    QVERIFY(tag->isVisible() && close->isVisible());
    QVERIFY(widget->HasImage());

    QVERIFY(widget->ShowSlot(6));
    QCOMPARE(widget->geometry(), QRect(70, 0, 560, 90));
    QVERIFY(!tag->isVisible() && !close->isVisible());

    QVERIFY(widget->ShowSlot(7));
    QVERIFY(widget->isVisible());
    QVERIFY(!tag->isVisible() && !close->isVisible());

    // Off, missing, unloadable: the slot hides.
    for (int position : {3, 4, 5, 9, 10}) {
        widget->show();
        QVERIFY(!widget->ShowSlot(position));
        QVERIFY2(!widget->isVisible(), qPrintable(QString::number(position)));
    }

    // Two records for one position: the first one is shown.
    QVERIFY(widget->ShowSlot(2));
    QSignalSpy closed(widget, &CAdsWidget::OnCloseAdsWidget_Signals);
    QTest::mouseClick(widget, Qt::RightButton, {}, QPoint(100, 40));
    QCOMPARE(closed.count(), 1);
    const QList<stRecordedRequest> reports = m_server->RequestsTo("/hm4.gif");
    QCOMPARE(reports.size(), 1);
    QVERIFY(reports.at(0).query.contains("&event=AdsPos_DrinkWindow&"));
    // Its link was the local program, which nothing opened.
    QVERIFY(m_opener.m_opened.isEmpty());
}

void TestAds::clickOpensOnlyWebLinks()
{
    QWidget host;
    auto* widget = new CAdsWidget(&host);
    host.show();
    QSignalSpy closed(widget, &CAdsWidget::OnCloseAdsWidget_Signals);
    QSignalSpy reported(CUpdateContext::Instance(), &CUpdateContext::EventReported);

    QVERIFY(widget->ShowSlot(1));
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(100, 40));
    QCOMPARE(m_opener.m_opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/one"))});
    QVERIFY(!widget->isVisible());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(reported.count(), 1);
    QCOMPARE(reported.at(0).at(0).toString(), QStringLiteral("AdsPos_BaseManager"));
    QVERIFY(m_server->RequestsTo("/hm4.gif").at(0).query.contains("&event=AdsPos_BaseManager&"));

    QVERIFY(widget->ShowSlot(6));
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(100, 40));
    QCOMPARE(m_opener.m_opened.size(), 1);
    QCOMPARE(reported.at(1).at(0).toString(), QStringLiteral("AdsPos_RelaxFullSpine"));

    // A widget that was never given a position reports nothing and opens nothing.
    CAdsWidget loose;
    loose.SetLink(QStringLiteral("https://example.org/loose"));
    QSignalSpy looseClosed(&loose, &CAdsWidget::OnCloseAdsWidget_Signals);
    loose.OnAds_Click();
    QCOMPARE(looseClosed.count(), 1);
    QCOMPARE(reported.count(), 2);
    QCOMPARE(m_opener.m_opened.size(), 1);
}

void TestAds::closeButtonOnlyHides()
{
    QWidget host;
    auto* widget = new CAdsWidget(&host);
    host.show();
    QVERIFY(widget->ShowSlot(1));
    QSignalSpy closed(widget, &CAdsWidget::OnCloseAdsWidget_Signals);
    QTest::mouseClick(widget->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(!widget->isVisible());
    QCOMPARE(closed.count(), 0);
    QVERIFY(m_server->RequestsTo("/hm4.gif").isEmpty());
    QVERIFY(m_opener.m_opened.isEmpty());
    // The next show of the host brings it back.
    QVERIFY(widget->ShowSlot(1));
    QVERIFY(widget->isVisible());
}

void TestAds::mainFrameShowsItsSlot()
{
    CBaseManager frame;
    frame.show();
    auto* slot = frame.findChild<CAdsWidget*>(QStringLiteral("adsWidget"));
    QVERIFY(slot);
    QTRY_VERIFY(slot->isVisible());
    QVERIFY(slot->HasImage());
    QCOMPARE(slot->size(), QSize(280, 80));
    QTest::mouseClick(slot, Qt::LeftButton, {}, QPoint(50, 40));
    QVERIFY(!slot->isVisible());
    QCOMPARE(m_opener.m_opened.size(), 1);
    frame.hide();
    frame.show();
    QVERIFY(slot->isVisible());
}

QTEST_MAIN(TestAds)
#include "tst_ads.moc"

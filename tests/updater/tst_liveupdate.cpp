#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTimerEvent>
#include <QEventLoop>

#include "CContext.h"
#include "CDownload.h"
#include "CIniSettings.h"
#include "CQzLiveUpdate.h"
#include "CServiceEndpoints.h"
#include "FakeOpener.h"
#include "LoopbackHttpServer.h"
#include "StreamingHttpServer.h"
#include "TestHome.h"
#include "clock.h"

Q_DECLARE_METATYPE(stCannedAnswer)
Q_DECLARE_METATYPE(stStreamPlan)

namespace {
constexpr int kChecking = 0;
constexpr int kUpToDate = 1;
constexpr int kOffered = 2;
constexpr int kDownloading = 3;
constexpr int kForced = 4;
constexpr int kFailed = 5;

stCannedAnswer Description(const QString& version, const QString& force, const QString& url = QString())
{
    QJsonObject object{{"update", "1"}, {"forceupdate", force}, {"product", "QzHealthManager"},
        {"version", version}, {"url", url}, {"note", "<p>新的<b>功能</b></p>"}};
    stCannedAnswer answer;
    answer.body = QJsonDocument(object).toJson();
    return answer;
}

template <typename T>
T* Child(QWidget& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

int Page(QWidget& window)
{
    return Child<QStackedWidget>(window, "Body")->currentIndex();
}

// The window ends the program by asking the application to quit. Without a running main loop
// that request sticks until the next QCoreApplication::exec() and would cut every later nested
// wait short, so it is taken back here.
bool TakeQuitRequest()
{
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&probe] { probe.exit(0); });
    const bool requested = probe.exec() == -1;
    if (requested) {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
    return requested;
}

// Delivers the pending check timer at once instead of waiting for it.
void FireCheckTimer(CQzLiveUpdate& window)
{
    QTimerEvent event(window.CheckTimerId());
    QCoreApplication::sendEvent(&window, &event);
}
}

class TestLiveUpdate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void showsThePageForTheAnswer_data();
    void showsThePageForTheAnswer();
    void startsCheckingAndIgnoresOtherTimers();
    void retryChecksAgainLater();
    void progressLabelAndBar();
    void downloadsAndStartsTheInstaller();
    void forcedUpdateDownloadsAfterAnotherQuery();
    void failedDownloadStartsNothing_data();
    void failedDownloadStartsNothing();
    void closingDuringDownloadRemovesThePart();
    void skipStampsOnlyTheUpdatersOwnFile();

private:
    void Answer(const stCannedAnswer& answer) { m_service->SetAnswer("/zr/update", answer); }
    QString Installer() const { return CQzLiveUpdate::DownloadFolder() + QStringLiteral("/setup.deb"); }

    CTestHome m_home;
    std::unique_ptr<CFakeOpener> m_opener;
    std::unique_ptr<CLoopbackHttpServer> m_service;
    std::unique_ptr<CStreamingHttpServer> m_files;
};

void TestLiveUpdate::initTestCase()
{
    m_opener = std::make_unique<CFakeOpener>(m_home.Path() + QStringLiteral("/bin"));
}

void TestLiveUpdate::init()
{
    m_service = std::make_unique<CLoopbackHttpServer>();
    m_files = std::make_unique<CStreamingHttpServer>();
    QDir().mkpath(QFileInfo(CServiceEndpoints::ConfigPath()).absolutePath());
    QSettings services(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
    services.setValue(QStringLiteral("services/update"), m_service->BaseUrl());
    services.sync();
    QDir(CQzLiveUpdate::DownloadFolder()).removeRecursively();
    CContext::Instance()->SetArguments(QStringLiteral("QzHealthManager"), QStringLiteral("1.0.2.9"), QStringLiteral("1"));
}

void TestLiveUpdate::cleanup()
{
    QDir(CQzLiveUpdate::DownloadFolder()).removeRecursively();
}

void TestLiveUpdate::showsThePageForTheAnswer_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<stCannedAnswer>("answer");
    QTest::addColumn<int>("page");
    const QString url = QStringLiteral("http://127.0.0.1:9/setup.deb");
    QTest::newRow("older") << "1.0.3.0" << Description("1.0.2.9", "0", url) << kUpToDate;
    QTest::newRow("equal") << "1.0.2.9" << Description("1.0.2.9", "0", url) << kUpToDate;
    QTest::newRow("newer") << "1.0.2.9" << Description("1.0.3.0", "0", url) << kOffered;
    QTest::newRow("newer by number, older by text") << "1.0.9.0" << Description("1.0.10.0", "0", url) << kOffered;
    QTest::newRow("older by number, newer by text") << "1.0.10.0" << Description("1.0.9.0", "0", url) << kUpToDate;
    QTest::newRow("newer and forced") << "1.0.2.9" << Description("1.0.3.0", "1", url) << kForced;
    QTest::newRow("forced but equal") << "1.0.3.0" << Description("1.0.3.0", "1", url) << kUpToDate;
    QTest::newRow("equal without address") << "1.0.3.0" << Description("1.0.3.0", "0") << kUpToDate;
    QTest::newRow("newer with unsafe name") << "1.0.2.9" << Description("1.0.3.0", "0", "http://127.0.0.1:9/..") << kFailed;
    QTest::newRow("newer from a file address") << "1.0.2.9" << Description("1.0.3.0", "0", "file:///etc/passwd") << kFailed;
    stCannedAnswer serverError;
    serverError.nStatus = 500;
    serverError.body = Description("1.0.3.0", "0", url).body;
    QTest::newRow("HTTP 500") << "1.0.2.9" << serverError << kFailed;
    stCannedAnswer notJson;
    notJson.body = "<html>update</html>";
    QTest::newRow("not JSON") << "1.0.2.9" << notJson << kFailed;
    stCannedAnswer silent;
    silent.bSilent = true;
    QTest::newRow("no answer in time") << "1.0.2.9" << silent << kFailed;
}

void TestLiveUpdate::showsThePageForTheAnswer()
{
    QFETCH(QString, current);
    QFETCH(stCannedAnswer, answer);
    QFETCH(int, page);
    CContext::Instance()->SetArguments(QStringLiteral("QzHealthManager"), current, QStringLiteral("1"));
    Answer(answer);

    CQzLiveUpdate window;
    FireCheckTimer(window);
    QCOMPARE(Page(window), page);
    QCOMPARE(window.CheckTimerId(), 0);
    QCOMPARE(m_service->RequestsTo("/zr/update").size(), 1);
    QCOMPARE(Child<QLabel>(window, "label_loading")->movie()->state(), QMovie::NotRunning);
    if (page == kUpToDate) {
        QCOMPARE(Child<QLabel>(window, "label_message")->text(), QStringLiteral("已经是最新版本啦！"));
        QCOMPARE(Child<QLabel>(window, "label_version")->text(), QStringLiteral("版本：v") + current);
    }
    if (page == kOffered) {
        QCOMPARE(Child<QLabel>(window, "label_tips")->text(),
            QStringLiteral("检测到最新版本v ") + CContext::Instance()->Version());
        QVERIFY(Child<QTextBrowser>(window, "textBrowser")->toHtml().contains(QStringLiteral("功能")));
        QCOMPARE(Child<QTextBrowser>(window, "textBrowser")->toPlainText(), QStringLiteral("新的功能"));
    }
    // By keyboard: Tab reaches every button the page shows, each with a name to be read, and Esc
    // closes the window as its close button does.
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QStringList reached;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab);
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget())) {
            QVERIFY(!button->text().isEmpty() || !button->accessibleName().isEmpty());
            reached << button->objectName();
        }
    }
    QVERIFY(reached.contains(QStringLiteral("btn_close")));
    for (const QPushButton* button : Child<QStackedWidget>(window, "Body")->currentWidget()->findChildren<QPushButton*>()) {
        if (button->isVisibleTo(&window))
            QVERIFY2(reached.contains(button->objectName()), qPrintable(button->objectName()));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    if (page == kForced) {
        // The forced page offers no way round the update.
        const QList<QPushButton*> buttons = Child<QWidget>(window, "page_5")->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->objectName(), QStringLiteral("btn_autoupdate"));
    }
}

void TestLiveUpdate::startsCheckingAndIgnoresOtherTimers()
{
    Answer(Description("1.0.3.0", "0", m_files->UrlOf("/setup.deb")));
    CQzLiveUpdate window;
    QCOMPARE(window.size(), QSize(250, 250));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window.windowTitle(), QStringLiteral("检查更新"));
    QCOMPARE(Page(window), kChecking);
    QMovie* loading = Child<QLabel>(window, "label_loading")->movie();
    QVERIFY(loading->isValid());
    QVERIFY2(loading->frameCount() > 1, "the loading picture is not an animation");
    // Every frame decodes whole: the leading dot turns clockwise round the centre, on white.
    QImageReader frames(loading->fileName());
    QList<QImage> images;
    for (QImage frame = frames.read(); !frame.isNull(); frame = frames.read())
        images << frame.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(images.size(), loading->frameCount());
    const auto isDot = [](QRgb pixel) { return qGreen(pixel) > qRed(pixel) + 100; };
    QCOMPARE(images.first().size(), QSize(48, 48));
    QVERIFY(isDot(images.first().pixel(24, 6)));
    QCOMPARE(images.first().pixel(24, 24), qRgb(255, 255, 255));
    QCOMPARE(images.first().pixel(47, 47), qRgb(255, 255, 255));
    const QImage quarter = images.at(images.size() / 4);
    QVERIFY(isDot(quarter.pixel(42, 24)));
    // The faint dot that was there in the first frame has been replaced by the bright one.
    QVERIFY(qRed(quarter.pixel(42, 24)) + 60 < qRed(images.first().pixel(42, 24)));
    QCOMPARE(loading->state(), QMovie::Running);
    QVERIFY(window.CheckTimerId() != 0);
    QCOMPARE(window.CheckTimerDelay(), CQzLiveUpdate::CheckDelayMs);
    QCOMPARE(CQzLiveUpdate::CheckDelayMs, 2000);

    QTimerEvent other(window.CheckTimerId() + 1000);
    QCoreApplication::sendEvent(&window, &other);
    QCOMPARE(Page(window), kChecking);
    QCOMPARE(m_service->Requests().size(), 0);

    // Delivered for real, the timer fires once.
    QTRY_COMPARE_WITH_TIMEOUT(Page(window), kOffered, 4000);
    QTest::qWait(100);
    QCOMPARE(m_service->RequestsTo("/zr/update").size(), 1);
}

void TestLiveUpdate::retryChecksAgainLater()
{
    stCannedAnswer down;
    down.nStatus = 500;
    Answer(down);
    CQzLiveUpdate window;
    FireCheckTimer(window);
    QCOMPARE(Page(window), kFailed);
    QCOMPARE(Child<QLabel>(window, "label_error_message")->text(), QStringLiteral("更新失败！"));
    QCOMPARE(Child<QLabel>(window, "label_error_tips")->text(), QStringLiteral("请检查您的网络连接"));

    Answer(Description("1.0.2.9", "0"));
    QTest::mouseClick(Child<QPushButton>(window, "btn_retry"), Qt::LeftButton);
    QCOMPARE(Page(window), kChecking);
    QCOMPARE(Child<QLabel>(window, "label_loading")->movie()->state(), QMovie::Running);
    QCOMPARE(window.CheckTimerDelay(), 3000);
    QCOMPARE(m_service->RequestsTo("/zr/update").size(), 1);
    FireCheckTimer(window);
    QCOMPARE(Page(window), kUpToDate);
    QCOMPARE(m_service->RequestsTo("/zr/update").size(), 2);
}

void TestLiveUpdate::progressLabelAndBar()
{
    CQzLiveUpdate window;
    auto* label = Child<QLabel>(window, "label_progress");
    auto* bar = Child<QProgressBar>(window, "progressBar");
    QCOMPARE(label->text(), QStringLiteral("更新中..."));
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
    QVERIFY(!bar->isTextVisible());

    window.OnProcess_Slots(50, 200);
    QCOMPARE(label->text(), QStringLiteral("更新中...25%"));
    QCOMPARE(bar->maximum(), 200);
    QCOMPARE(bar->value(), 50);
    window.OnProcess_Slots(2, 3);
    QCOMPARE(label->text(), QStringLiteral("更新中...66%"));
    // An unknown total leaves both as they were.
    window.OnProcess_Slots(5000, -1);
    QCOMPARE(label->text(), QStringLiteral("更新中...66%"));
    QCOMPARE(bar->value(), 2);
    window.OnProcess_Slots(0, 0);
    QCOMPARE(label->text(), QStringLiteral("更新中...66%"));
    // Beyond what an int holds the bar is scaled, the percentage computed in 64 bits.
    window.OnProcess_Slots(qint64(3) << 32, qint64(4) << 32);
    QCOMPARE(label->text(), QStringLiteral("更新中...75%"));
    QCOMPARE(double(bar->value()) / bar->maximum(), 0.75);
    window.OnProcess_Slots(200, 200);
    QCOMPARE(label->text(), QStringLiteral("更新中...100%"));
}

void TestLiveUpdate::downloadsAndStartsTheInstaller()
{
    stStreamPlan file;
    file.chunks = {QByteArray(4000, 'a'), QByteArray(4000, 'b')};
    file.nChunkDelayMs = 100;
    m_files->SetPlan("/dist/setup.deb", file);
    Answer(Description("1.0.3.0", "0", m_files->UrlOf("/dist/setup.deb")));
    const int openedBefore = m_opener->Opened().size();

    CQzLiveUpdate window;
    FireCheckTimer(window);
    QCOMPARE(Page(window), kOffered);
    QTest::mouseClick(Child<QPushButton>(window, "btn_update"), Qt::LeftButton);
    QCOMPARE(Page(window), kDownloading);
    QVERIFY(QFileInfo(CQzLiveUpdate::DownloadFolder()).isDir());
    QTRY_COMPARE_WITH_TIMEOUT(m_opener->Opened().size(), openedBefore + 1, 5000);
    QCOMPARE(m_opener->Opened().last(), Installer());
    QFile installer(Installer());
    QVERIFY(installer.open(QIODevice::ReadOnly));
    QCOMPARE(installer.readAll(), QByteArray(4000, 'a') + QByteArray(4000, 'b'));
    QVERIFY(!QFile::exists(Installer() + QStringLiteral("_tmp")));
    QCOMPARE(Child<QLabel>(window, "label_progress")->text(), QStringLiteral("更新中...100%"));
    QVERIFY(TakeQuitRequest());
}

void TestLiveUpdate::forcedUpdateDownloadsAfterAnotherQuery()
{
    m_files->SetPlan("/setup.deb", stStreamPlan{200, {}, {QByteArray("installer")}, 0, -1, false});
    Answer(Description("1.0.3.0", "1", m_files->UrlOf("/setup.deb")));
    const int openedBefore = m_opener->Opened().size();
    CQzLiveUpdate window;
    FireCheckTimer(window);
    QCOMPARE(Page(window), kForced);
    QCOMPARE(Child<QLabel>(window, "label_autoupdate_tips")->text(),
        QStringLiteral("您的zudu版本太旧，已不能 使用，请升级到最新版zudu"));

    // The service is gone by the time the user clicks: the failed page, nothing fetched.
    stCannedAnswer down;
    down.nStatus = 503;
    Answer(down);
    QTest::mouseClick(Child<QPushButton>(window, "btn_autoupdate"), Qt::LeftButton);
    QCOMPARE(Page(window), kFailed);
    QVERIFY(m_files->RequestedPaths().isEmpty());

    Answer(Description("1.0.3.0", "1", m_files->UrlOf("/setup.deb")));
    QTest::mouseClick(Child<QPushButton>(window, "btn_retry"), Qt::LeftButton);
    FireCheckTimer(window);
    QCOMPARE(Page(window), kForced);
    QTest::mouseClick(Child<QPushButton>(window, "btn_autoupdate"), Qt::LeftButton);
    QCOMPARE(m_service->RequestsTo("/zr/update").size(), 4);
    QCOMPARE(Page(window), kDownloading);
    QTRY_COMPARE(m_opener->Opened().size(), openedBefore + 1);
    QCOMPARE(m_opener->Opened().last(), Installer());
    QVERIFY(TakeQuitRequest());
}

void TestLiveUpdate::failedDownloadStartsNothing_data()
{
    QTest::addColumn<stStreamPlan>("plan");
    stStreamPlan missing;
    missing.nStatus = 404;
    missing.chunks = {QByteArray("<html>gone</html>")};
    QTest::newRow("404") << missing;
    stStreamPlan cut;
    cut.chunks = {QByteArray(1000, 'a')};
    cut.nContentLength = 50000;
    QTest::newRow("cut mid-body") << cut;
    stStreamPlan redirect;
    redirect.nStatus = 302;
    redirect.extraHeaders = "Location: /other.deb\r\n";
    QTest::newRow("302") << redirect;
    stStreamPlan created;
    created.nStatus = 204;
    QTest::newRow("204 without body") << created;
    stStreamPlan huge;
    huge.chunks = {QByteArray(10, 'a')};
    huge.nContentLength = CDownload::DefaultMaxBytes * 2;
    huge.bHoldOpen = true;
    QTest::newRow("oversized") << huge;
}

void TestLiveUpdate::failedDownloadStartsNothing()
{
    QFETCH(stStreamPlan, plan);
    m_files->SetPlan("/setup.deb", plan);
    Answer(Description("1.0.3.0", "0", m_files->UrlOf("/setup.deb")));
    const int openedBefore = m_opener->Opened().size();

    CQzLiveUpdate window;
    FireCheckTimer(window);
    QTest::mouseClick(Child<QPushButton>(window, "btn_update"), Qt::LeftButton);
    QVERIFY(window.Download());
    QTRY_VERIFY_WITH_TIMEOUT(window.Download()->IsIdle(), 5000);
    QTest::qWait(300);
    QCOMPARE(Page(window), kDownloading);
    QCOMPARE(m_opener->Opened().size(), openedBefore);
    QCOMPARE(QDir(CQzLiveUpdate::DownloadFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(!m_files->RequestedPaths().contains("/other.deb"));
    QVERIFY(!TakeQuitRequest());
}

void TestLiveUpdate::closingDuringDownloadRemovesThePart()
{
    stStreamPlan slow;
    slow.chunks = {QByteArray(2000, 'a')};
    slow.nContentLength = 100000;
    slow.bHoldOpen = true;
    m_files->SetPlan("/setup.deb", slow);
    Answer(Description("1.0.3.0", "0", m_files->UrlOf("/setup.deb")));
    const int openedBefore = m_opener->Opened().size();

    CQzLiveUpdate window;
    window.show();
    FireCheckTimer(window);
    QTest::mouseClick(Child<QPushButton>(window, "btn_update"), Qt::LeftButton);
    QTRY_VERIFY(QFileInfo(Installer() + QStringLiteral("_tmp")).size() == 2000);
    QTest::mouseClick(Child<QPushButton>(window, "btn_close"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(window.Download()->IsIdle());
    QVERIFY(!QFile::exists(Installer() + QStringLiteral("_tmp")));
    QVERIFY(!QFile::exists(Installer()));
    QTest::qWait(200);
    QCOMPARE(m_opener->Opened().size(), openedBefore);
}

void TestLiveUpdate::skipStampsOnlyTheUpdatersOwnFile()
{
    const QString trayConfig = m_home.DataFolder() + QStringLiteral("/QzHealthManager/QzConfig.ini");
    QDir().mkpath(QFileInfo(trayConfig).absolutePath());
    {
        QSettings tray(trayConfig, QSettings::IniFormat);
        tray.setValue(QStringLiteral("boot/update_timestamp"), QStringLiteral("1000"));
    }
    QFile trayFile(trayConfig);
    QVERIFY(trayFile.open(QIODevice::ReadOnly));
    const QByteArray trayBefore = trayFile.readAll();
    trayFile.close();

    Answer(Description("1.0.3.0", "0", m_files->UrlOf("/setup.deb")));
    CClock::Set(1767225600);
    CQzLiveUpdate window;
    window.show();
    FireCheckTimer(window);
    QCOMPARE(Page(window), kOffered);
    QTest::mouseClick(Child<QPushButton>(window, "btn_skip"), Qt::LeftButton);
    QVERIFY(!window.isVisible());

    const QString ownConfig = CIniSettings::Instance()->FileName();
    QCOMPARE(ownConfig, QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/QzConfig.ini"));
    QVERIFY(ownConfig != trayConfig);
    QSettings own(ownConfig, QSettings::IniFormat);
    QCOMPARE(own.value(QStringLiteral("boot/update_timestamp")).toString(), QStringLiteral("1767225600"));
    QVERIFY(trayFile.open(QIODevice::ReadOnly));
    QCOMPARE(trayFile.readAll(), trayBefore);
    QVERIFY(m_files->RequestedPaths().isEmpty());
}

QTEST_MAIN(TestLiveUpdate)
#include "tst_liveupdate.moc"

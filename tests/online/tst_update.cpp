#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "CServiceEndpoints.h"
#include "CUpdateContext.h"
#include "CUpdateService.h"
#include "CUpdaterStaging.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"

#include <sys/stat.h>

Q_DECLARE_METATYPE(stCannedAnswer)

// Stands in for the browser: records what would have been opened.
class CUrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> m_opened;
public slots:
    void Open(const QUrl& url) { m_opened << url; }
};

namespace {
// Clicks `button` of the message dialog once it is up; it may come only after a nested wait
// for the network, so keep looking until then.
void AnswerDialog(const QString& button, QString* tips = nullptr, QString* message = nullptr)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != QLatin1String("CMessageShow") || !window->isVisible())
                continue;
            if (tips)
                *tips = window->findChild<QLabel*>(QStringLiteral("label_ExitTips"))->text();
            if (message)
                *message = window->findChild<QLabel*>(QStringLiteral("label_ExitTipsMsg"))->text();
            poll->deleteLater();
            poll->stop();
            QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
            return;
        }
    });
    poll->start(20);
}
}

class TestUpdate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void queryAnswers_data();
    void queryAnswers();
    void missingMembersKeepEarlierAnswer();
    void checkReportsAndOffersTheWebSite();
    void failedCheckDoesNothing();
    void oneCheckAtATime();
    void stagingReplacesAnEarlierRunAndStartsTheCopy();
    void stagingNeverFollowsALink();

private:
    void Configure();
    // A program folder with an updater that writes where it was started from and its arguments.
    QString MakeProgramFolder() const;

    CTestHome* m_home = nullptr;
    CLoopbackHttpServer* m_server = nullptr;
    CUrlRecorder m_browser;
};

void TestUpdate::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "Open");
}

void TestUpdate::init()
{
    m_home = new CTestHome;
    qputenv("XDG_CACHE_HOME", (m_home->Path() + QStringLiteral("/usercache")).toUtf8());
    m_server = new CLoopbackHttpServer;
    m_browser.m_opened.clear();
}

void TestUpdate::cleanup()
{
    delete m_server;
    delete m_home;
}

void TestUpdate::Configure()
{
    QSettings file(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
    file.setValue(QStringLiteral("services/update"), m_server->BaseUrl());
    file.setValue(QStringLiteral("services/statistics"), m_server->BaseUrl());
    file.sync();
}

void TestUpdate::queryAnswers_data()
{
    QTest::addColumn<stCannedAnswer>("answer");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("forceupdate");

    auto body = [](const QByteArray& text, int status = 200) {
        stCannedAnswer answer;
        answer.body = text;
        answer.nStatus = status;
        return answer;
    };
    QTest::newRow("full") << body(R"({"update":"1","forceupdate":"1","version":"4.1.0.0","url":"http://x/a.deb"})")
                          << true << "4.1.0.0" << "1";
    QTest::newRow("empty object") << body("{}") << true << "earlier" << "0";
    QTest::newRow("array") << body(R"([{"version":"9.9.9.9"}])") << true << "earlier" << "0";
    QTest::newRow("version as number") << body(R"({"version":4.1,"forceupdate":1})") << true << "earlier" << "0";
    QTest::newRow("not json") << body("<html>busy</html>") << false << "earlier" << "0";
    QTest::newRow("empty body") << body("") << false << "earlier" << "0";
    QTest::newRow("http 500") << body(R"({"version":"4.1.0.0"})", 500) << false << "earlier" << "0";
    stCannedAnswer late = body(R"({"version":"4.1.0.0"})");
    late.nDelayMs = 400;
    QTest::newRow("slow but in time") << late << true << "4.1.0.0" << "0";
    stCannedAnswer silent;
    silent.bSilent = true;
    QTest::newRow("no answer") << silent << false << "earlier" << "0";
    const QByteArray padded = R"({"version":"4.1.0.0","note":")" + QByteArray(CUpdateService::MaxBytes, 'n') + "\"}";
    QTest::newRow("oversized") << body(padded) << false << "earlier" << "0";
    stCannedAnswer streamed = body(padded);
    streamed.bNoLength = true;
    QTest::newRow("oversized without length") << streamed << false << "earlier" << "0";
}

void TestUpdate::queryAnswers()
{
    QFETCH(stCannedAnswer, answer);
    QFETCH(bool, ok);
    QFETCH(QString, version);
    QFETCH(QString, forceupdate);
    Configure();
    m_server->SetAnswer("/zr/update", answer);
    stUpdateInfo info;
    info.strVersion = QStringLiteral("earlier");

    QElapsedTimer watch;
    watch.start();
    QCOMPARE(CUpdateService::Query(info), ok);
    QVERIFY(watch.elapsed() < CUpdateService::TimeoutMs + 2000);
    QCOMPARE(info.strVersion, version);
    QCOMPARE(info.strForceUpdate, forceupdate);
    const QList<stRecordedRequest> requests = m_server->Requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).target, QByteArray("/zr/update"));
}

void TestUpdate::missingMembersKeepEarlierAnswer()
{
    stUpdateInfo info;
    const QByteArray first = R"({"update":"u","product":"p","version":"4.1.0.0","url":"http://x/a","note":"<b>n</b>"})";
    const QByteArray second = R"({"version":"4.2.0.0","note":null,"url":7})";
    QVERIFY(CUpdateService::Apply(first, info));
    QVERIFY(CUpdateService::Apply(second, info));
    QCOMPARE(info.strUpdate, QStringLiteral("u"));
    QCOMPARE(info.strProduct, QStringLiteral("p"));
    QCOMPARE(info.strVersion, QStringLiteral("4.2.0.0"));
    QCOMPARE(info.strUrl, QStringLiteral("http://x/a"));
    QCOMPARE(info.strNote, QStringLiteral("<b>n</b>"));
    QCOMPARE(info.strForceUpdate, QStringLiteral("0"));
}

void TestUpdate::checkReportsAndOffersTheWebSite()
{
    Configure();
    stCannedAnswer answer;
    answer.body = R"({"update":"flag","version":"4.1.0.0"})";
    m_server->SetAnswer("/zr/update", answer);
    QString tips;
    QString message;
    // The test program's folder holds no updater, so the check ends at the dialog.
    AnswerDialog(QStringLiteral("btn_Yes"), &tips, &message);
    QSignalSpy reported(CUpdateContext::Instance(), &CUpdateContext::EventReported);

    CUpdateContext::Instance()->CheckForUpdate();

    QCOMPARE(tips, QStringLiteral("完整性效验失败"));
    QCOMPARE(message, QStringLiteral("您的程序不完整,请从官网下载最新包"));
    QCOMPARE(m_browser.m_opened.size(), 1);
    QCOMPARE(m_browser.m_opened.at(0).scheme(), QStringLiteral("https"));
    QCOMPARE(reported.count(), 1);
    QCOMPARE(reported.at(0).at(0).toString(), QStringLiteral("manual_update"));
    const QList<stRecordedRequest> reports = m_server->RequestsTo("/hm4.gif");
    QCOMPARE(reports.size(), 1);
    QVERIFY(reports.at(0).query.contains("&event=manual_update&"));
    QCOMPARE(CUpdateContext::Instance()->UpdateInfo().strUpdate, QStringLiteral("flag"));

    // Refusing instead opens nothing.
    AnswerDialog(QStringLiteral("btn_No"));
    CUpdateContext::Instance()->LaunchUpdater();
    QCOMPARE(m_browser.m_opened.size(), 1);
}

void TestUpdate::failedCheckDoesNothing()
{
    Configure();
    stCannedAnswer answer;
    answer.nStatus = 503;
    answer.body = "{}";
    m_server->SetAnswer("/zr/update", answer);
    QSignalSpy reported(CUpdateContext::Instance(), &CUpdateContext::EventReported);
    CUpdateContext::Instance()->CheckForUpdate();
    QCOMPARE(reported.count(), 0);
    QVERIFY(m_server->RequestsTo("/hm4.gif").isEmpty());
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(!window->isVisible());

    // Without any service configured the check fails the same way and sends nothing.
    QFile::remove(CServiceEndpoints::ConfigPath());
    CUpdateContext::Instance()->CheckForUpdate();
    QCOMPARE(reported.count(), 0);
    QCOMPARE(m_server->Requests().size(), 1);
}

void TestUpdate::oneCheckAtATime()
{
    Configure();
    stCannedAnswer slow;
    slow.body = "{}";
    slow.nDelayMs = 300;
    m_server->SetAnswer("/zr/update", slow);
    QTimer::singleShot(50, [] { CUpdateContext::Instance()->CheckForUpdate(); });
    AnswerDialog(QStringLiteral("btn_No"));
    CUpdateContext::Instance()->CheckForUpdate();
    QCOMPARE(m_server->RequestsTo("/zr/update").size(), 1);
    QCOMPARE(m_server->RequestsTo("/hm4.gif").size(), 1);
    // Once it is over, the next check runs.
    AnswerDialog(QStringLiteral("btn_No"));
    CUpdateContext::Instance()->CheckForUpdate();
    QCOMPARE(m_server->RequestsTo("/zr/update").size(), 2);
}

QString TestUpdate::MakeProgramFolder() const
{
    const QString folder = m_home->Path() + QStringLiteral("/prefix/lib/QzHealthManager");
    QDir().mkpath(folder + QStringLiteral("/plugins"));
    QFile updater(folder + QStringLiteral("/QzLiveUpdate"));
    if (!updater.open(QIODevice::WriteOnly))
        return {};
    updater.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"$(dirname \"$0\")/../started.txt\"\n");
    updater.close();
    updater.setPermissions(updater.permissions() | QFile::ExeOwner);
    QFile hidden(folder + QStringLiteral("/plugins/.marker"));
    if (!hidden.open(QIODevice::WriteOnly))
        return {};
    hidden.write("m");
    hidden.close();
    QFile::link(folder + QStringLiteral("/QzLiveUpdate"), folder + QStringLiteral("/alias"));
    return folder;
}

void TestUpdate::stagingReplacesAnEarlierRunAndStartsTheCopy()
{
    const QString program = MakeProgramFolder();
    QVERIFY(!program.isEmpty());
    const QString staging = CUpdaterStaging::DefaultFolder();
    QVERIFY(staging.startsWith(m_home->Path()));
    QDir().mkpath(staging + QStringLiteral("/QzHealthManager/QzLive"));
    QFile stale(staging + QStringLiteral("/QzHealthManager/QzLive/old-installer.deb"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    // Both folders left open to everyone, as an earlier version or another program may have
    // made them: staging closes them again.
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(staging, open));
    QVERIFY(QFile::setPermissions(QFileInfo(staging).absolutePath(), open));

    QVERIFY(CUpdaterStaging(program, staging).Start({"QzHealthManager", "4.0.0.0", "flag"}));

    const QString staged = staging + QStringLiteral("/QzHealthManager");
    QVERIFY(!QFileInfo::exists(staged + QStringLiteral("/QzLive")));
    QVERIFY(QFileInfo(staged + QStringLiteral("/QzLiveUpdate")).isExecutable());
    QVERIFY(QFileInfo::exists(staged + QStringLiteral("/plugins/.marker")));
    QVERIFY(QFileInfo(staged + QStringLiteral("/alias")).isSymLink());
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(staging).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0700);
    QCOMPARE(::lstat(QFile::encodeName(QFileInfo(staging).absolutePath()).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0700);

    QFile started(staging + QStringLiteral("/started.txt"));
    QTRY_VERIFY(started.size() > 0);
    QVERIFY(started.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(started.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{staged + QStringLiteral("/QzLiveUpdate"), "QzHealthManager", "4.0.0.0", "flag"}));
    QVERIFY(!QFileInfo::exists(m_home->Path() + QStringLiteral("/prefix/lib/started.txt")));
}

void TestUpdate::stagingNeverFollowsALink()
{
    const QString program = MakeProgramFolder();
    const QString victim = m_home->Path() + QStringLiteral("/victim");
    QDir().mkpath(victim);
    QFile keep(victim + QStringLiteral("/keep.txt"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    const QString parent = m_home->Path() + QStringLiteral("/cache");
    QDir().mkpath(parent);

    // A staging folder that is a link is removed as a link; what it pointed at stays.
    QVERIFY(QFile::link(victim, parent + QStringLiteral("/staging")));
    QVERIFY(!CUpdaterStaging(program, parent + QStringLiteral("/staging")).Stage().isEmpty());
    QVERIFY(QFileInfo::exists(victim + QStringLiteral("/keep.txt")));
    QVERIFY(!QFileInfo::exists(victim + QStringLiteral("/QzHealthManager")));
    QVERIFY(!QFileInfo(parent + QStringLiteral("/staging")).isSymLink());

    // A parent that is a link is refused outright.
    const QString linkedParent = m_home->Path() + QStringLiteral("/linked");
    QVERIFY(QFile::link(victim, linkedParent));
    QVERIFY(CUpdaterStaging(program, linkedParent + QStringLiteral("/staging")).Stage().isEmpty());
    QVERIFY(!QFileInfo::exists(victim + QStringLiteral("/staging")));
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"

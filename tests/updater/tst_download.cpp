#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "CDownload.h"
#include "StreamingHttpServer.h"

Q_DECLARE_METATYPE(stStreamPlan)

namespace {
QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}
}

class TestDownload : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void growsAsTemporaryFileThenTakesItsName();
    void removesLeftoversBeforeStarting();
    void abortRemovesTemporaryFile();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void unwritableFolderIsAnError();
    void secondRequestWhileBusyIsIgnored();

private:
    QString Target() const { return m_dir->path() + QStringLiteral("/setup.deb"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CStreamingHttpServer> m_server;
};

void TestDownload::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_server = std::make_unique<CStreamingHttpServer>();
}

void TestDownload::growsAsTemporaryFileThenTakesItsName()
{
    stStreamPlan plan;
    plan.chunks = {QByteArray(3000, 'a'), QByteArray(3000, 'b'), QByteArray(2000, 'c')};
    plan.nChunkDelayMs = 150;
    m_server->SetPlan("/files/setup.deb", plan);

    CDownload download;
    QList<qint64> temporarySizes;
    bool targetSeenEarly = false;
    connect(&download, &CDownload::OnProcess_Signals, this, [&](qint64, qint64) {
        temporarySizes << QFileInfo(Target() + QStringLiteral("_tmp")).size();
        targetSeenEarly = targetSeenEarly || QFile::exists(Target());
    });
    QSignalSpy progress(&download, &CDownload::OnProcess_Signals);
    QSignalSpy finished(&download, &CDownload::OnFinished_Signals);
    QSignalSpy errors(&download, &CDownload::OnError_Signals);
    download.Download(QUrl(m_server->UrlOf("/files/setup.deb")), Target());
    QCOMPARE(download.TemporaryPath(), Target() + QStringLiteral("_tmp"));
    QVERIFY(!download.IsIdle());

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    QCOMPARE(finished.first().first().toInt(), 200);
    QCOMPARE(errors.count(), 0);
    QVERIFY(download.IsIdle());
    QVERIFY(!targetSeenEarly);
    QCOMPARE(ReadFile(Target()), QByteArray(3000, 'a') + QByteArray(3000, 'b') + QByteArray(2000, 'c'));
    QVERIFY(!QFile::exists(Target() + QStringLiteral("_tmp")));
    // The file was seen part-written between the chunks, growing.
    QList<qint64> grown;
    for (qint64 size : temporarySizes) {
        if (size > 0 && (grown.isEmpty() || size > grown.last()))
            grown << size;
    }
    QVERIFY2(grown.size() >= 2, qPrintable(QStringLiteral("sizes seen: %1").arg(temporarySizes.size())));
    const QList<QVariant> last = progress.last();
    QCOMPARE(last.at(0).toLongLong(), qint64(8000));
    QCOMPARE(last.at(1).toLongLong(), qint64(8000));
}

void TestDownload::removesLeftoversBeforeStarting()
{
    WriteFile(Target(), "old installer");
    WriteFile(Target() + QStringLiteral("_tmp"), "old part");
    stStreamPlan plan;
    plan.chunks = {QByteArray("new")};
    plan.nChunkDelayMs = 200;
    plan.bHoldOpen = true;
    plan.nContentLength = 6;
    m_server->SetPlan("/setup.deb", plan);

    CDownload download;
    download.Download(QUrl(m_server->UrlOf("/setup.deb")), Target());
    QVERIFY(!QFile::exists(Target()));
    QVERIFY(!QFile::exists(Target() + QStringLiteral("_tmp")));
    QTRY_COMPARE(ReadFile(Target() + QStringLiteral("_tmp")), QByteArray("new"));
    QVERIFY(!QFile::exists(Target()));
}

void TestDownload::abortRemovesTemporaryFile()
{
    stStreamPlan plan;
    plan.chunks = {QByteArray(1000, 'x')};
    plan.nContentLength = 100000;
    plan.bHoldOpen = true;
    m_server->SetPlan("/setup.deb", plan);

    CDownload download;
    QSignalSpy finished(&download, &CDownload::OnFinished_Signals);
    QSignalSpy errors(&download, &CDownload::OnError_Signals);
    download.Download(QUrl(m_server->UrlOf("/setup.deb")), Target());
    QTRY_VERIFY(QFileInfo(Target() + QStringLiteral("_tmp")).size() == 1000);
    download.Abort();
    QVERIFY(download.IsIdle());
    QVERIFY(!QFile::exists(Target() + QStringLiteral("_tmp")));
    QCOMPARE(download.BytesReceived(), qint64(0));
    QCOMPARE(download.BytesTotal(), qint64(0));
    QTest::qWait(200);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(errors.count(), 0);
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestDownload::failuresLeaveNoFile_data()
{
    QTest::addColumn<stStreamPlan>("plan");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<int>("stallMs");
    const qint64 cap = CDownload::DefaultMaxBytes;
    const int stall = CDownload::DefaultStallTimeoutMs;

    stStreamPlan missing;
    missing.nStatus = 404;
    missing.chunks = {QByteArray("<html>not found</html>")};
    QTest::newRow("404") << missing << cap << stall;

    stStreamPlan serverError;
    serverError.nStatus = 500;
    serverError.chunks = {QByteArray("oops")};
    QTest::newRow("500") << serverError << cap << stall;

    stStreamPlan cut;
    cut.chunks = {QByteArray(500, 'a'), QByteArray(500, 'b')};
    cut.nChunkDelayMs = 50;
    cut.nContentLength = 5000;
    QTest::newRow("connection cut mid-body") << cut << cap << stall;

    stStreamPlan redirect;
    redirect.nStatus = 302;
    redirect.extraHeaders = "Location: /elsewhere/setup.deb\r\n";
    redirect.chunks = {QByteArray("moved")};
    QTest::newRow("302") << redirect << cap << stall;

    stStreamPlan announcedHuge;
    announcedHuge.chunks = {QByteArray(100, 'a')};
    announcedHuge.nContentLength = cap + 1;
    announcedHuge.bHoldOpen = true;
    QTest::newRow("announced larger than the cap") << announcedHuge << cap << stall;

    stStreamPlan endlessBody;
    endlessBody.chunks = {QByteArray(4000, 'a'), QByteArray(4000, 'b'), QByteArray(4000, 'c')};
    endlessBody.nChunkDelayMs = 20;
    endlessBody.nContentLength = stStreamPlan::NoLength;
    QTest::newRow("body larger than the cap") << endlessBody << qint64(10000) << stall;

    stStreamPlan stalled;
    stalled.chunks = {QByteArray(100, 'a')};
    stalled.nContentLength = 1000;
    stalled.bHoldOpen = true;
    QTest::newRow("stalls") << stalled << cap << 400;
}

void TestDownload::failuresLeaveNoFile()
{
    QFETCH(stStreamPlan, plan);
    QFETCH(qint64, maxBytes);
    QFETCH(int, stallMs);
    m_server->SetPlan("/setup.deb", plan);
    m_server->SetPlan("/elsewhere/setup.deb", stStreamPlan{200, {}, {QByteArray("other")}, 0, -1, false});

    CDownload download;
    download.SetLimits(maxBytes, stallMs);
    QSignalSpy finished(&download, &CDownload::OnFinished_Signals);
    QSignalSpy errors(&download, &CDownload::OnError_Signals);
    download.Download(QUrl(m_server->UrlOf("/setup.deb")), Target());
    QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 5000);
    QVERIFY(!errors.first().first().toString().isEmpty());
    QTest::qWait(100);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(finished.count(), 0);
    QVERIFY(download.IsIdle());
    QVERIFY(QDir(m_dir->path()).isEmpty());
    QVERIFY(!m_server->RequestedPaths().contains("/elsewhere/setup.deb"));
}

void TestDownload::unwritableFolderIsAnError()
{
    stStreamPlan plan;
    plan.chunks = {QByteArray("data")};
    m_server->SetPlan("/setup.deb", plan);
    CDownload download;
    QSignalSpy errors(&download, &CDownload::OnError_Signals);
    QSignalSpy finished(&download, &CDownload::OnFinished_Signals);
    download.Download(QUrl(m_server->UrlOf("/setup.deb")), m_dir->path() + QStringLiteral("/missing/setup.deb"));
    QTRY_COMPARE(errors.count(), 1);
    QCOMPARE(errors.first().first().toString(), QStringLiteral("创建更新临时文件失败!"));
    QTest::qWait(100);
    QCOMPARE(finished.count(), 0);
}

void TestDownload::secondRequestWhileBusyIsIgnored()
{
    stStreamPlan slow;
    slow.chunks = {QByteArray("one"), QByteArray("two")};
    slow.nChunkDelayMs = 200;
    m_server->SetPlan("/first.deb", slow);
    m_server->SetPlan("/second.deb", stStreamPlan{200, {}, {QByteArray("second")}, 0, -1, false});

    CDownload download;
    QSignalSpy finished(&download, &CDownload::OnFinished_Signals);
    download.Download(QUrl(m_server->UrlOf("/first.deb")), m_dir->path() + QStringLiteral("/first.deb"));
    download.Download(QUrl(m_server->UrlOf("/second.deb")), m_dir->path() + QStringLiteral("/second.deb"));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(ReadFile(m_dir->path() + QStringLiteral("/first.deb")), QByteArray("onetwo"));
    QVERIFY(!m_server->RequestedPaths().contains("/second.deb"));
    QCOMPARE(download.Url(), QUrl(m_server->UrlOf("/first.deb")));
}

QTEST_MAIN(TestDownload)
#include "tst_download.moc"

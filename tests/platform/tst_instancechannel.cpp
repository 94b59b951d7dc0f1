#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestHome.h"
#include "instancechannel.h"

namespace {
sockaddr_un AddressOf(const CInstanceChannel& channel)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(channel.ServerName()).constData(), sizeof address.sun_path);
    return address;
}
}

class TestInstanceChannel : public QObject
{
    Q_OBJECT
private slots:
    void secondClaimWakesTheFirst();
    void staleSocketDoesNotBlock();
    void releaseLetsTheNextCopyIn();
    void socketIsPrivate();
    void simultaneousClaimsHaveOneWinner();
    void oneCopyWhateverLiesAtThePaths_data();
    void oneCopyWhateverLiesAtThePaths();
};

void TestInstanceChannel::secondClaimWakesTheFirst()
{
    CTestHome home;
    CInstanceChannel first(QStringLiteral("QzTest"));
    QVERIFY(first.Claim("wake"));
    QSignalSpy received(&first, &CInstanceChannel::CommandReceived);

    // A second copy lives in another process; a second channel object stands in for it.
    CInstanceChannel second(QStringLiteral("QzTest"));
    QVERIFY(!second.Claim("wake"));

    // A stranger that streams bytes with no line end is cut off, and copies are still heard.
    const int stranger = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un address = AddressOf(first);
    QCOMPARE(::connect(stranger, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const QByteArray junk(64 * 1024, 'x');
    QVERIFY(send(stranger, junk.constData(), size_t(junk.size()), MSG_NOSIGNAL) > 4096);
    char byte;
    QTRY_VERIFY(recv(stranger, &byte, 1, 0) == 0 || (errno != EAGAIN && errno != EWOULDBLOCK));
    close(stranger);

    QVERIFY(second.Send("hide-tray"));
    QTRY_COMPARE(received.count(), 2);
    QCOMPARE(received.at(0).at(0).toByteArray(), QByteArray("wake"));
    QCOMPARE(received.at(1).at(0).toByteArray(), QByteArray("hide-tray"));
}

void TestInstanceChannel::staleSocketDoesNotBlock()
{
    CTestHome home;
    CInstanceChannel channel(QStringLiteral("QzTest"));
    // What a killed copy leaves behind: a bound socket file nobody listens on.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = AddressOf(channel);
    QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    QVERIFY(QFile::exists(channel.ServerName()));

    QVERIFY(channel.Claim("wake"));
    CInstanceChannel later(QStringLiteral("QzTest"));
    QVERIFY(!later.Claim("wake"));
}

void TestInstanceChannel::releaseLetsTheNextCopyIn()
{
    CTestHome home;
    CInstanceChannel first(QStringLiteral("QzTest"));
    QVERIFY(first.Claim("wake"));
    first.Release();
    CInstanceChannel next(QStringLiteral("QzTest"));
    QVERIFY(next.Claim("wake"));
    QSignalSpy received(&next, &CInstanceChannel::CommandReceived);
    CInstanceChannel third(QStringLiteral("QzTest"));
    QVERIFY(!third.Claim("wake"));
    QTRY_COMPARE(received.count(), 1);
}

void TestInstanceChannel::socketIsPrivate()
{
    CTestHome home;
    CInstanceChannel channel(QStringLiteral("QzTest"));
    QVERIFY(channel.Claim("wake"));
    const QFile::Permissions permissions = QFile::permissions(channel.ServerName());
    QVERIFY(permissions & QFile::WriteOwner);
    QVERIFY(!(permissions & (QFile::WriteGroup | QFile::WriteOther | QFile::ReadGroup | QFile::ReadOther)));
}

// Copies that claim at the same instant, each in its own process: exactly one may win, however
// the claims interleave. The copies wait behind one gate and all start when it opens.
void TestInstanceChannel::simultaneousClaimsHaveOneWinner()
{
    CTestHome home;
    constexpr int kCopies = 6;
    for (int attempt = 0; attempt < 25; ++attempt) {
        int gate[2];
        int results[2];
        int done[2];
        QCOMPARE(pipe(gate), 0);
        QCOMPARE(pipe(results), 0);
        QCOMPARE(pipe(done), 0);
        for (int i = 0; i < kCopies; ++i) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                close(gate[1]);
                close(done[1]);
                char byte = 0;
                // Returns when the test closes its end of the gate.
                const ssize_t opened = read(gate[0], &byte, 1);
                (void)opened;
                CInstanceChannel channel(QStringLiteral("QzTest"));
                const char result = channel.Claim("wake") ? 'w' : 'l';
                const ssize_t sent = write(results[1], &result, 1);
                (void)sent;
                // A winner keeps the channel until every copy has answered.
                const ssize_t ended = read(done[0], &byte, 1);
                (void)ended;
                _exit(0);
            }
        }
        close(gate[0]);
        close(results[1]);
        close(done[0]);
        close(gate[1]);
        QByteArray answers;
        char result = 0;
        while (answers.size() < kCopies && read(results[0], &result, 1) == 1)
            answers += result;
        close(done[1]);
        close(results[0]);
        for (int i = 0; i < kCopies; ++i)
            wait(nullptr);
        QCOMPARE(answers.size(), kCopies);
        QVERIFY2(answers.count('w') == 1,
            qPrintable(QStringLiteral("attempt %1: %2").arg(attempt).arg(QString::fromLatin1(answers))));
    }
}

void TestInstanceChannel::oneCopyWhateverLiesAtThePaths_data()
{
    // What stands at the lock's or the socket's path before the first copy claims the channel.
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("planted");
    // What the first copy says about it.
    QTest::addColumn<QString>("report");
    auto row = [](const char* name, const char* suffix, const char* planted, const char* report) {
        QTest::newRow(name) << QString::fromLatin1(suffix) << QString::fromLatin1(planted) << QString::fromLatin1(report);
    };
    row("directory at the lock", ".lock", "directory", "lock .*/QzTest\\.lock cannot be used \\(it is a directory\\)");
    row("link at the lock", ".lock", "link", "lock .*/QzTest\\.lock cannot be used \\(it is a symbolic link\\)");
    row("lock held by a process that does not answer", ".lock", "held",
        "lock .*/QzTest\\.lock cannot be used \\(a process that does not answer holds it\\)");
    // A copy that fell back on the name lock, then one that finds the lock file usable again.
    row("directory at the lock, gone before the second copy", ".lock", "passing directory",
        "lock .*/QzTest\\.lock cannot be used \\(it is a directory\\)");
    row("directory at the socket", "", "directory", "socket .*/QzTest was in the way \\(it is a directory\\): moved to");
    row("named pipe at the socket", "", "fifo", "socket .*/QzTest was in the way \\(it is a named pipe\\): moved to");
}

// Whatever stands at the channel's paths, the first copy runs, a later one wakes it within a
// second and ends, and nothing that stood there is lost.
void TestInstanceChannel::oneCopyWhateverLiesAtThePaths()
{
    QFETCH(QString, suffix);
    QFETCH(QString, planted);
    QFETCH(QString, report);
    CTestHome home;
    CInstanceChannel first(QStringLiteral("QzTest"));
    const QString path = first.ServerName() + suffix;
    const QString elsewhere = home.Path() + QStringLiteral("/elsewhere");
    int holder = -1;
    if (planted.endsWith(QLatin1String("directory"))) {
        QVERIFY(QDir().mkpath(path + QStringLiteral("/kept")));
    } else if (planted == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (planted == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, path));
    } else if (planted == QLatin1String("held")) {
        holder = open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(holder >= 0);
        QCOMPARE(flock(holder, LOCK_EX | LOCK_NB), 0);
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(report));
    QElapsedTimer waited;
    waited.start();
    QVERIFY(first.Claim("wake"));
    // Even behind a lock holder that never answers, a start waits a second at most.
    QVERIFY2(waited.elapsed() < 1500, qPrintable(QStringLiteral("the first copy waited %1 ms").arg(waited.elapsed())));
    QSignalSpy received(&first, &CInstanceChannel::CommandReceived);
    if (planted == QLatin1String("passing directory"))
        QVERIFY(QDir(path).removeRecursively());
    // What stood at the socket's path is kept under another name.
    const QString aside = path + QStringLiteral(".moved-%1").arg(getpid());
    if (suffix.isEmpty())
        QVERIFY(QFileInfo::exists(planted == QLatin1String("directory") ? aside + QStringLiteral("/kept") : aside));

    CInstanceChannel second(QStringLiteral("QzTest"));
    // A lock file that cannot serve cannot serve the second copy either.
    if (!suffix.isEmpty() && (planted == QLatin1String("directory") || planted == QLatin1String("link")))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(report));
    waited.restart();
    QVERIFY(!second.Claim("wake"));
    QVERIFY2(waited.elapsed() < 1000, qPrintable(QStringLiteral("the second copy waited %1 ms").arg(waited.elapsed())));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toByteArray(), QByteArray("wake"));
    QVERIFY(!QFileInfo::exists(elsewhere));
    if (holder >= 0)
        close(holder);
}

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"

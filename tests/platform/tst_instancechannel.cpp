#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
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

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"

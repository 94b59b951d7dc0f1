#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "TestHome.h"
#include "instancechannel.h"

class TestInstanceChannel : public QObject
{
    Q_OBJECT
private slots:
    void secondClaimWakesTheFirst();
    void staleSocketDoesNotBlock();
    void releaseLetsTheNextCopyIn();
    void socketIsPrivate();
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
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(channel.ServerName());
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
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

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"

#include <QDir>
#include <QFile>
#include <QTest>

#include "FakeOpener.h"
#include "TestHome.h"
#include "desktopopen.h"

class TestDesktopOpen : public QObject
{
    Q_OBJECT
private slots:
    void opensFilesByTheirFullPath();
};

void TestDesktopOpen::opensFilesByTheirFullPath()
{
    CTestHome home;
    CFakeOpener opener(home.Path() + QStringLiteral("/bin"));
    const QString folder = home.Path() + QStringLiteral("/安装 包");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/setup.deb"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("package");
    file.close();

    QVERIFY(DesktopOpen::OpenDetached(folder + QStringLiteral("/../安装 包/setup.deb")));
    QTRY_COMPARE(opener.Opened(), QStringList{folder + QStringLiteral("/setup.deb")});

    // Nothing is handed over for what is not a file.
    QVERIFY(!DesktopOpen::OpenDetached(folder + QStringLiteral("/missing.deb")));
    QVERIFY(!DesktopOpen::OpenDetached(folder));
    QVERIFY(!DesktopOpen::OpenDetached(QString()));
    QTest::qWait(200);
    QCOMPARE(opener.Opened().size(), 1);
}

QTEST_MAIN(TestDesktopOpen)
#include "tst_desktopopen.moc"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "TestHome.h"
#include "autostart.h"

class TestAutostart : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsAwkwardPaths_data();
    void roundTripsAwkwardPaths();
    void entryIsValidAndQuoted();
    void desktopSwitchesCountAsNoEntry();
    void removeLeavesNothing();
};

void TestAutostart::roundTripsAwkwardPaths_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << QStringLiteral("/opt/qz/QzHealthManager");
    QTest::newRow("blank") << QStringLiteral("/home/a b/My Apps/QzHealthManager");
    QTest::newRow("quote and dollar") << QStringLiteral("/home/x/\"odd\" $dir/QzHealthManager");
    QTest::newRow("backslash and percent") << QStringLiteral("/home/x/back\\slash 100%/QzHealthManager");
    QTest::newRow("chinese") << QStringLiteral("/home/用户/程序/QzHealthManager");
}

void TestAutostart::roundTripsAwkwardPaths()
{
    QFETCH(QString, program);
    CTestHome home;
    const CAutostart entry(QStringLiteral("QzHealthManager"));
    QVERIFY(entry.Write(program, {QStringLiteral("boot")}));
    QCOMPARE(entry.Command(), (QStringList{program, QStringLiteral("boot")}));
    QCOMPARE(entry.Location(), home.ConfigFolder() + QStringLiteral("/autostart/QzHealthManager.desktop"));
}

void TestAutostart::entryIsValidAndQuoted()
{
    CTestHome home;
    const CAutostart entry(QStringLiteral("QzHealthManager"));
    QVERIFY(entry.Write(QStringLiteral("/home/a b/QzHealthManager"), {QStringLiteral("boot")}));
    QFile file(entry.Location());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("\nExec=\"/home/a b/QzHealthManager\" boot\n"), text.constData());
    QVERIFY2(text.contains("\nTryExec=/home/a b/QzHealthManager\n"), text.constData());

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QProcess validate;
    validate.start(validator, {entry.Location()});
    QVERIFY(validate.waitForFinished());
    const QByteArray complaints = validate.readAllStandardOutput() + validate.readAllStandardError();
    QVERIFY2(validate.exitCode() == 0 && !complaints.contains("error"), complaints.constData());
}

void TestAutostart::desktopSwitchesCountAsNoEntry()
{
    CTestHome home;
    const CAutostart entry(QStringLiteral("QzHealthManager"));
    for (const QByteArray& disabling : {QByteArray("Hidden=true"), QByteArray("X-GNOME-Autostart-enabled=false")}) {
        QVERIFY(entry.Write(QStringLiteral("/opt/qz/QzHealthManager"), {QStringLiteral("boot")}));
        QFile file(entry.Location());
        QVERIFY(file.open(QIODevice::Append));
        file.write(disabling + '\n');
        file.close();
        QVERIFY2(entry.Command().isEmpty(), disabling.constData());
    }
    // Keys of another group never count.
    QFile other(entry.Location());
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("[Desktop Action x]\nExec=/bin/true\n");
    other.close();
    QVERIFY(entry.Command().isEmpty());
}

void TestAutostart::removeLeavesNothing()
{
    CTestHome home;
    const CAutostart entry(QStringLiteral("QzHealthManager"));
    QVERIFY(entry.Remove());
    QVERIFY(entry.Write(QStringLiteral("/opt/qz/QzHealthManager"), {QStringLiteral("boot")}));
    QVERIFY(QFile::exists(entry.Location()));
    QVERIFY(entry.Remove());
    QVERIFY(!QFile::exists(entry.Location()));
    QVERIFY(entry.Command().isEmpty());
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"

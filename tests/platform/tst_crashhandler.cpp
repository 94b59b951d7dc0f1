// Crashes a small program for real, by a bad pointer and by running out of stack, with a
// daylight saving change between the start and the crash.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A zone on UTC that moves one hour ahead at `change`: from midnight of that day (summer time)
// until the change it keeps standard time.
QString ZoneChangingAt(const QDateTime& change)
{
    const QDateTime utc = change.toUTC();
    return QStringLiteral("STD0SUM-1,%1/%2,%1/0")
        .arg(utc.date().dayOfYear() - 1)
        .arg(utc.time().toString(QStringLiteral("hh:mm:ss")));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}

class TestCrashHandler : public QObject
{
    Q_OBJECT
private slots:
    void crashWritesDumpAndStartsHelper_data();
    void crashWritesDumpAndStartsHelper();
};

void TestCrashHandler::crashWritesDumpAndStartsHelper_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("address"); // empty: any but zero
    QTest::newRow("bad pointer") << QStringLiteral("fault") << QByteArray("10");
    QTest::newRow("stack overflow") << QStringLiteral("overflow") << QByteArray();
}

void TestCrashHandler::crashWritesDumpAndStartsHelper()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, address);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString record = folder.filePath(QStringLiteral("record"));
    const QDateTime change = QDateTime::currentDateTimeUtc().addMSecs(2000);

    QProcess target;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), ZoneChangingAt(change));
    target.setProcessEnvironment(environment);
    target.setWorkingDirectory(folder.path());
    target.start(QStringLiteral(QZ_CRASH_TARGET), {mode, record});
    QVERIFY(target.waitForReadyRead(5000));
    QCOMPARE(target.readLine().trimmed(), QByteArray("ready"));

    // The clocks go forward while the program runs; it crashes after that.
    QTest::qWait(qMax<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(change)) + 300);
    const QDateTime crashed = QDateTime::currentDateTimeUtc();
    target.write("crash\n");
    QVERIFY(target.waitForFinished(10000));
    QCOMPARE(target.exitStatus(), QProcess::CrashExit);

    const QStringList dumps = QDir(folder.path()).entryList({QStringLiteral("*.dmp")}, QDir::Files);
    QCOMPARE(dumps.size(), 1);
    static const QRegularExpression namePattern(QStringLiteral("^(\\d{2})时(\\d{2})分(\\d{2})秒(\\d{3})\\.dmp$"));
    const QRegularExpressionMatch name = namePattern.match(dumps.first());
    QVERIFY2(name.hasMatch(), qPrintable(dumps.first()));
    const QTime named(name.captured(1).toInt(), name.captured(2).toInt(), name.captured(3).toInt(),
        name.captured(4).toInt());
    const QTime summerTime = crashed.addSecs(3600).time();
    const int apart = qAbs(summerTime.msecsTo(named));
    QVERIFY2(qMin(apart, 86400000 - apart) < 5000,
        qPrintable(QStringLiteral("%1 for a crash at %2 summer time").arg(dumps.first(), summerTime.toString())));

    const QByteArray content = ReadAll(folder.filePath(dumps.first()));
    QVERIFY2(content.startsWith("signal: b\naddress: 0x"), content.left(200).constData());
    const QByteArray dumped = content.mid(int(qstrlen("signal: b\naddress: 0x"))).split('\n').first();
    if (address.isEmpty())
        QVERIFY2(dumped != "0", content.left(200).constData());
    else
        QCOMPARE(dumped, address);

    // The helper gets the signal and the same address.
    QTRY_COMPARE_WITH_TIMEOUT(ReadAll(record), QByteArray("b\n" + dumped + '\n'), 5000);
}

QTEST_GUILESS_MAIN(TestCrashHandler)
#include "tst_crashhandler.moc"

// A process recording rests and screen time killed with SIGKILL at random moments, many times
// over. Whatever moment the kill lands on, the file must open whole, and of what was recorded
// only the minute at hand may be missing.
//
// The test starts this same executable with "record START" as its child: it ticks through one
// active minute a second at a time, records a rest, and prints the moment once the file holds
// both; then the next minute, an hour later.
#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <cstdio>

#include "CDrinkStatistics.h"
#include "CHistoryWriter.h"
#include "CRestHistory.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr int kRuns = 12;

int RunRecorder(qint64 start)
{
    CHistoryWriter writer;
    CRestHistory history(&writer);
    // An hour apart, so that the minutes cross midnights now and then.
    for (qint64 t = start;; t += 3600) {
        for (qint64 second = t - 60; second <= t; ++second)
            history.CountActive(second);
        CClock::Set(t);
        history.Record(stRestData::Popup, stRestData::Taken);
        if (!history.WaitUntilSaved(10000))
            return 1;
        std::printf("%lld\n", static_cast<long long>(t));
        std::fflush(stdout);
    }
}
}

class TestRestCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedWhileRecording()
    {
        CTestHome home;
        qint64 next = QDateTime(QDate(2026, 11, 20), QTime(22, 0)).toSecsSinceEpoch();
        QSet<qint64> printedMoments;
        QRandomGenerator random(20261208);
        for (int run = 0; run < kRuns; ++run) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("record"), QString::number(next)});
            QVERIFY(child.waitForStarted());
            const int wanted = 1 + int(random.bounded(6));
            QByteArray printed;
            while (printed.count('\n') < wanted) {
                QVERIFY2(child.waitForReadyRead(10000), "the recorder stopped printing");
                printed += child.readAllStandardOutput();
            }
            QThread::usleep(random.bounded(3000));
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            printed += child.readAllStandardOutput();
            const QList<QByteArray> lines = printed.left(printed.lastIndexOf('\n')).split('\n');
            for (const QByteArray& line : lines)
                printedMoments.insert(line.toLongLong());
            // The minute after the last printed one may or may not have been stored.
            next = lines.last().toLongLong() + 2 * 3600;
        }

        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        raw.setDatabaseName(home.DataFolder() + QStringLiteral("/tst_restcrash/HealthConfig.db"));
        QVERIFY(raw.open());
        {
            QSqlQuery query(raw);
            QVERIFY(query.exec(QStringLiteral("pragma integrity_check")) && query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));

            QMap<qint64, int> restsByDay;
            QSet<qint64> stored;
            QVERIFY(query.exec(QStringLiteral("select time, kind, outcome from rests")));
            while (query.next()) {
                const qint64 t = query.value(0).toLongLong();
                QVERIFY2(!stored.contains(t), "a rest was stored twice");
                stored.insert(t);
                ++restsByDay[CDrinkStatistics::DayKey(t)];
                QCOMPARE(query.value(2).toInt(), int(stRestData::Taken));
            }
            // Everything reported as stored is there; at most the one at hand of each run more.
            for (qint64 t : qAsConst(printedMoments))
                QVERIFY2(stored.contains(t), qPrintable(QStringLiteral("rest at %1 is missing").arg(t)));
            QVERIFY(stored.size() - printedMoments.size() <= kRuns);

            QMap<qint64, int> printedByDay;
            for (qint64 t : qAsConst(printedMoments))
                ++printedByDay[CDrinkStatistics::DayKey(t)];
            QVERIFY(printedByDay.size() > 1);
            QVERIFY(query.exec(QStringLiteral("select date, minutes from screentime")));
            int extraMinutes = 0;
            QMap<qint64, int> minutesByDay;
            while (query.next())
                minutesByDay.insert(query.value(0).toLongLong(), query.value(1).toInt());
            for (auto day = printedByDay.cbegin(); day != printedByDay.cend(); ++day)
                QVERIFY(minutesByDay.value(day.key()) >= day.value());
            for (auto day = minutesByDay.cbegin(); day != minutesByDay.cend(); ++day) {
                // A minute is written before its rest: a kill between the two leaves the minute.
                QVERIFY(day.value() >= restsByDay.value(day.key()));
                extraMinutes += day.value() - printedByDay.value(day.key());
            }
            QVERIFY(extraMinutes <= kRuns);
        }
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "record") == 0)
        return RunRecorder(QByteArray(argv[2]).toLongLong());
    TestRestCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_restcrash.moc"

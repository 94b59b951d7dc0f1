// The drink record store on a real file in a private data folder.
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

#include "CHealthDatabase.h"
#include "EasyQtSql/DBException.h"
#include "EasyQtSql/Transaction.h"
#include "HistoryColumn.h"
#include "TestHome.h"

namespace {
const QString kAllDays = QStringLiteral("select date, totaldrinknum, averdrinknum, totaltimes,passed from days order by date asc");
const QString kAllWeeks = QStringLiteral("select week, totaldrinknum,totalpassdays, averdrinknum, passed, totaldays from weeks order by week asc");
const QString kAllMonths = QStringLiteral("select month, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays from months order by month asc");
const QString kAllTotals = QStringLiteral("select totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum from totals");

int RowCount(const QString& path, const QString& table)
{
    return HistoryColumn(path, QStringLiteral("select count(*) from ") + table).value(0).toInt();
}
}

class TestHealthDatabase : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<CTestHome>();
        // The store makes the data folder itself.
        QDir(m_home->DataFolder()).removeRecursively();
    }
    void cleanup()
    {
        m_home.reset();
    }

    void freshFolderGetsFiveEmptyTables()
    {
        CHealthDatabase db;
        QVERIFY(db.Init());
        QVERIFY(db.IsOpen());
        QVERIFY(db.FileName().startsWith(m_home->DataFolder() + QStringLiteral("/")));
        QVERIFY(db.FileName().endsWith(QStringLiteral("/HealthConfig.db")));

        QVector<stDaysData> days;
        QVector<stWeeksData> weeks;
        QVector<stMonthsData> months;
        QVector<stTotalsData> totals;
        QVERIFY(db.SelectDays(days, kAllDays));
        QVERIFY(db.SelectWeeks(weeks, kAllWeeks));
        QVERIFY(db.SelectMonths(months, kAllMonths));
        QVERIFY(db.SelectTotals(totals, kAllTotals));
        QVERIFY(days.isEmpty() && weeks.isEmpty() && months.isEmpty() && totals.isEmpty());

        // SQLite keeps the statement text; it only folds the blanks after the first two words
        // and drops IF NOT EXISTS.
        const QStringList expected{
            QStringLiteral("CREATE TABLE times(date varchar(255), drinknum int, PRIMARY KEY(date))"),
            QStringLiteral("CREATE TABLE days(date varchar(255), totaldrinknum int, averdrinknum int, totaltimes int, passed int, PRIMARY KEY(date))"),
            QStringLiteral("CREATE TABLE weeks(week int, totaldrinknum int, totalpassdays int, averdrinknum int, passed int, totaldays int, PRIMARY KEY(week))"),
            QStringLiteral("CREATE TABLE months(month int, totaldrinknum int, totalpassdays int, averdrinknum int, passed int, totaldays int, PRIMARY KEY(month))"),
            QStringLiteral("CREATE TABLE totals(totalsno int,totaldays int, totaldrinknum int, totalpassdays int, averdirnknum int,  PRIMARY KEY(totalsno))"),
        };
        QCOMPARE(HistoryColumn(db.FileName(), QStringLiteral("select sql from sqlite_master where type='table' order by rowid")),
            expected);
    }

    void initTwiceChangesNothing()
    {
        QString path;
        {
            CHealthDatabase db;
            db.Init();
            QVERIFY(db.Init());
            QVERIFY(db.ReplaceDays({{QStringLiteral("1796515200"), 300, 150, 2, 0}}));
            path = db.FileName();
        }
        const QStringList schema = HistoryColumn(path, QStringLiteral("select sql from sqlite_master"));
        CHealthDatabase db;
        QVERIFY(db.Init());
        QVector<stDaysData> days;
        QVERIFY(db.SelectDays(days, kAllDays));
        QCOMPARE(days.size(), 1);
        QCOMPARE(days.at(0).nTotalDrinkNum, 300);
        QCOMPARE(HistoryColumn(path, QStringLiteral("select sql from sqlite_master")), schema);
    }

    void replaceOverwritesItsKey()
    {
        CHealthDatabase db;
        db.Init();
        // Two drinks within one second: one row, the later amount.
        QVERIFY(db.ReplaceTimes({QStringLiteral("1796520000"), 150}));
        QVERIFY(db.ReplaceTimes({QStringLiteral("1796520000"), 400}));
        QVERIFY(db.ReplaceTimes({QStringLiteral("1796520001"), 100}));
        QCOMPARE(HistoryColumn(db.FileName(), QStringLiteral("select drinknum from times order by date")),
            (QStringList{QStringLiteral("400"), QStringLiteral("100")}));

        QVERIFY(db.ReplaceWeeks({{202648, 150, 0, 150, 1, 0}, {202649, 80, 1, 80, 1, 1}}));
        QVERIFY(db.ReplaceWeeks({{202648, 1550, 1, 1550, 1, 1}}));
        QVector<stWeeksData> weeks;
        QVERIFY(db.SelectWeeks(weeks, kAllWeeks));
        QCOMPARE(weeks.size(), 2);
        // Read back by position: key, total, pass days, average, passed, days.
        const stWeeksData& w = weeks.at(0);
        QCOMPARE((QList<int>{w.nWeek, w.nTotalDrinkNum, w.nTotalPassDay, w.nAverDrinkDay, w.nPassed, w.nTotalDays}),
            (QList<int>{202648, 1550, 1, 1550, 1, 1}));

        stMonthsData month;
        month.nMonth = 202612;
        month.nTotalDrinkNum = 900;
        month.nTotalPassDay = 2;
        month.nTotalDays = 3;
        month.nAverDrinkDay = 300;
        QVERIFY(db.ReplaceMonths({month}));
        QVector<stMonthsData> months;
        QVERIFY(db.SelectMonths(months, kAllMonths));
        const stMonthsData& m = months.value(0);
        QCOMPARE((QList<int>{m.nMonth, m.nTotalDrinkNum, m.nTotalPassDay, m.nAverDrinkDay, m.nPassed, m.nTotalDays}),
            (QList<int>{202612, 900, 2, 300, 0, 3}));
    }

    void totalsKeepOneRow()
    {
        CHealthDatabase db;
        db.Init();
        QVERIFY(db.ReplaceTotals({{1, 1, 150, 0, 150}}));
        QVERIFY(db.ReplaceTotals({{1, 2, 1850, 1, 925}}));
        QCOMPARE(RowCount(db.FileName(), QStringLiteral("totals")), 1);
        // Reads append to what the vector holds.
        QVector<stTotalsData> totals{{7, 7, 7, 7, 7}};
        QVERIFY(db.SelectTotals(totals, kAllTotals));
        QCOMPARE(totals.size(), 2);
        const stTotalsData& t = totals.at(1);
        QCOMPARE((QList<int>{t.nTotalsNo, t.nTotalDays, t.nTotalDrinkNum, t.nTotalPassDay, t.nAverDrink}),
            (QList<int>{1, 2, 1850, 1, 925}));
    }

    void closedStoreRefusesEverything()
    {
        // The data folder cannot be made: a plain file stands where its parent should be.
        QFile blocker(m_home->Path() + QStringLiteral("/blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8());

        CHealthDatabase db;
        QVERIFY(db.Init());
        QVERIFY(!db.IsOpen());
        QVector<stDaysData> days{{QStringLiteral("1796515200"), 150, 150, 1, 0}};
        QVERIFY(!db.SelectDays(days, kAllDays));
        QCOMPARE(days.size(), 1);
        QCOMPARE(days.at(0).nTotalDrinkNum, 150);
        QVERIFY(!db.ReplaceTimes({QStringLiteral("1796520000"), 150}));
        QVERIFY(!db.ReplaceDays(days));
        QVERIFY(!db.ReplaceTotals({{1, 1, 150, 0, 150}}));
        bool ran = false;
        QVERIFY(!db.WriteTogether([&] { return ran = true; }));
        QVERIFY(ran);
    }

    void writeTogetherIsAllOrNothing()
    {
        CHealthDatabase db;
        db.Init();
        const QString path = db.FileName();
        QVERIFY(db.WriteTogether([&] {
            return db.ReplaceTimes({QStringLiteral("100"), 150}) && db.ReplaceTotals({{1, 1, 150, 0, 150}});
        }));
        QCOMPARE(RowCount(path, QStringLiteral("times")), 1);

        // A write that fails inside the batch takes the successful ones with it.
        QString refused;
        QVERIFY(!db.WriteTogether([&] {
            bool stored = db.ReplaceTimes({QStringLiteral("200"), 300});
            stored &= db.ReplaceDays({{QStringLiteral("1796515200"), 300, 300, 1, 0}});
            try {
                EasyQtSql::Transaction broken;
                broken.Exec(QStringLiteral("replace into nowhere values (1)"));
            } catch (const EasyQtSql::DBException& e) {
                refused = e.Statement();
                stored = false;
            }
            return stored;
        }));
        QCOMPARE(refused, QStringLiteral("replace into nowhere values (1)"));
        QCOMPARE(RowCount(path, QStringLiteral("times")), 1);
        QCOMPARE(RowCount(path, QStringLiteral("days")), 0);

        // Inside a batch, a guard dropped without commit undoes only its own work.
        QVERIFY(db.WriteTogether([&] {
            {
                EasyQtSql::Transaction dropped;
                dropped.Exec(QStringLiteral("replace into times(date, drinknum) values ('6', 6)"));
            }
            return db.ReplaceTimes({QStringLiteral("300"), 50});
        }));
        QCOMPARE(HistoryColumn(path, QStringLiteral("select date from times order by date")),
            (QStringList{QStringLiteral("100"), QStringLiteral("300")}));
    }

    void failingSelectThrowsWithItsStatement()
    {
        CHealthDatabase db;
        db.Init();
        QVector<stDaysData> days;
        const QString sql = QStringLiteral("select date from nosuchtable");
        try {
            db.SelectDays(days, sql);
            QFAIL("a select on a missing table must throw");
        } catch (const EasyQtSql::DBException& e) {
            QCOMPARE(e.Statement(), sql);
            QVERIFY(QByteArray(e.what()).contains("nosuchtable"));
        }
        QVERIFY(days.isEmpty());
        // The failed read's guard has ended its transaction: a new one can begin.
        QVERIFY(db.ReplaceTimes({QStringLiteral("1"), 1}));
    }

private:
    std::unique_ptr<CTestHome> m_home;
};

QTEST_GUILESS_MAIN(TestHealthDatabase)
#include "tst_healthdatabase.moc"

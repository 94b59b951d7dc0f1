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
#include "TestHome.h"

namespace {
const QString kAllDays = QStringLiteral("select date, totaldrinknum, averdrinknum, totaltimes,passed from days order by date asc");
const QString kAllWeeks = QStringLiteral("select week, totaldrinknum,totalpassdays, averdrinknum, passed, totaldays from weeks order by week asc");
const QString kAllMonths = QStringLiteral("select month, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays from months order by month asc");
const QString kAllTotals = QStringLiteral("select totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum from totals");

// Reads the file behind the store's back, through a connection of its own.
class CRawFile
{
public:
    explicit CRawFile(const QString& path)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        m_db.setDatabaseName(path);
        m_db.open();
    }
    ~CRawFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }
    QStringList Column(const QString& sql) const
    {
        QStringList values;
        QSqlQuery query(m_db);
        query.exec(sql);
        while (query.next())
            values.append(query.value(0).toString());
        return values;
    }

private:
    QSqlDatabase m_db;
};

int RowCount(const QString& path, const QString& table)
{
    return CRawFile(path).Column(QStringLiteral("select count(*) from ") + table).value(0).toInt();
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
        QVERIFY(QFile::exists(db.FileName()));

        QVector<stDaysData> days;
        QVector<stWeeksData> weeks;
        QVector<stMonthsData> months;
        QVector<stTotalsData> totals;
        QVERIFY(db.SelectDays(days, kAllDays));
        QVERIFY(db.SelectWeeks(weeks, kAllWeeks));
        QVERIFY(db.SelectMonths(months, kAllMonths));
        QVERIFY(db.SelectTotals(totals, kAllTotals));
        QVERIFY(days.isEmpty() && weeks.isEmpty() && months.isEmpty() && totals.isEmpty());
    }

    void schemaIsStoredAsWritten()
    {
        QString path;
        {
            CHealthDatabase db;
            db.Init();
            path = db.FileName();
        }
        // SQLite keeps the statement text; it only folds the blanks after the first two words
        // and drops IF NOT EXISTS.
        const QStringList schema = CRawFile(path).Column(QStringLiteral("select sql from sqlite_master where type='table' order by rowid"));
        const QStringList expected{
            QStringLiteral("CREATE TABLE times(date varchar(255), drinknum int, PRIMARY KEY(date))"),
            QStringLiteral("CREATE TABLE days(date varchar(255), totaldrinknum int, averdrinknum int, totaltimes int, passed int, PRIMARY KEY(date))"),
            QStringLiteral("CREATE TABLE weeks(week int, totaldrinknum int, totalpassdays int, averdrinknum int, passed int, totaldays int, PRIMARY KEY(week))"),
            QStringLiteral("CREATE TABLE months(month int, totaldrinknum int, totalpassdays int, averdrinknum int, passed int, totaldays int, PRIMARY KEY(month))"),
            QStringLiteral("CREATE TABLE totals(totalsno int,totaldays int, totaldrinknum int, totalpassdays int, averdirnknum int,  PRIMARY KEY(totalsno))"),
        };
        QCOMPARE(schema, expected);
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
        const QStringList schemaBefore = CRawFile(path).Column(QStringLiteral("select sql from sqlite_master"));
        {
            CHealthDatabase db;
            QVERIFY(db.Init());
            QVector<stDaysData> days;
            QVERIFY(db.SelectDays(days, kAllDays));
            QCOMPARE(days.size(), 1);
            QCOMPARE(days.at(0).nTotalDrinkNum, 300);
        }
        QCOMPARE(CRawFile(path).Column(QStringLiteral("select sql from sqlite_master")), schemaBefore);
    }

    void replaceOverwritesItsKey()
    {
        CHealthDatabase db;
        db.Init();
        QVERIFY(db.ReplaceTimes({QStringLiteral("1796520000"), 150}));
        QVERIFY(db.ReplaceTimes({QStringLiteral("1796520000"), 400}));
        QVERIFY(db.ReplaceTimes({QStringLiteral("1796520001"), 100}));
        const QStringList amounts = CRawFile(db.FileName()).Column(QStringLiteral("select drinknum from times order by date"));
        QCOMPARE(amounts, (QStringList{QStringLiteral("400"), QStringLiteral("100")}));

        QVERIFY(db.ReplaceWeeks({{202648, 150, 0, 150, 1, 0}, {202649, 80, 1, 80, 1, 1}}));
        QVERIFY(db.ReplaceWeeks({{202648, 1550, 1, 1550, 1, 1}}));
        QVector<stWeeksData> weeks;
        QVERIFY(db.SelectWeeks(weeks, kAllWeeks));
        QCOMPARE(weeks.size(), 2);
        // Read back by position: key, total, pass days, average, passed, days.
        QCOMPARE(weeks.at(0).nWeek, 202648);
        QCOMPARE(weeks.at(0).nTotalDrinkNum, 1550);
        QCOMPARE(weeks.at(0).nTotalPassDay, 1);
        QCOMPARE(weeks.at(0).nAverDrinkDay, 1550);
        QCOMPARE(weeks.at(0).nTotalDays, 1);
        QCOMPARE(weeks.at(0).nPassed, 1);

        stMonthsData month;
        month.nMonth = 202612;
        month.nTotalDrinkNum = 900;
        month.nTotalPassDay = 2;
        month.nTotalDays = 3;
        month.nAverDrinkDay = 300;
        month.nPassed = 1;
        QVERIFY(db.ReplaceMonths({month}));
        month.nTotalDrinkNum = 1200;
        QVERIFY(db.ReplaceMonths({month}));
        QVector<stMonthsData> months;
        QVERIFY(db.SelectMonths(months, kAllMonths));
        QCOMPARE(months.size(), 1);
        QCOMPARE(months.at(0).nTotalDrinkNum, 1200);
        QCOMPARE(months.at(0).nTotalPassDay, 2);
        QCOMPARE(months.at(0).nAverDrinkDay, 300);
        QCOMPARE(months.at(0).nTotalDays, 3);
    }

    void totalsKeepOneRow()
    {
        CHealthDatabase db;
        db.Init();
        QVERIFY(db.ReplaceTotals({{1, 1, 150, 0, 150}}));
        QVERIFY(db.ReplaceTotals({{1, 2, 1850, 1, 925}}));
        QCOMPARE(RowCount(db.FileName(), QStringLiteral("totals")), 1);
        QVector<stTotalsData> totals;
        QVERIFY(db.SelectTotals(totals, kAllTotals));
        QCOMPARE(totals.size(), 1);
        QCOMPARE(totals.at(0).nTotalsNo, 1);
        QCOMPARE(totals.at(0).nTotalDays, 2);
        QCOMPARE(totals.at(0).nTotalDrinkNum, 1850);
        QCOMPARE(totals.at(0).nTotalPassDay, 1);
        QCOMPARE(totals.at(0).nAverDrink, 925);
    }

    void readsAppend()
    {
        CHealthDatabase db;
        db.Init();
        db.ReplaceDays({{QStringLiteral("1796515200"), 150, 150, 1, 0}});
        QVector<stDaysData> days{{QStringLiteral("1"), 1, 1, 1, 1}};
        QVERIFY(db.SelectDays(days, kAllDays));
        QCOMPARE(days.size(), 2);
        QCOMPARE(days.at(0).strDate, QStringLiteral("1"));
        QCOMPARE(days.at(1).strDate, QStringLiteral("1796515200"));
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
        const QVector<stDaysData> before{{QStringLiteral("1796515200"), 150, 150, 1, 0}};
        QVector<stDaysData> days = before;
        QVERIFY(!db.SelectDays(days, kAllDays));
        QCOMPARE(days.size(), 1);
        QCOMPARE(days.at(0).strDate, before.at(0).strDate);
        QVector<stTotalsData> totals;
        QVERIFY(!db.SelectTotals(totals, kAllTotals));
        QVERIFY(totals.isEmpty());
        QVERIFY(!db.ReplaceTimes({QStringLiteral("1796520000"), 150}));
        QVERIFY(!db.ReplaceDays(before));
        QVERIFY(!db.ReplaceTotals({{1, 1, 150, 0, 150}}));
        bool ran = false;
        QVERIFY(!db.WriteTogether([&] { ran = true; return true; }));
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

        // The store stays usable after a rolled back batch.
        QVERIFY(db.ReplaceTimes({QStringLiteral("300"), 50}));
        QCOMPARE(RowCount(path, QStringLiteral("times")), 2);
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
            QVERIFY(e.Error().isValid());
            QVERIFY(QByteArray(e.what()).contains("nosuchtable"));
        }
        QVERIFY(days.isEmpty());
        // The guard of the failed read has ended its transaction: a new one can begin.
        QVERIFY(db.ReplaceTimes({QStringLiteral("1"), 1}));
    }

    void innerCommitWaitsForTheOuter()
    {
        CHealthDatabase db;
        db.Init();
        {
            EasyQtSql::Transaction outer;
            {
                EasyQtSql::Transaction inner;
                inner.Exec(QStringLiteral("replace into times(date, drinknum) values ('5', 5)"));
                QVERIFY(inner.Commit());
            }
            {
                EasyQtSql::Transaction dropped;
                dropped.Exec(QStringLiteral("replace into times(date, drinknum) values ('6', 6)"));
            }
            outer.Exec(QStringLiteral("replace into times(date, drinknum) values ('7', 7)"));
        }
        QCOMPARE(RowCount(db.FileName(), QStringLiteral("times")), 0);
        {
            EasyQtSql::Transaction outer;
            {
                EasyQtSql::Transaction inner;
                inner.Exec(QStringLiteral("replace into times(date, drinknum) values ('5', 5)"));
                inner.Commit();
            }
            {
                EasyQtSql::Transaction dropped;
                dropped.Exec(QStringLiteral("replace into times(date, drinknum) values ('6', 6)"));
            }
            QVERIFY(outer.Commit());
        }
        QCOMPARE(CRawFile(db.FileName()).Column(QStringLiteral("select date from times")), QStringList{QStringLiteral("5")});
    }

private:
    std::unique_ptr<CTestHome> m_home;
};

QTEST_GUILESS_MAIN(TestHealthDatabase)
#include "tst_healthdatabase.moc"

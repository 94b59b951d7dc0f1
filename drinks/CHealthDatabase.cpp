#include "CHealthDatabase.h"

#include <memory>

#include <QDir>
#include <QSqlDatabase>

#include "core/CSystemUtil.h"
#include "EasyQtSql/DBException.h"
#include "EasyQtSql/Transaction.h"

namespace {
const QString kDriver = QStringLiteral("QSQLITE");
const QString kFileName = QStringLiteral("/HealthConfig.db");

// Existing files were made by these very statements; they are kept as they stand.
const char* const kCreateStatements[] = {
    "CREATE TABLE  IF NOT EXISTS times(date varchar(255), drinknum int, PRIMARY KEY(date))",
    "CREATE TABLE  IF NOT EXISTS days(date varchar(255), totaldrinknum int, averdrinknum int, totaltimes int, passed int, PRIMARY KEY(date))",
    "CREATE TABLE  IF NOT EXISTS weeks(week int, totaldrinknum int, totalpassdays int, averdrinknum int, passed int, totaldays int, PRIMARY KEY(week))",
    "CREATE TABLE  IF NOT EXISTS months(month int, totaldrinknum int, totalpassdays int, averdrinknum int, passed int, totaldays int, PRIMARY KEY(month))",
    "CREATE TABLE  IF NOT EXISTS totals(totalsno int,totaldays int, totaldrinknum int, totalpassdays int, averdirnknum int,  PRIMARY KEY(totalsno))",
};

const char* const kReplaceTimes = "replace into times(date, drinknum)  \t\t\tvalues ('%1', %2);";
const char* const kReplaceDays = "replace into days(date, totaldrinknum, averdrinknum, totaltimes, passed)  \t\t\t\tvalues ('%1', %2, %3, %4, %5);";
const char* const kReplaceWeeks = "replace into weeks(week, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays)  \t\t\t\tvalues (%1, %2, %3, %4, %5, %6);";
const char* const kReplaceMonths = "replace into months(month, totaldrinknum, totalpassdays, averdrinknum, passed, totaldays)  \t\t\t\tvalues (%1, %2, %3, %4, %5, %6);";
const char* const kReplaceTotals = "replace into totals(totalsno, totaldays, totaldrinknum, totalpassdays, averdirnknum)  \t\t\t\tvalues (%1, %2, %3, %4, %5);";

// The columns are read by their place in the select list the caller wrote.
template <typename Row, typename Build>
bool Read(const QSqlDatabase& db, QVector<Row>& rows, const QString& sql, Build build)
{
    if (!db.isOpen())
        return false;
    // Never committed: a read changes nothing, and the guard ends the transaction.
    EasyQtSql::Transaction guard(db);
    EasyQtSql::QueryResult result = guard.Select(sql);
    while (result.Next())
        rows.append(build(result));
    return true;
}

template <typename Row, typename Statement>
bool Write(const QSqlDatabase& db, const QVector<Row>& rows, Statement statement)
{
    if (!db.isOpen())
        return false;
    try {
        EasyQtSql::Transaction guard(db);
        for (const Row& row : rows)
            guard.Exec(statement(row));
        return guard.Commit();
    } catch (const EasyQtSql::DBException&) {
        return false;
    }
}
}

CHealthDatabase::CHealthDatabase(const QString& connectionName, int busyWaitMs)
    : m_connectionName(connectionName)
    , m_busyWaitMs(busyWaitMs)
{
}

CHealthDatabase::~CHealthDatabase()
{
    if (!m_db.isValid())
        return;
    const QString name = m_db.connectionName();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

bool CHealthDatabase::Init()
{
    OpenDatabase();
    CreateTables();
    return true;
}

bool CHealthDatabase::OpenDatabase()
{
    if (m_db.isOpen())
        return true;
    if (!QSqlDatabase::drivers().contains(kDriver))
        return false;
    const QString folder = CSystemUtil::DataFolder();
    // Without a home there is no data folder; never fall back to a file in the root folder.
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(kDriver, m_connectionName);
    m_db.setDatabaseName(folder + kFileName);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyWaitMs));
    return m_db.open();
}

bool CHealthDatabase::CreateTables()
{
    if (!m_db.isOpen())
        return false;
    try {
        EasyQtSql::Transaction guard(m_db);
        for (const char* statement : kCreateStatements)
            guard.Exec(QLatin1String(statement));
        return guard.Commit();
    } catch (const EasyQtSql::DBException&) {
        return false;
    }
}

bool CHealthDatabase::IsOpen() const
{
    return m_db.isOpen();
}

QString CHealthDatabase::FileName() const
{
    return m_db.databaseName();
}

void CHealthDatabase::ReleaseCache()
{
    if (m_db.isOpen())
        QSqlQuery(m_db).exec(QStringLiteral("PRAGMA shrink_memory"));
}

bool CHealthDatabase::SelectTimes(QVector<stTimesData>& rows, const QString& sql)
{
    return Read(m_db, rows, sql, [](const EasyQtSql::QueryResult& r) { return stTimesData{r.ToString(0), r.ToInt(1)}; });
}

bool CHealthDatabase::SelectDays(QVector<stDaysData>& rows, const QString& sql)
{
    return Read(m_db, rows, sql, [](const EasyQtSql::QueryResult& r) {
        return stDaysData{r.ToString(0), r.ToInt(1), r.ToInt(2), r.ToInt(3), r.ToInt(4)};
    });
}

bool CHealthDatabase::SelectWeeks(QVector<stWeeksData>& rows, const QString& sql)
{
    return Read(m_db, rows, sql, [](const EasyQtSql::QueryResult& r) {
        stWeeksData row;
        row.nWeek = r.ToInt(0);
        row.nTotalDrinkNum = r.ToInt(1);
        row.nTotalPassDay = r.ToInt(2);
        row.nAverDrinkDay = r.ToInt(3);
        row.nPassed = r.ToInt(4);
        row.nTotalDays = r.ToInt(5);
        return row;
    });
}

bool CHealthDatabase::SelectMonths(QVector<stMonthsData>& rows, const QString& sql)
{
    return Read(m_db, rows, sql, [](const EasyQtSql::QueryResult& r) {
        stMonthsData row;
        row.nMonth = r.ToInt(0);
        row.nTotalDrinkNum = r.ToInt(1);
        row.nTotalPassDay = r.ToInt(2);
        row.nAverDrinkDay = r.ToInt(3);
        row.nPassed = r.ToInt(4);
        row.nTotalDays = r.ToInt(5);
        return row;
    });
}

bool CHealthDatabase::SelectTotals(QVector<stTotalsData>& rows, const QString& sql)
{
    return Read(m_db, rows, sql, [](const EasyQtSql::QueryResult& r) {
        return stTotalsData{r.ToInt(0), r.ToInt(1), r.ToInt(2), r.ToInt(3), r.ToInt(4)};
    });
}

bool CHealthDatabase::ReplaceTimes(const stTimesData& row)
{
    return Write(m_db, QVector<stTimesData>{row}, [](const stTimesData& r) {
        return QString::fromLatin1(kReplaceTimes).arg(r.strDate).arg(r.nDrinkNum);
    });
}

bool CHealthDatabase::ReplaceDays(const QVector<stDaysData>& rows)
{
    return Write(m_db, rows, [](const stDaysData& r) {
        return QString::fromLatin1(kReplaceDays)
            .arg(r.strDate)
            .arg(r.nTotalDrinkNum)
            .arg(r.nAverDrinkNum)
            .arg(r.nTotalTimes)
            .arg(r.nPassed);
    });
}

bool CHealthDatabase::ReplaceWeeks(const QVector<stWeeksData>& rows)
{
    return Write(m_db, rows, [](const stWeeksData& r) {
        return QString::fromLatin1(kReplaceWeeks)
            .arg(r.nWeek)
            .arg(r.nTotalDrinkNum)
            .arg(r.nTotalPassDay)
            .arg(r.nAverDrinkDay)
            .arg(r.nPassed)
            .arg(r.nTotalDays);
    });
}

bool CHealthDatabase::ReplaceMonths(const QVector<stMonthsData>& rows)
{
    return Write(m_db, rows, [](const stMonthsData& r) {
        return QString::fromLatin1(kReplaceMonths)
            .arg(r.nMonth)
            .arg(r.nTotalDrinkNum)
            .arg(r.nTotalPassDay)
            .arg(r.nAverDrinkDay)
            .arg(r.nPassed)
            .arg(r.nTotalDays);
    });
}

bool CHealthDatabase::ReplaceTotals(const QVector<stTotalsData>& rows)
{
    return Write(m_db, rows, [](const stTotalsData& r) {
        return QString::fromLatin1(kReplaceTotals)
            .arg(r.nTotalsNo)
            .arg(r.nTotalDays)
            .arg(r.nTotalDrinkNum)
            .arg(r.nTotalPassDay)
            .arg(r.nAverDrink);
    });
}

bool CHealthDatabase::WriteTogether(const std::function<bool()>& writes)
{
    std::unique_ptr<EasyQtSql::Transaction> guard;
    if (m_db.isOpen()) {
        try {
            guard = std::make_unique<EasyQtSql::Transaction>(m_db);
        } catch (const EasyQtSql::DBException&) {
            guard.reset();
        }
    }
    if (!guard) {
        // Without the transaction each write would commit on its own, which is exactly the
        // disagreement between tables this call exists to prevent: run them as on a closed store.
        struct Reconnect
        {
            QSqlDatabase& db;
            const QSqlDatabase saved;
            ~Reconnect() { db = saved; }
        } reconnect{m_db, m_db};
        m_db = QSqlDatabase();
        writes();
        return false;
    }
    if (!writes())
        return false;
    try {
        return guard->Commit();
    } catch (const EasyQtSql::DBException&) {
        return false;
    }
}

#include "CDrinkHistoryExport.h"

#include <QDateTime>
#include <QDir>

#include "CDrinkStatistics.h"
#include "CHealthDatabase.h"
#include "EasyQtSql/DBException.h"
#include "wholefile.h"

namespace {
// Keys are seconds in decimal text: ordered as numbers, not as text.
const char* const kSelectAllTimes = "select date, drinknum from times order by cast(date as integer) asc";
const char* const kSelectAllDays =
    "select date, totaldrinknum, averdrinknum, totaltimes, passed from days order by cast(date as integer) asc";

QString Field(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r'))
        && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void AppendRecord(QString& out, const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields)
        quoted.append(Field(field));
    out += quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
}
}

CDrinkHistoryExport::CDrinkHistoryExport(CHealthDatabase* store)
    : m_store(store)
{
}

bool CDrinkHistoryExport::Write(const QString& fileName)
{
    m_error.clear();
    QVector<stTimesData> drinks;
    QVector<stDaysData> days;
    bool read = false;
    try {
        read = m_store->SelectTimes(drinks, QString::fromLatin1(kSelectAllTimes))
            && m_store->SelectDays(days, QString::fromLatin1(kSelectAllDays));
    } catch (const EasyQtSql::DBException&) {
        read = false;
    }
    if (!read) {
        m_error = tr("无法读取喝水记录。");
        return false;
    }

    QString reason;
    if (!WholeFile::Write(fileName, Csv(drinks, days), &reason)) {
        if (reason.isEmpty())
            reason = tr("只写下了一部分，磁盘可能已满");
        m_error = tr("无法写入 %1：%2").arg(QDir::toNativeSeparators(fileName), reason);
        return false;
    }
    return true;
}

QString CDrinkHistoryExport::ErrorString() const
{
    return m_error;
}

QByteArray CDrinkHistoryExport::Csv(const QVector<stTimesData>& drinks, const QVector<stDaysData>& days)
{
    // The byte-order mark tells spreadsheet programs the file is UTF-8; without it some take the
    // Chinese headers for the system's own code page.
    QString out = QChar(QChar::ByteOrderMark);
    AppendRecord(out, {tr("日期"), tr("时间"), tr("毫升")});
    for (const stTimesData& drink : drinks) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(drink.strDate.toLongLong());
        AppendRecord(out, {moment.date().toString(Qt::ISODate), moment.time().toString(Qt::ISODate),
                              QString::number(drink.nDrinkNum)});
    }
    out += QLatin1String("\r\n");
    AppendRecord(out, {tr("日期"), tr("总量(毫升)"), tr("喝水次数"), tr("是否达标")});
    for (const stDaysData& day : days) {
        AppendRecord(out, {CDrinkStatistics::DateOfDay(day.strDate.toLongLong()).toString(Qt::ISODate),
                              QString::number(day.nTotalDrinkNum), QString::number(day.nTotalTimes),
                              day.nPassed != 0 ? tr("是") : tr("否")});
    }
    return out.toUtf8();
}

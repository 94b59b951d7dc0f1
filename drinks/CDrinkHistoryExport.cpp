#include "CDrinkHistoryExport.h"

#include <QDateTime>
#include <QDir>
#include <QMap>

#include "CDrinkStatistics.h"
#include "CHealthDatabase.h"
#include "EasyQtSql/DBException.h"
#include "wholefile.h"

namespace {
// Keys are seconds in decimal text: ordered as numbers, not as text.
const char* const kSelectAllTimes = "select date, drinknum from times order by cast(date as integer) asc";
const char* const kSelectAllDays =
    "select date, totaldrinknum, averdrinknum, totaltimes, passed from days order by cast(date as integer) asc";
const char* const kSelectAllScreenTime = "select date, minutes from screentime order by cast(date as integer) asc";
const char* const kSelectAllRests = "select time, kind, outcome, minutes, reason from rests order by time asc, rowid asc";

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
    QVector<stScreenTimeData> screenTime;
    QVector<stRestData> rests;
    bool read = false;
    try {
        read = m_store->SelectTimes(drinks, QString::fromLatin1(kSelectAllTimes))
            && m_store->SelectDays(days, QString::fromLatin1(kSelectAllDays))
            && m_store->SelectScreenTime(screenTime, QString::fromLatin1(kSelectAllScreenTime))
            && m_store->SelectRests(rests, QString::fromLatin1(kSelectAllRests));
    } catch (const EasyQtSql::DBException&) {
        read = false;
    }
    if (!read) {
        m_error = tr("无法读取喝水记录。");
        return false;
    }

    QString reason;
    if (!WholeFile::Write(fileName, Csv(drinks, days, screenTime, rests), &reason)) {
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

QString CDrinkHistoryExport::KindText(int kind)
{
    return kind == stRestData::FullScreen ? tr("全屏") : tr("弹窗");
}

QString CDrinkHistoryExport::OutcomeText(int outcome)
{
    switch (outcome) {
    case stRestData::Taken:
        return tr("休息完成");
    case stRestData::EndedEarly:
        return tr("提前结束");
    case stRestData::Postponed:
        return tr("推迟");
    case stRestData::Skipped:
        return tr("跳过");
    case stRestData::Held:
        return tr("暂缓");
    case stRestData::Away:
        return tr("离开");
    default:
        return QString::number(outcome);
    }
}

QString CDrinkHistoryExport::ReasonText(const QString& reason)
{
    if (reason == QLatin1String("fullscreen"))
        return tr("全屏程序");
    if (reason == QLatin1String("program"))
        return tr("所选程序");
    if (reason == QLatin1String("meeting"))
        return tr("会议");
    if (reason == QLatin1String("dnd"))
        return tr("勿扰模式");
    if (reason == QLatin1String("awake"))
        return tr("屏幕保持常亮");
    if (reason == QLatin1String("away"))
        return tr("离开电脑");
    if (reason == QLatin1String("paused"))
        return tr("暂停提醒");
    return reason;
}

QByteArray CDrinkHistoryExport::Csv(const QVector<stTimesData>& drinks, const QVector<stDaysData>& days,
    const QVector<stScreenTimeData>& screenTime, const QVector<stRestData>& rests)
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
    AppendRecord(out, {tr("日期"), tr("总量(毫升)"), tr("喝水次数"), tr("是否达标"), tr("屏幕时间(分钟)")});
    // Day key → the day's fields; the map keeps the days in order.
    QMap<qint64, QStringList> rows;
    for (const stDaysData& day : days) {
        rows[day.strDate.toLongLong()] = QStringList{QString::number(day.nTotalDrinkNum),
            QString::number(day.nTotalTimes), day.nPassed != 0 ? tr("是") : tr("否"), QStringLiteral("0")};
    }
    for (const stScreenTimeData& day : screenTime) {
        QStringList& row = rows[day.strDate.toLongLong()];
        if (row.isEmpty())
            row = QStringList{QString(), QString(), QString(), QString()};
        row[3] = QString::number(day.nMinutes);
    }
    for (auto row = rows.cbegin(); row != rows.cend(); ++row)
        AppendRecord(out, QStringList{CDrinkStatistics::DateOfDay(row.key()).toString(Qt::ISODate)} + row.value());
    out += QLatin1String("\r\n");
    AppendRecord(out, {tr("日期"), tr("时间"), tr("方式"), tr("结果"), tr("推迟(分钟)"), tr("原因")});
    for (const stRestData& rest : rests) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(rest.nTime);
        AppendRecord(out, {moment.date().toString(Qt::ISODate), moment.time().toString(Qt::ISODate),
                              KindText(rest.nKind), OutcomeText(rest.nOutcome),
                              rest.nOutcome == stRestData::Postponed ? QString::number(rest.nMinutes) : QString(),
                              ReasonText(rest.strReason)});
    }
    return out.toUtf8();
}

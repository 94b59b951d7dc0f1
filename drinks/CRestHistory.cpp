#include "CRestHistory.h"

#include <memory>

#include <QCoreApplication>
#include <QDateTime>

#include "CDrinkStatistics.h"
#include "CHealthDatabase.h"
#include "CHistoryWriter.h"
#include "EasyQtSql/DBException.h"
#include "clock.h"

namespace {
CRestHistory* g_restHistory = nullptr;
// The most seconds between two ticks that still count as time at the screen.
constexpr qint64 kLongestTickGap = 5;

const char* const kSelectAllRests = "select time, kind, outcome, minutes, reason from rests order by rowid asc";
const char* const kSelectAllScreenTime = "select date, minutes from screentime";

// A damaged table costs only its own rows; a file another program holds is read again.
template <typename Read>
void ReadOrNothing(Read read)
{
    try {
        read();
    } catch (const EasyQtSql::DBException& e) {
        if (e.IsBusy())
            throw;
    }
}
}

CRestHistory* CRestHistory::Instance()
{
    if (!g_restHistory) {
        g_restHistory = new CRestHistory;
        qAddPostRoutine([] {
            delete g_restHistory;
            g_restHistory = nullptr;
        });
    }
    return g_restHistory;
}

CRestHistory::CRestHistory(CHistoryWriter* writer, QObject* parent)
    : QObject(parent)
    , m_writer(writer)
{
}

void CRestHistory::Record(stRestData::Kind kind, stRestData::Outcome outcome, int minutes, const QString& reason)
{
    stRestData row;
    row.nTime = CClock::Now();
    row.nKind = kind;
    row.nOutcome = outcome;
    row.nMinutes = minutes;
    row.strReason = reason;
    m_rests.append(row);
    if (m_reading)
        m_restsSinceRead.append(row);
    Writer()->Write([row](CHealthDatabase& store) { return store.InsertRest(row); }, nullptr, row.nTime);
}

void CRestHistory::CountActive(qint64 now)
{
    if (m_lastActive >= 0 && now > m_lastActive && now - m_lastActive <= kLongestTickGap)
        m_activeSecs += now - m_lastActive;
    m_lastActive = now;
    if (m_activeSecs < 60)
        return;
    m_activeSecs -= 60;
    const qint64 day = CDrinkStatistics::DayKey(now);
    ++m_screenMinutes[day];
    if (m_reading)
        ++m_minutesSinceRead[day];
    Writer()->Write([day](CHealthDatabase& store) { return store.AddScreenMinute(day); }, nullptr, now);
}

void CRestHistory::Load()
{
    // The read on its way answers for this call too, with what was recorded since counted in.
    if (m_reading)
        return;
    m_reading = true;
    m_restsSinceRead.clear();
    m_minutesSinceRead.clear();
    struct Read
    {
        QVector<stRestData> rests;
        QVector<stScreenTimeData> days;
    };
    auto read = std::make_shared<Read>();
    Writer()->Read(
        [read](CHealthDatabase& store) {
            *read = Read();
            ReadOrNothing([&] { store.SelectRests(read->rests, QString::fromLatin1(kSelectAllRests)); });
            ReadOrNothing([&] { store.SelectScreenTime(read->days, QString::fromLatin1(kSelectAllScreenTime)); });
            return true;
        },
        [this, read] {
            m_rests = read->rests + m_restsSinceRead;
            m_screenMinutes = m_minutesSinceRead;
            for (const stScreenTimeData& day : qAsConst(read->days))
                m_screenMinutes[day.strDate.toLongLong()] += day.nMinutes;
            m_restsSinceRead.clear();
            m_minutesSinceRead.clear();
            m_reading = false;
            emit Changed();
        });
}

bool CRestHistory::WaitUntilSaved(int msecs)
{
    return Writer()->WaitForIdle(msecs);
}

CHistoryWriter* CRestHistory::Writer()
{
    if (!m_writer)
        m_writer = CDrinkStatistics::Instance()->Writer();
    return m_writer;
}

CRestHistory::Figures CRestHistory::FiguresOf(const QDate& first, const QDate& last) const
{
    Figures figures;
    const qint64 from = first.startOfDay().toSecsSinceEpoch();
    const qint64 until = last.addDays(1).startOfDay().toSecsSinceEpoch();
    for (const stRestData& rest : m_rests) {
        if (rest.nTime < from || rest.nTime >= until)
            continue;
        switch (rest.nOutcome) {
        case stRestData::Taken:
        case stRestData::Away:
            ++figures.taken;
            break;
        case stRestData::EndedEarly:
            ++figures.endedEarly;
            break;
        case stRestData::Postponed:
            ++figures.postponed;
            break;
        case stRestData::Skipped:
            ++figures.skipped;
            break;
        case stRestData::Held:
            ++figures.held;
            break;
        default:
            break;
        }
    }
    figures.due = figures.taken + figures.endedEarly + figures.postponed + figures.skipped;
    for (QDate day = first; day <= last; day = day.addDays(1))
        figures.screenMinutes += m_screenMinutes.value(CDrinkStatistics::DayKeyOfDate(day));
    return figures;
}

const QVector<stRestData>& CRestHistory::Rests() const
{
    return m_rests;
}

#include "CDrinkSampleHistory.h"

#include <QRandomGenerator>

#include "CDrinkStatistics.h"
#include "clock.h"

namespace {
constexpr int kSkippedDayPercent = 8;
constexpr int kSmallestDrink = 150;
constexpr int kDrinkSizes = 7; // 150 to 450 ml in steps of 50
constexpr int kSaveWaitMs = 10000;
}

int CDrinkSampleHistory::Write(CDrinkStatistics& statistics, const QDateTime& now, int days)
{
    QRandomGenerator random(quint32(days) * 7919u + 17u);
    int drinks = 0;
    for (int back = days - 1; back >= 0; --back) {
        const QDate date = now.date().addDays(-back);
        if (back > 0 && int(random.bounded(100)) < kSkippedDayPercent)
            continue;
        const bool weekend = date.dayOfWeek() >= 6;
        const int count = weekend ? 2 + int(random.bounded(4)) : 4 + int(random.bounded(6));
        QTime time(weekend ? 9 : 8, int(random.bounded(50)));
        for (int i = 0; i < count; ++i) {
            const QDateTime moment(date, time);
            if (moment > now)
                break;
            CClock::SetLocal(moment);
            statistics.RecordDrink(kSmallestDrink + 50 * int(random.bounded(kDrinkSizes)));
            ++drinks;
            // Thousands of drinks waiting at once would each rewrite a journal thousands long.
            if (!statistics.WaitUntilSaved(kSaveWaitMs))
                return drinks;
            const QTime next = time.addSecs(60 * (55 + int(random.bounded(80))));
            // Past midnight the day is over.
            if (next < time)
                break;
            time = next;
        }
    }
    CClock::SetLocal(now);
    statistics.ComputeRanges();
    return drinks;
}

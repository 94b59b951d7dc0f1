#pragma once

#include <QDateTime>

class CDrinkStatistics;

// A made-up drinking history that looks like a real one: most days several drinks between
// morning and evening, fewer at weekends, now and then a day without any, about half of the
// days reaching a target of 1500 ml. It goes through the statistics model like real drinks do,
// so the file and the model's memory agree the way they do in use; each drink is in the file
// before the next is recorded.
class CDrinkSampleHistory
{
public:
    // Records days days of drinks ending at now (on the last day only those before now), each
    // at its own moment on the clock, which is left pinned at now. The same arguments give the
    // same history. Returns the number of drinks recorded; it stops early, with the last drink
    // still unsaved, when the file does not take a drink within a few seconds.
    static int Write(CDrinkStatistics& statistics, const QDateTime& now, int days);
};

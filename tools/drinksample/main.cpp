// Writes a sample drinking history into the tray program's data folder, for screenshots and
// for trying the records page by hand:
//   drinksample [DAYS]
// DAYS (default 120) days ending now. An existing history is never touched: the tool refuses
// to run while HealthConfig.db exists. Run it while the tray program is not running.
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include "CDrinkSampleHistory.h"
#include "CDrinkStatistics.h"
#include "CHealthDatabase.h"
#include "core/CIniSettings.h"
#include "core/CSystemUtil.h"
#include "clock.h"

namespace {
constexpr int kDefaultDays = 120;
constexpr int kMostDays = 3660;
constexpr int kSampleTarget = 1500;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The tray program's folder, which is named after it.
    QCoreApplication::setApplicationName(QStringLiteral("QzHealthManager"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    int days = kDefaultDays;
    const QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty()) {
        bool number = false;
        days = arguments.first().toInt(&number);
        if (arguments.size() > 1 || !number || days < 1 || days > kMostDays) {
            err << "usage: drinksample [DAYS]   (DAYS from 1 to " << kMostDays << ", default " << kDefaultDays << ")\n";
            return 2;
        }
    }

    const QString file = CSystemUtil::DataFolder() + QStringLiteral("/HealthConfig.db");
    if (QFileInfo::exists(file)) {
        err << "drinksample: " << file << " already exists; move it away first to keep it\n";
        return 1;
    }
    {
        // Drinks the file cannot take would wait in the settings for the tray program to write.
        CHealthDatabase probe;
        probe.Init();
        if (!probe.IsOpen()) {
            err << "drinksample: cannot open " << file << "\n";
            return 1;
        }
    }
    CDrinkStatistics statistics;
    // The model judges each day against the configured target; a sample needs one to judge by.
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetDrinksTarget() <= 0) {
        settings->SetDrinksTarget(kSampleTarget);
        out << "daily target set to " << kSampleTarget << " ml\n";
    }
    const int drinks = CDrinkSampleHistory::Write(statistics, CClock::LocalNow(), days);
    CClock::Release();
    if (statistics.UnsavedDrinks() > 0) {
        err << "drinksample: " << file << " did not take the drinks\n";
        return 1;
    }

    stTotalsData totals;
    statistics.GetTotals(totals);
    out << "wrote " << drinks << " drinks on " << totals.nTotalDays << " days (" << totals.nTotalPassDay
        << " reaching the target) to " << file << "\n";
    // Writes the settings out.
    CIniSettings::Destroy();
    return 0;
}

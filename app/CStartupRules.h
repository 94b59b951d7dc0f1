#pragma once

#include <QString>

class QWidget;

// The decisions start-up makes from the command line and the stored stamps.
namespace CStartupRules {
// The launch source of a start that stays in the tray, as "showMini" asks.
constexpr int TrayLaunch = 1;
// Where the program was started from: 1 "showMini", 2 "desktop", 3 "startmenu", 4 "boot",
// 0 for anything else (a plain start, or "show" after a restart).
int LaunchSource(const QString& word);
// Whether the frame stays hidden for a launch source.
bool StartsHidden(int launchSource);
// Whether the frame is brought to the front after it is shown.
bool WakesFrame(int launchSource);
// The start event for a launch source, empty when it sends none now.
QString StartEvent(int launchSource);
// Runs the update check once a week.
void WeeklyUpdateCheck();
// Offers to start with the system: once at first, then every three days until accepted.
void OfferStartWithSystem(QWidget* frame);
}

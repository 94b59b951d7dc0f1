#include "CDrinksSettingsWindow.h"

CDrinksSettingsWindow::CDrinksSettingsWindow(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CDrinksSettingsWindow"));
    resize(282, 328);
}

// The page's controls arrive with the drink reminder; until then there is nothing to load.
void CDrinksSettingsWindow::LoadSettings()
{
}

void CDrinksSettingsWindow::RefreshNextReminder()
{
}

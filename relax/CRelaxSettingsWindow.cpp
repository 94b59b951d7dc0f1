#include "CRelaxSettingsWindow.h"

CRelaxSettingsWindow::CRelaxSettingsWindow(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CRelaxSettingsWindow"));
    setWindowTitle(QStringLiteral("设置"));
    resize(280, 328);
}

// The page's controls arrive with the rest reminder; until then there is nothing to load.
void CRelaxSettingsWindow::LoadSettings()
{
}

void CRelaxSettingsWindow::RefreshSchedule()
{
}

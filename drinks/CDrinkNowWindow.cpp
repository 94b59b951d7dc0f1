#include "CDrinkNowWindow.h"

CDrinkNowWindow::CDrinkNowWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CDrinkNowWindow"));
    resize(282, 328);
}

// The cup and its amount arrive with the drink reminder; until then there is nothing to reset.
void CDrinkNowWindow::OnResetSetting()
{
}

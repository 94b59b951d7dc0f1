#include "CDrinksTask.h"

#include <QPushButton>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "CUpdateContext.h"

CDrinksTask::CDrinksTask(QWidget* parent)
    : CFeatureCard(parent, tr("喝水提醒"), QStringLiteral("DrinksTaskPanel"), QStringLiteral(":/Resources/Skin/Verd/drinks_task.png"), 130,
        QRect(45, 30, 50, 14), [] { return CIniSettings::Instance()->GetDrinksStatus(); })
{
    setObjectName(QStringLiteral("CDrinksTask"));
    connect(AddButton(QStringLiteral("btn_DrinksRecord"), tr("成绩"), tr("喝水成绩"), QRect(17, 54, 46, 24)),
        &QPushButton::clicked, this, &CDrinksTask::OnDrinksRecord_Click);
    connect(AddButton(QStringLiteral("btn_DrinksSettings"), tr("设置"), tr("喝水提醒设置"), QRect(66, 54, 46, 24)),
        &QPushButton::clicked, this, &CDrinksTask::OnDrinksSettings_Click);
    connect(AddButton(QStringLiteral("btn_DrinkNow"), tr("立刻喝水"), QString(), QRect(32, 82, 66, 24)),
        &QPushButton::clicked, this, &CDrinksTask::OnDrinksNow_Click);
}

void CDrinksTask::OnDrinksRecord_Click()
{
    emit CCommon::Instance()->SwitchDrinksRecord_PanelSignal();
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("drinkscore"));
}

void CDrinksTask::OnDrinksSettings_Click()
{
    emit CCommon::Instance()->SwitchDrinksSettings_PanelSignal();
}

void CDrinksTask::OnDrinksNow_Click()
{
    emit CCommon::Instance()->SwitchDrinkNow_PanelSignal();
}

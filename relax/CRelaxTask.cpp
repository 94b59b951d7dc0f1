#include "CRelaxTask.h"

#include <QPushButton>

#include "core/CCommon.h"
#include "core/CIniSettings.h"

CRelaxTask::CRelaxTask(QWidget* parent)
    : CFeatureCard(parent, tr("休息提醒"), QStringLiteral("RelaxTaskPanel"), QStringLiteral(":/Resources/Skin/Verd/relax_task.png"), 100,
        QRect(28, 26, 50, 14), [] { return CIniSettings::Instance()->GetRelaxStatus(); })
{
    setObjectName(QStringLiteral("CRelaxTask"));
    connect(AddButton(QStringLiteral("btn_RelaxSettings"), tr("设置"), tr("休息提醒设置"), QRect(27, 52, 46, 24)),
        &QPushButton::clicked, this, &CRelaxTask::OnRelaxSettings_Click);
}

void CRelaxTask::OnRelaxSettings_Click()
{
    emit CCommon::Instance()->SwitchRelaxSettings_PanelSignal();
}

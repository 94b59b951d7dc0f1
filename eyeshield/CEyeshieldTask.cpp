#include "CEyeshieldTask.h"

#include <QPushButton>

#include "core/CCommon.h"
#include "core/CIniSettings.h"

CEyeshieldTask::CEyeshieldTask(QWidget* parent)
    : CFeatureCard(parent, QStringLiteral("EyeshieldTaskPanel"), QStringLiteral(":/Resources/Skin/Verd/eyeshield_task.png"),
        90, QRect(24, 22, 50, 14), [] { return CIniSettings::Instance()->GetEyeshieldStatus(); })
{
    setObjectName(QStringLiteral("CEyeshieldTask"));
    connect(AddButton(QStringLiteral("btn_EyeshieldSettings"), tr("设置"), QRect(22, 44, 46, 24)),
        &QPushButton::clicked, this, &CEyeshieldTask::OnEyeshieldSettings_Click);
    ShowAbility();
    connect(CCommon::Instance(), &CCommon::TintAbilityChanged, this, &CEyeshieldTask::ShowAbility);
}

void CEyeshieldTask::ShowAbility()
{
    const QString reason = CCommon::Instance()->UnsupportedTintText();
    MarkUnavailable(reason.isEmpty() ? QString() : tr("不支持"), reason);
}

void CEyeshieldTask::OnEyeshieldSettings_Click()
{
    emit CCommon::Instance()->SwitchEyeshieldWindow_PanelSignal();
}

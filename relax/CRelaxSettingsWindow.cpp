#include "CRelaxSettingsWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>

#include "core/CIniSettings.h"

CRelaxSettingsWindow::CRelaxSettingsWindow(QWidget* parent)
    : CRelaxSettingsForm(parent)
{
    setObjectName(QStringLiteral("CRelaxSettingsWindow"));
    setWindowTitle(tr("设置"));
    resize(280, 328);
    BuildForm(this, 0);
    QLabel* promptLabel = AddLabel(this, QStringLiteral("label_13"), tr("提醒音效："), QRect(23, 57, 61, 16));
    m_relaxPrompt = AddSwitch(this, QStringLiteral("checkbox_relax_prompt"), QRect(82, 53, 52, 22));
    promptLabel->setBuddy(m_relaxPrompt);
    // Reached in the order the switches stand, row by row.
    setTabOrder(m_relaxFullStatus, m_relaxPrompt);
    connect(m_relaxPrompt, &QCheckBox::stateChanged, this, &CRelaxSettingsWindow::OnRelaxPrompt_StateChanged);
    // Under the time of the next reminder, while one waits for a meeting, a program or the user.
    m_waitReason = AddLabel(this, QStringLiteral("label_wait_reason"), QString(), QRect(24, 274, 250, 12));
    m_waitReason->hide();
    Start();
}

void CRelaxSettingsWindow::ShowWaitReason(const QString& reason)
{
    // A long program name is shortened in its middle; the tooltip holds it whole.
    m_waitReason->setText(m_waitReason->fontMetrics().elidedText(reason, Qt::ElideMiddle, m_waitReason->width()));
    m_waitReason->setToolTip(reason);
    m_waitReason->setVisible(!reason.isEmpty());
}

void CRelaxSettingsWindow::OnRelaxPrompt_StateChanged(int state)
{
    CIniSettings::Instance()->SetRelaxPrompt(state);
}

void CRelaxSettingsWindow::OnStatusShown(bool on)
{
    m_fullStatusCaption->setVisible(on);
    m_relaxFullStatus->setVisible(on);
}

void CRelaxSettingsWindow::LoadExtraSettings()
{
    const QSignalBlocker blocker(m_relaxPrompt);
    m_relaxPrompt->setChecked(CIniSettings::Instance()->GetRelaxPrompt() != 0);
}

#pragma once

#include "CRelaxSettingsForm.h"

// The rest settings page of the main frame: whether and how often the rest reminder comes, how
// long a rest lasts, the full-screen rest and the reminder sound.
class CRelaxSettingsWindow : public CRelaxSettingsForm
{
    Q_OBJECT
public:
    explicit CRelaxSettingsWindow(QWidget* parent = nullptr);

    // Shows why a reminder waits now, or nothing when `reason` is empty.
    void ShowWaitReason(const QString& reason);

public slots:
    void OnRelaxPrompt_StateChanged(int state);

protected:
    void OnStatusShown(bool on) override;
    void LoadExtraSettings() override;

private:
    QCheckBox* m_relaxPrompt = nullptr;
    QLabel* m_waitReason = nullptr;
};

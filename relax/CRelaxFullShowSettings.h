#pragma once

#include "CRelaxSettingsForm.h"

class QMenu;
class QPushButton;

// The rest settings as a pop-up over the full-screen rest, opened from its menu: the same
// controls as the settings page, without the reminder sound.
class CRelaxFullShowSettings : public CRelaxSettingsForm
{
    Q_OBJECT
public:
    explicit CRelaxFullShowSettings(QWidget* parent, QMenu* frameMenu = nullptr);

public slots:
    void OnClose_Click();
    void OnMenu_Click();

protected:
    void OnStatusShown(bool on) override;
    void LoadExtraSettings() override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPushButton* m_btnMenu = nullptr;
};

#pragma once

#include <QDialog>

#include "CAutomaticStrength.h"

class CAutomaticSettings;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

// The eye-protection page: the switch, the four preset modes and the strength slider. What it
// shows mirrors the stored switch and mode; building it applies them at once, so protection
// resumes at every start. Later the switch, the mode buttons and the automatic schedule fade the
// screen to the new strength; the slider follows the hand at once.
class CEyeshieldWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CEyeshieldWindow(QWidget* parent = nullptr);

    // The automatic mode's minute timer; 0 when none runs.
    int AutomaticTimerId() const;
    // The strength in force; 0 while protection is off.
    int Strength() const;
    // Switches protection on in the stored mode, or off, as the switch does.
    void SwitchTo(bool on);
    // Fades to a strength in the custom mode, switching protection on.
    void FadeToStrength(int strength);

public slots:
    void OnCheckStatus(int status);
    // The custom mode at a strength: the user's own changes of the slider arrive here (the
    // panel's own updates are made with its signals blocked), and so does switching on with
    // the custom mode stored.
    void OnSliderMoved(int nIndex);
    void OnAutomatic_Click();
    void OnPlayer_Click();
    void OnGame_Click();
    void OnWorking_Click();
    // Opens the automatic mode's day and night settings.
    void OnAutomaticSettings_Click();
    // Day and night settings changed: in automatic mode the screen moves to the new strength.
    void OnAutomaticSettings_Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void BuildWidgets();
    void ApplyStoredMode();
    void ApplyPreset(int strength, int mode, QAbstractButton* button, const QString& description);
    void ApplyCustom(int strength, bool fade);
    void Tint(int strength, bool fade);
    void SwitchOn();
    void ShowStrength(int strength);
    void CheckModeButton(QAbstractButton* button);
    void UncheckModeButtons();
    void StartAutomaticTimer();
    void StopAutomaticTimer();
    void JumpToPress(int x);
    // The mode's description, or while the screen cannot be tinted, why not.
    void ShowDescription(const QString& description);

    QCheckBox* m_checkStatus = nullptr;
    QLabel* m_colortempNum = nullptr;
    QSlider* m_slider = nullptr;
    QPushButton* m_btnAutomatic = nullptr;
    QPushButton* m_btnWorking = nullptr;
    QPushButton* m_btnGame = nullptr;
    QPushButton* m_btnPlayer = nullptr;
    QLabel* m_msgTips = nullptr;
    QButtonGroup* m_actionGroup = nullptr;
    CAutomaticSettings* m_automaticSettings = nullptr;
    CAutomaticStrength m_automatic;
    int m_timerId = 0;
    // The description of the mode in force, shown whenever the screen can be tinted.
    QString m_description;
    // Off while the stored state is applied during construction.
    bool m_fades = false;
};

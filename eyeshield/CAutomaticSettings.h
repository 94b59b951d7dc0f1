#pragma once

#include <optional>

#include <QDialog>

#include "stPlace.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

// The automatic mode's day and night, opened from the eye-protection page: the switch, the sun
// at the user's place or fixed times, the length of the change and the two strengths. Every
// change is stored at once and announced, so the page can apply it.
class CAutomaticSettings : public QDialog
{
    Q_OBJECT
public:
    explicit CAutomaticSettings(QWidget* parent = nullptr);

    // Puts the stored values into the controls, with the time zone's city as it is now.
    void LoadSettings();

signals:
    void AutomaticChanged_Signals();

public slots:
    void OnDayNightStatus_StateChanged(int state);
    void OnSun_Toggled(bool checked);
    void OnZonePlace_StateChanged(int state);
    void OnLatitude_ValueChanged(double value);
    void OnLongitude_ValueChanged(double value);
    void OnNightFrom_TimeChanged(const QTime& time);
    void OnNightTo_TimeChanged(const QTime& time);
    void OnTransition_ValueChanged(int minutes);
    void OnDayStrength_ValueChanged(int strength);
    void OnNightStrength_ValueChanged(int strength);
    void OnClose_Click();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* BuildHead(QWidget* panel);
    QWidget* BuildBody(QWidget* panel);
    // Which controls take input follows the switch of place and the choice of sun or clock.
    void ShowChoices();
    // Today's sunrise and sunset at the place the controls show.
    void ShowSunToday();
    // The coordinates in the boxes become the place the sun is followed at.
    void StoreTypedPlace();
    void Changed();

    QCheckBox* m_status = nullptr;
    QRadioButton* m_sun = nullptr;
    QRadioButton* m_clock = nullptr;
    QCheckBox* m_zonePlace = nullptr;
    QDoubleSpinBox* m_latitude = nullptr;
    QDoubleSpinBox* m_longitude = nullptr;
    QLabel* m_sunToday = nullptr;
    QTimeEdit* m_nightFrom = nullptr;
    QTimeEdit* m_nightTo = nullptr;
    QSpinBox* m_transition = nullptr;
    QSpinBox* m_dayStrength = nullptr;
    QSpinBox* m_nightStrength = nullptr;
    std::optional<stPlace> m_zoneCity;
};

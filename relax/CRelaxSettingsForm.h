#pragma once

#include <QBasicTimer>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The rest settings as both the settings page and the full-screen window's pop-up show them:
// every change is stored at once, a new interval restarts the reminder grid, and every 30 seconds
// the form shows the stored interval and brings the grid stamp up to the next reminder, whose time
// it shows.
class CRelaxSettingsForm : public QDialog
{
    Q_OBJECT
public:
    ~CRelaxSettingsForm() override;

    // Puts the stored values into the controls.
    void LoadSettings();
    // Shows the stored interval, moves the grid stamp past missed reminders and shows the time of
    // the next one.
    void RefreshSchedule();

public slots:
    void OnHour_TextChanged(const QString& text);
    void OnMinute_TextChanged(const QString& text);
    void OnFullScreenSecond_TextChanged(const QString& text);
    void OnRelaxStatus_StateChanged(int state);
    void OnRelaxFullStatus_StateChanged(int state);
    void OnSleepTimer_EditingFinished();

protected:
    explicit CRelaxSettingsForm(QWidget* parent);

    // Builds the controls on `form`, `top` pixels lower than on the page.
    void BuildForm(QWidget* form, int top);
    // Connects the controls, loads the values, aligns the grid and starts the 30-second timer.
    void Start();
    QLabel* AddLabel(QWidget* form, const QString& objectName, const QString& text, QRect geometry);
    QCheckBox* AddSwitch(QWidget* form, const QString& objectName, const QRect& geometry);
    // The reminder has been switched on or off, or loaded in that state.
    virtual void OnStatusShown(bool on) = 0;
    // Loads what only one of the two forms has.
    virtual void LoadExtraSettings() = 0;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

    QCheckBox* m_relaxStatus = nullptr;
    QCheckBox* m_relaxFullStatus = nullptr;
    QLabel* m_fullStatusCaption = nullptr;

private:
    QComboBox* AddCombo(QWidget* form, const QString& objectName, const QRect& geometry, int first, int last, int step);
    // The minute to store with `hour` and `minute`: an interval of 0 would fire every tick.
    static int StoredMinute(int hour, int minute);

    QComboBox* m_secondFullscreen = nullptr;
    QLineEdit* m_sleepTimer = nullptr;
    QComboBox* m_hour = nullptr;
    QComboBox* m_minute = nullptr;
    QLabel* m_runtime = nullptr;
    QBasicTimer m_refreshTimer;
};

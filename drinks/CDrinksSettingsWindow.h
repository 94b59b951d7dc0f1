#pragma once

#include <QBasicTimer>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The drink settings page: whether and how often the drink reminder comes, the daily target,
// the usual amount of one drink and the two sounds. Every change is stored at once.
class CDrinksSettingsWindow : public QDialog
{
    Q_OBJECT
public:
    // How stale a due reminder may be and still count as the next one: the tick fires it soon.
    static constexpr int DueMargin = 30;
    static constexpr int RefreshMs = 30000;

    // Stores the day's target and the amount of one drink where none is stored yet: the
    // reminders and the history read them whether or not this page was ever built.
    static void StoreDefaults();

    explicit CDrinksSettingsWindow(QWidget* parent = nullptr);

    // Shows the stored settings, writing the defaults of the target and the amount when unset.
    void LoadSettings();
    // Shows when the next reminder comes and keeps the reminder grid's anchor just behind it.
    void RefreshNextReminder();

public slots:
    void OnHour_TextChanged(QString text);
    void OnMinute_TextChanged(QString text);
    void OnDrinksStatus_StateChanged(int state);
    void OnDrinksWater_StateChanged(int state);
    void OnDrinksPrompt_StateChanged(int state);
    void OnDayTarget_EditingFinished();
    void OnTimeTarget_EditingFinished();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* AddLabel(const QString& name, const QRect& geometry, const QString& text);
    QCheckBox* AddSwitch(const QString& name, const QRect& geometry);
    QLineEdit* AddNumberField(const QString& name, const QRect& geometry, const QString& text, int top);
    QComboBox* AddList(const QString& name, const QRect& geometry, const QStringList& items);
    // The interval the two lists show, never 0 h 0 min: that becomes five minutes.
    int ListHour() const;
    int ListMinute() const;

    QWidget* m_panel = nullptr;
    QCheckBox* m_status = nullptr;
    QCheckBox* m_water = nullptr;
    QCheckBox* m_prompt = nullptr;
    QLineEdit* m_dayTarget = nullptr;
    QLineEdit* m_timeTarget = nullptr;
    QComboBox* m_hour = nullptr;
    QComboBox* m_minute = nullptr;
    QLabel* m_runtime = nullptr;
    QBasicTimer m_refreshTimer;
};

#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

// The cup form that the reminder pop-up and the drink-now page share: how much is still
// missing today, the cup whose water follows the chosen amount, the number field coupled to
// it, and after a drink a health tip with the closing countdown while the cup empties.
class CDrinkForm : public QObject
{
    Q_OBJECT
public:
    // Seconds shown after a drink before the form closes.
    static constexpr int CountdownSeconds = 5;
    // What the countdown holds while the form is hidden or the drink was declined.
    static constexpr int Idle = -500;
    static constexpr int MaxAmount = 500;
    static constexpr int DefaultAmount = 100;

    // Builds the form's widgets into `content`, `top` pixels lower than the pop-up places them
    // (the page sits 32 pixels higher: top -32). `heightFactor` turns an amount into the height
    // of the water column; `unitX` is where the amount's unit label starts.
    CDrinkForm(QWidget* content, int top, float heightFactor, int unitX);

    QPushButton* DrinksButton() const;
    QPushButton* NoDrinksButton() const;
    QPushButton* RecordButton() const;
    QSlider* Slider() const;
    QLineEdit* NumberEdit() const;

    // The health tips shown after a drink, one chosen at random each time, in the language spoken.
    static QStringList HealthTips();
    // The water column's height in pixels for an amount.
    int ColumnHeight(int amount) const;
    // Shows an amount in the number field and the cup.
    void Draw(int amount);
    // Takes what the user typed into the number field, cut to the cup's maximum.
    void TypeAmount(const QString& text);
    // Prepares the form for being shown: the stored amount, the buttons, today's progress.
    void Reset();
    // Records the drink of the chosen amount and starts the closing countdown.
    void Drink();
    // Stops the countdown and the emptying cup, as when the form is hidden or left.
    void Stop();
    int Remaining() const;
    // One second of the closing countdown and one 5 ms step of the emptying cup.
    void CountdownTick();
    void DrainTick();

signals:
    // The countdown after a drink has run out: the form's window closes.
    void CountdownFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* AddLabel(const QString& name, const QRect& geometry, const QString& text = QString());
    QPushButton* AddButton(const QString& name, const QRect& geometry, const QString& text = QString());
    QRect At(int x, int y, int w, int h) const;
    void DismissGuide();
    void ShowProgress(int drunk);
    void ShowCountdown(bool countdown);
    void UseDisplayLook();
    void UseEditingLook();
    static int StoredAmount();

    QWidget* m_content;
    int m_top;
    float m_heightFactor;

    QLabel* m_tipsDay = nullptr;
    QLabel* m_drinksNum = nullptr;
    QLabel* m_column = nullptr;
    QLabel* m_surface = nullptr;
    QPushButton* m_cup = nullptr;
    QSlider* m_slider = nullptr;
    QLineEdit* m_number = nullptr;
    QPushButton* m_editPen = nullptr;
    QLabel* m_guide = nullptr;
    QPushButton* m_drinks = nullptr;
    QPushButton* m_noDrinks = nullptr;
    QLabel* m_warmPrompt = nullptr;
    QLabel* m_timer = nullptr;
    QLabel* m_timerTips = nullptr;
    QLabel* m_line = nullptr;
    QPushButton* m_record = nullptr;

    QBasicTimer m_countdownTimer;
    QBasicTimer m_drainTimer;
    int m_remaining = Idle;
    int m_drainLevel = 0;
};

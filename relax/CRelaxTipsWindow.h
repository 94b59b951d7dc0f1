#pragma once

#include <QBasicTimer>
#include <QList>

#include "CRelaxPopup.h"

class CRelaxFullShowWindow;
class CRelaxShowWindow;

// The rest prompt: it slides in when a rest is due, greets the user by the time of day and
// counts down to the rest, which the user may start at once or put off. It owns the rest windows
// it opens and tells the schedule whether a rest is still going on.
class CRelaxTipsWindow : public CRelaxPopup
{
    Q_OBJECT
public:
    explicit CRelaxTipsWindow(QWidget* parent = nullptr, QMenu* frameMenu = nullptr);

    // True while a rest window opened by the prompt is open. Windows that asked to be deleted
    // later are deleted first.
    bool HasOpenRestWindows();
    // Arms the countdown and parks the window below the screen, ready to slide in.
    void PrepareShow();
    // Shows the prompt for a due reminder unless it is up already or a rest is going on.
    // True when it was shown.
    bool ShowReminder();

    int Countdown() const;
    // One second of the countdown has passed.
    void CountdownTick();
    // Shows the greeting and picture of the current hour.
    void GreetingTick();
    QList<CRelaxFullShowWindow*> FullShowWindows() const;
    QList<CRelaxShowWindow*> ShowWindows() const;

signals:
    void OnClose_Signals();

public slots:
    void OnClose_Click();
    void OnMenu_Click();
    void OnStartRelax_Click();
    void OnRelaxFullShow();
    void OnRelaxFullShowClose();
    void OnRelaxShow();
    void OnRelaxShowClose();
    void OnRelaxFullShowDeleteLater();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // False while a silence chosen in the full-screen window holds; a silence that has run out
    // is cleared, and this rest still shows nothing.
    bool FullShowAllowed();
    void ShowPicture(int picture);

    QLabel* m_tips = nullptr;
    QLabel* m_timesTips = nullptr;
    QLabel* m_box = nullptr;
    int m_countdown = 0;
    // The number of the picture on show.
    int m_picture = -1;
    QBasicTimer m_countdownTimer;
    QBasicTimer m_greetingTimer;
    QList<CRelaxFullShowWindow*> m_fullShowWindows;
    QList<CRelaxShowWindow*> m_showWindows;
    bool m_fullShowDeletePending = false;
};

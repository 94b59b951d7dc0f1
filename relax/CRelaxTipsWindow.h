#pragma once

#include <QBasicTimer>
#include <QList>

#include "CRelaxPopup.h"
#include "stRestData.h"

class CRelaxFullShowWindow;
class CRelaxShowWindow;

// The rest prompt: it slides in when a rest is due, greets the user by the time of day and
// counts down to the rest, which the user may start at once or put off. It owns the rest windows
// it opens and tells the schedule whether a rest is still going on. Each reminder it shows ends
// in one outcome: run to its end, ended early, put off, or skipped under a full-screen silence.
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
    // The kind of rest the settings choose now.
    static stRestData::Kind RestKind();

signals:
    void OnClose_Signals();
    // A reminder came to its end; minutes is how long a put-off lasts.
    void RestEnded(stRestData::Kind kind, stRestData::Outcome outcome, int minutes);

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
    // A rest window closed with `remaining` seconds left; only the first of a rest's windows
    // (one per screen) tells the outcome.
    void OnRestWindowClosed(stRestData::Kind kind, int remaining);

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
    // The rest on show has told its outcome.
    bool m_restEndTold = false;
};

#pragma once

#include <QObject>
#include <QPointer>

class CPausingProgramsSettings;
class QAction;
class QMenu;
class QWidget;

// The frame's drop-down menu: the two reminder silences, the three considerate holds (wait while
// a full-screen program is in front, while the user is away, in a meeting or under Do Not
// Disturb), the programs that hold reminders, start with the system, feedback and update. The
// switches live in the configuration file, where the tick reads them.
class CMenuObject : public QObject
{
    Q_OBJECT
public:
    static CMenuObject* Instance();

public slots:
    QMenu* ShowTopMenu(QWidget* This);
    QMenu* ShowTopMenu();
    void OnMenuTodayAct_Click(bool check);
    void OnMenuNoPopupAct_Click(bool check);
    void OnMenuFullscreenAct_Click(bool check);
    void OnMenuAwayAct_Click(bool check);
    void OnMenuMeetingAct_Click(bool check);
    void OnMenuProgramsAct_Click();
    void OnMenuBootrunAct_Click(bool check);
    void OnMenuFeedbackAct_Click();
    void OnMenuUpdateAct_Click();
    void OnMenu_Click();

private:
    CMenuObject() = default;
    QAction* AddAction(const QString& text, bool checkable);

    QPointer<QMenu> m_menu;
    QAction* m_todayAct = nullptr;
    QAction* m_noPopupAct = nullptr;
    QAction* m_fullscreenAct = nullptr;
    QAction* m_awayAct = nullptr;
    QAction* m_meetingAct = nullptr;
    QAction* m_programsAct = nullptr;
    QAction* m_bootrunAct = nullptr;
    QAction* m_feedbackAct = nullptr;
    QAction* m_updateAct = nullptr;
    QPointer<CPausingProgramsSettings> m_programsSettings;
};

#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

// The frame's drop-down menu: the two reminder silences, the two considerate holds (wait while a
// full-screen program is in front, wait while the user is away), start with the system, feedback
// and update. The switches live in the configuration file, where the tick reads them.
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
    QAction* m_bootrunAct = nullptr;
    QAction* m_feedbackAct = nullptr;
    QAction* m_updateAct = nullptr;
};

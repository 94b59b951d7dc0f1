#pragma once

#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

#include "CMainTick.h"
#include "ITickHost.h"

class CAdsWidget;
class CCommandWords;
class CConsiderateGate;
class CDrinkNowWindow;
class CDrinkTotalRecord;
class CDrinksWindow;
class CDrinksSettingsWindow;
class CEyeshieldWindow;
class CMainWindow;
class CPageEscape;
class CRelaxSettingsWindow;
class CRelaxTipsWindow;
class CSystemTray;
class QCheckBox;
class QPushButton;
class QStackedWidget;

// The program's one window: a head bar over a stack of pages, with the tray icon and the
// once-a-second tick that fires the reminders.
class CBaseManager : public QWidget, private ITickHost
{
    Q_OBJECT
public:
    explicit CBaseManager(QWidget* parent = nullptr);
    ~CBaseManager() override;

    // Decodes the pictures and opens the fonts the frame's first show needs, touching nothing
    // outside the process, so that a start can do it while it waits. False when a picture is
    // missing.
    static bool PrepareFirstShow();

    void SetLaunchSource(int source);
    int LaunchSource() const;
    void ReportFeatureStates() override;
    // Brings the frame to the front, as a second start or a click on the tray icon asks.
    void WakeUp();
    // Carries out command words from a shell and returns the answer line for whoever sent them.
    QByteArray CarryOut(const CCommandWords& words);
    CSystemTray* SystemTray() const;
    CMainTick& Tick();

public slots:
    void OnBodyPanelChanged(int Id);
    void OnClose_Click();
    void OnBack_Click();
    void OnMenu_Click();
    void OnMain_Click();
    void OnDrinksRecord_Click();
    void OnDrinksSettings_Click();
    void OnRelaxSettings_Click();
    void OnDrinkNow_Click();
    void OnEyeshield_Click();
    void OnExit_Click();
    // Ends the program as a confirmed exit does, without asking: the screen's colour back to
    // normal, the tray icon gone, the event loop ended.
    void Quit();
    void OnRelaxTipsShow() override;
    void OnDrinksTipsShow() override;
    void OnActivatedTray(QSystemTrayIcon::ActivationReason reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Every way of showing the frame comes here: the home page is built, if it was let go, before
    // the frame is laid out.
    void setVisible(bool visible) override;

private:
    void BuildWindow();
    // Puts a page on the stack, where Esc takes it back home.
    void AddPage(QWidget* page);
    // The page, built and put on the stack if it is not there yet.
    template <class Page>
    Page* EnsurePage(QPointer<Page>& page);
    // The pages other than the eye protection are built when they are asked for (home when the
    // frame is shown) and let go when the frame closes; the pop-ups are let go once they are done.
    void ReleasePages();
    void ReleaseFinishedPopups();
    void ReleaseCaches();
    void ConnectSignals();
    void ShowIfInactive();
    void ShowPage(QWidget* page);
    void ShowHome();
    void OnInstanceCommand(const QByteArray& command);
    // Starts a rest at once, as the prompt's button does; the answer says whether one began.
    QByteArray RestNow();
    void WatchScreens();
    void WatchUser();

    bool IsDrinksRecordCurrent() const override;
    bool IsDrinksSettingsCurrent() const override;
    bool IsRelaxSettingsCurrent() const override;
    void PlayPromptSound(int kind) override;
    void RefreshDrinksSettings() override;
    void RefreshRelaxSettings() override;
    void ShowWaitReason(const QString& reason) override;

    CAdsWidget* m_adsWidget = nullptr;
    QWidget* m_headPanel = nullptr;
    QPushButton* m_btnClose = nullptr;
    QPushButton* m_btnMenu = nullptr;
    QCheckBox* m_btnBack = nullptr;
    QStackedWidget* m_bodyPanel = nullptr;

    QPoint m_dragOffset;
    int m_tickTimerId = 0;
    qint64 m_startTime = 0;
    CMainTick m_tick;
    CConsiderateGate* m_considerateGate = nullptr;
    // Why a reminder waits now, for the rest settings page when it is built.
    QString m_waitReason;
    CPageEscape* m_pageEscape = nullptr;
    // Windows were let go since the last tick: what they cached goes at the next one.
    bool m_cachesToRelease = false;
    // A page was shown since the last tick: what building it freed goes back at the next one.
    bool m_pageChanged = false;

    CSystemTray* m_systemTray = nullptr;
    QPointer<CMainWindow> m_mainWindow;
    QPointer<CDrinksSettingsWindow> m_drinksSettingsWindow;
    // Built at start and kept: it runs the eye protection's schedule.
    CEyeshieldWindow* m_eyeshieldWindow = nullptr;
    QPointer<CRelaxSettingsWindow> m_relaxSettingsWindow;
    // The pop-ups are made when their reminder comes.
    QPointer<CRelaxTipsWindow> m_relaxTipsWindow;
    QPointer<CDrinkTotalRecord> m_drinkTotalRecord;
    QPointer<CDrinkNowWindow> m_drinkNowWindow;
    QPointer<CDrinksWindow> m_drinksWindow;
};

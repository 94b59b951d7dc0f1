#include "CMenuObject.h"

#include <QDesktopServices>
#include <QMenu>

#include "core/CIniSettings.h"
#include "CPausingProgramsSettings.h"
#include "CUpdateContext.h"
#include "core/ProductPages.h"

namespace {
CMenuObject* g_menuObject = nullptr;
}

CMenuObject* CMenuObject::Instance()
{
    if (!g_menuObject)
        g_menuObject = new CMenuObject;
    return g_menuObject;
}

QMenu* CMenuObject::ShowTopMenu()
{
    return ShowTopMenu(nullptr);
}

QMenu* CMenuObject::ShowTopMenu(QWidget* This)
{
    // The frame builds its menu once; a second call replaces the first menu and its actions.
    delete m_menu;
    qDeleteAll(findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly));
    m_menu = new QMenu(This);
    m_menu->setObjectName(QStringLiteral("btn_menu"));
    m_todayAct = AddAction(tr("今日不弹出"), true);
    m_noPopupAct = AddAction(tr("不再弹出"), true);
    m_fullscreenAct = AddAction(tr("全屏时暂缓提醒"), true);
    m_awayAct = AddAction(tr("离开时暂缓提醒"), true);
    m_meetingAct = AddAction(tr("会议、勿扰时暂缓提醒"), true);
    m_programsAct = AddAction(tr("暂缓提醒的程序…"), false);
    m_bootrunAct = AddAction(tr("开机启动"), true);
    m_feedbackAct = AddAction(tr("反馈建议"), false);
    m_updateAct = AddAction(tr("检查更新"), false);

    connect(m_menu, &QMenu::aboutToShow, this, &CMenuObject::OnMenu_Click);
    connect(m_todayAct, &QAction::triggered, this, &CMenuObject::OnMenuTodayAct_Click);
    connect(m_noPopupAct, &QAction::triggered, this, &CMenuObject::OnMenuNoPopupAct_Click);
    connect(m_fullscreenAct, &QAction::triggered, this, &CMenuObject::OnMenuFullscreenAct_Click);
    connect(m_awayAct, &QAction::triggered, this, &CMenuObject::OnMenuAwayAct_Click);
    connect(m_meetingAct, &QAction::triggered, this, &CMenuObject::OnMenuMeetingAct_Click);
    connect(m_programsAct, &QAction::triggered, this, &CMenuObject::OnMenuProgramsAct_Click);
    connect(m_bootrunAct, &QAction::triggered, this, &CMenuObject::OnMenuBootrunAct_Click);
    connect(m_feedbackAct, &QAction::triggered, this, &CMenuObject::OnMenuFeedbackAct_Click);
    connect(m_updateAct, &QAction::triggered, this, &CMenuObject::OnMenuUpdateAct_Click);
    OnMenu_Click();
    return m_menu;
}

QAction* CMenuObject::AddAction(const QString& text, bool checkable)
{
    auto* action = new QAction(text, this);
    action->setCheckable(checkable);
    m_menu->addAction(action);
    return action;
}

void CMenuObject::OnMenuTodayAct_Click(bool check)
{
    CIniSettings* settings = CIniSettings::Instance();
    m_noPopupAct->setChecked(false);
    settings->SetTipsStatus(0);
    m_todayAct->setChecked(check);
    settings->SetTodayTipsStatus(check ? 1 : 0);
}

void CMenuObject::OnMenuNoPopupAct_Click(bool check)
{
    CIniSettings* settings = CIniSettings::Instance();
    m_todayAct->setChecked(false);
    settings->SetTodayTipsStatus(0);
    if (check)
        CUpdateContext::Instance()->ReportEvent(QStringLiteral("nopopup"));
    m_noPopupAct->setChecked(check);
    settings->SetTipsStatus(check ? 1 : 0);
}

void CMenuObject::OnMenuFullscreenAct_Click(bool check)
{
    m_fullscreenAct->setChecked(check);
    CIniSettings::Instance()->SetConsiderateFullscreen(check);
}

void CMenuObject::OnMenuAwayAct_Click(bool check)
{
    m_awayAct->setChecked(check);
    CIniSettings::Instance()->SetConsiderateAway(check);
}

void CMenuObject::OnMenuMeetingAct_Click(bool check)
{
    m_meetingAct->setChecked(check);
    CIniSettings::Instance()->SetConsiderateMeeting(check);
}

void CMenuObject::OnMenuProgramsAct_Click()
{
    // One list at a time: a second click brings the open one to the front.
    if (!m_programsSettings) {
        m_programsSettings = new CPausingProgramsSettings;
        m_programsSettings->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_programsSettings->show();
    m_programsSettings->raise();
    m_programsSettings->activateWindow();
}

void CMenuObject::OnMenuBootrunAct_Click(bool check)
{
    m_bootrunAct->setChecked(check);
    CIniSettings::Instance()->SetAutorunStatus(check ? 1 : 0);
}

void CMenuObject::OnMenuFeedbackAct_Click()
{
    QDesktopServices::openUrl(ProductPages::Feedback());
}

void CMenuObject::OnMenuUpdateAct_Click()
{
    CUpdateContext::Instance()->CheckForUpdate();
}

void CMenuObject::OnMenu_Click()
{
    CIniSettings* settings = CIniSettings::Instance();
    const int autorun = settings->GetAutorunStatus();
    settings->SetAutorunStatus(autorun != 0 ? 1 : 0);
    m_bootrunAct->setChecked(autorun != 0);

    const int today = settings->GetTodayTipsStatus();
    settings->SetTodayTipsStatus(today != 0 ? 1 : 0);
    m_todayAct->setChecked(today != 0);

    const int noPopup = settings->GetTipsStatus();
    settings->SetTipsStatus(noPopup != 0 ? 1 : 0);
    m_noPopupAct->setChecked(noPopup != 0);

    m_fullscreenAct->setChecked(settings->GetConsiderateFullscreen());
    m_awayAct->setChecked(settings->GetConsiderateAway());
    m_meetingAct->setChecked(settings->GetConsiderateMeeting());
}

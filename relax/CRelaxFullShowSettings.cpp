#include "CRelaxFullShowSettings.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include "core/CKeyboardAccess.h"
#include "core/CPanelShadow.h"

namespace {
// The controls sit under the pop-up's head, this much lower than on the page.
constexpr int kHeadHeight = 32;
}

CRelaxFullShowSettings::CRelaxFullShowSettings(QWidget* parent, QMenu* frameMenu)
    : CRelaxSettingsForm(parent)
{
    setObjectName(QStringLiteral("CRelaxFullShowSettings"));
    setWindowTitle(tr("休息提醒设置"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(290, 370);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("verticalWidget"));
    panel->setGeometry(5, 5, 281, 361);
    panel->setAttribute(Qt::WA_StyledBackground);
    CPanelShadow::Attach(panel);
    auto* head = new QWidget(panel);
    head->setObjectName(QStringLiteral("Head_Panel"));
    head->setGeometry(0, 0, 281, kHeadHeight);
    head->setAttribute(Qt::WA_StyledBackground);

    AddLabel(panel, QStringLiteral("label_name"), tr("休息提醒设置"), QRect(10, 5, 200, 21));
    m_btnMenu = new QPushButton(panel);
    m_btnMenu->setObjectName(QStringLiteral("btn_menu"));
    m_btnMenu->setGeometry(232, 8, 16, 16);
    m_btnMenu->setCursor(Qt::PointingHandCursor);
    if (frameMenu)
        m_btnMenu->setMenu(frameMenu);
    auto* close = new QPushButton(panel);
    close->setObjectName(QStringLiteral("btn_close"));
    close->setGeometry(256, 8, 16, 16);
    close->setCursor(Qt::PointingHandCursor);
    CKeyboardAccess::Button(m_btnMenu, tr("菜单"));
    CKeyboardAccess::Button(close, tr("关闭"));
    connect(close, &QPushButton::clicked, this, &CRelaxFullShowSettings::OnClose_Click);
    connect(m_btnMenu, &QPushButton::clicked, this, &CRelaxFullShowSettings::OnMenu_Click);

    BuildForm(panel, kHeadHeight);
    Start();
}

void CRelaxFullShowSettings::OnClose_Click()
{
    close();
}

void CRelaxFullShowSettings::OnMenu_Click()
{
    m_btnMenu->showMenu();
}

// The pop-up keeps the full-screen switch in view whether or not the reminder is on.
void CRelaxFullShowSettings::OnStatusShown(bool)
{
}

// The reminder sound is set on the page only.
void CRelaxFullShowSettings::LoadExtraSettings()
{
}

void CRelaxFullShowSettings::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && windowHandle())
        windowHandle()->startSystemMove();
    event->ignore();
}

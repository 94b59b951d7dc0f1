#include "CRelaxShowWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTimerEvent>

#include "core/CCommon.h"
#include "CPopupSlider.h"
#include "CRelaxAdsSlot.h"
#include "CRelaxGreeting.h"
#include "CRelaxLength.h"

namespace {
constexpr int kTickMs = 1000;
constexpr int kDaySeconds = 24 * 3600;
}

CRelaxShowWindow::CRelaxShowWindow(QWidget* parent, QMenu* frameMenu)
    : CRelaxPopup(parent, QStringLiteral("CRelaxShowWindow"), tr("休息提醒"), tr("休息提醒"),
        QStringLiteral("vertWidget"), frameMenu)
{
    CloseButton()->setToolTip(tr("最小化"));
    CloseButton()->setStatusTip(tr("最小化"));
    m_msgTimer = AddLabel(QStringLiteral("label_msg_timer"), QString(), QRect(60, 72, 76, 18));
    m_msgTimer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddLabel(QStringLiteral("label_msg_tips"), tr("后结束休息"), QRect(140, 72, 75, 18));
    m_box = AddLabel(QStringLiteral("label_box"), QString(), QRect(45, 132, 190, 130));
    m_box->setScaledContents(true);
    QPushButton* finish = AddButton(QStringLiteral("btn_click_finish_relax"), tr("结束休息"), QRect(95, 280, 90, 30));

    connect(CloseButton(), &QPushButton::clicked, this, &CRelaxShowWindow::OnClose_Click);
    connect(MenuButton(), &QPushButton::clicked, this, &CRelaxShowWindow::OnMenu_Click);
    connect(finish, &QPushButton::clicked, this, &CRelaxShowWindow::OnRelaxOver_Click);

    m_remaining = CRelaxLength::Seconds();
    m_msgTimer->setText(CCommon::FormatDuration(m_remaining));
    PictureTick();
    m_countdownTimer.start(kTickMs, Qt::CoarseTimer, this);
    m_pictureTimer.start(kTickMs, Qt::CoarseTimer, this);
    Slider()->Park();
}

int CRelaxShowWindow::Remaining() const
{
    return m_remaining;
}

void CRelaxShowWindow::CountdownTick()
{
    if (m_remaining <= 0) {
        m_countdownTimer.stop();
        hide();
        emit OnClose_Signals();
        return;
    }
    --m_remaining;
    m_msgTimer->setText(m_remaining >= kDaySeconds ? QString() : CCommon::FormatDuration(m_remaining));
}

void CRelaxShowWindow::PictureTick()
{
    m_box->setPixmap(QPixmap(CRelaxGreeting::PicturePath(CRelaxGreeting::PictureOf(CRelaxGreeting::CurrentHour()))));
}

void CRelaxShowWindow::OnClose_Click()
{
    m_countdownTimer.stop();
    hide();
    emit OnClose_Signals();
}

void CRelaxShowWindow::OnMenu_Click()
{
    MenuButton()->showMenu();
}

void CRelaxShowWindow::OnRelaxOver_Click()
{
    m_countdownTimer.stop();
    m_pictureTimer.stop();
    hide();
    emit OnClose_Signals();
}

// Esc and a close from the window manager end the countdown like its own button, so the prompt
// learns that the rest is over.
void CRelaxShowWindow::reject()
{
    OnClose_Click();
}

void CRelaxShowWindow::showEvent(QShowEvent* event)
{
    ShowAds(CRelaxAdsSlot::RelaxShow);
    CRelaxPopup::showEvent(event);
}

void CRelaxShowWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_countdownTimer.timerId())
        CountdownTick();
    else if (event->timerId() == m_pictureTimer.timerId())
        PictureTick();
    else
        CRelaxPopup::timerEvent(event);
}

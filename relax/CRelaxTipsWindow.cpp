#include "CRelaxTipsWindow.h"

#include <limits>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimerEvent>
#include <QWindow>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "core/CNoticeAccessible.h"
#include "CPopupSlider.h"
#include "CRelaxAdsSlot.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxGreeting.h"
#include "CRelaxLength.h"
#include "CRelaxShowWindow.h"
#include "CUpdateContext.h"
#include "clock.h"

namespace {
constexpr int kTickMs = 1000;
constexpr int kCountdown = 10;
constexpr int kHourSilence = 1;
constexpr int kDaySilence = 2;
constexpr int kHourSeconds = 3600;
constexpr int kContentKinds = 3;
constexpr int kMorningHour = 5;
// The reminder interval when none is stored, as the schedule has it.
constexpr int kDefaultIntervalMinutes = 5;

// How long a put-off lasts: until the next reminder, one interval later.
int PutOffMinutes()
{
    CIniSettings* settings = CIniSettings::Instance();
    const qint64 minutes = qint64(settings->GetRelaxTimerHour()) * 60 + settings->GetRelaxTimerMinute();
    return minutes <= 0 ? kDefaultIntervalMinutes : int(qMin<qint64>(minutes, std::numeric_limits<int>::max()));
}
}

CRelaxTipsWindow::CRelaxTipsWindow(QWidget* parent, QMenu* frameMenu)
    : CRelaxPopup(parent, QStringLiteral("CRelaxTipsWindow"), tr("休息提醒提示"), tr("休息提醒"),
        QStringLiteral("verticalWidget"), frameMenu)
{
    m_tips = AddLabel(QStringLiteral("label_tips"), CRelaxGreeting::GreetingOf(kMorningHour), QRect(0, 40, 280, 61));
    m_tips->setAlignment(Qt::AlignCenter);
    m_timesTips = AddLabel(QStringLiteral("label_times_tips"), QString::number(kCountdown), QRect(78, 98, 20, 16));
    m_timesTips->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddLabel(QStringLiteral("label_times_tips_msg"), tr("秒后开启提醒"), QRect(100, 98, 96, 16));
    m_box = AddLabel(QStringLiteral("label_box"), QString(), QRect(45, 120, 190, 130));
    m_box->setScaledContents(true);
    ShowPicture(CRelaxGreeting::PictureOf(kMorningHour));
    QPushButton* start = AddButton(QStringLiteral("btn_click_start_relax"), tr("我要休息"), QRect(95, 272, 90, 30));
    QPushButton* putOff = AddButton(QStringLiteral("btn_click_start_norelax"), tr("暂不休息"), QRect(95, 304, 90, 30));

    connect(CloseButton(), &QPushButton::clicked, this, &CRelaxTipsWindow::OnClose_Click);
    connect(putOff, &QPushButton::clicked, this, &CRelaxTipsWindow::OnClose_Click);
    connect(MenuButton(), &QPushButton::clicked, this, &CRelaxTipsWindow::OnMenu_Click);
    connect(start, &QPushButton::clicked, this, &CRelaxTipsWindow::OnStartRelax_Click);
}

bool CRelaxTipsWindow::HasOpenRestWindows()
{
    if (m_fullShowDeletePending) {
        m_fullShowDeletePending = false;
        qDeleteAll(m_fullShowWindows);
        m_fullShowWindows.clear();
    }
    return !m_fullShowWindows.isEmpty() || !m_showWindows.isEmpty();
}

void CRelaxTipsWindow::PrepareShow()
{
    m_countdownTimer.start(kTickMs, Qt::CoarseTimer, this);
    m_countdown = CIniSettings::Instance()->GetRelaxFullStatus() != 0 ? CRelaxLength::CountdownSeconds() : kCountdown;
    m_timesTips->setText(QString::number(m_countdown));
    Slider()->Start();
}

bool CRelaxTipsWindow::ShowReminder()
{
    if (!isHidden() || HasOpenRestWindows())
        return false;
    PrepareShow();
    show();
    return true;
}

int CRelaxTipsWindow::Countdown() const
{
    return m_countdown;
}

void CRelaxTipsWindow::CountdownTick()
{
    if (m_countdown <= 0) {
        m_countdownTimer.stop();
        OnStartRelax_Click();
        return;
    }
    --m_countdown;
    m_timesTips->setText(QStringLiteral("%1").arg(m_countdown));
}

void CRelaxTipsWindow::GreetingTick()
{
    const int hour = CRelaxGreeting::CurrentHour();
    m_tips->setText(CRelaxGreeting::GreetingOf(hour));
    ShowPicture(CRelaxGreeting::PictureOf(hour));
}

void CRelaxTipsWindow::ShowPicture(int picture)
{
    // The tick runs every second for the whole run, mostly with the prompt hidden: decoding the
    // same picture again each time would cost time and a fresh copy of it.
    if (picture == m_picture)
        return;
    m_picture = picture;
    m_box->setPixmap(QPixmap(CRelaxGreeting::PicturePath(picture)));
}

QList<CRelaxFullShowWindow*> CRelaxTipsWindow::FullShowWindows() const
{
    return m_fullShowWindows;
}

QList<CRelaxShowWindow*> CRelaxTipsWindow::ShowWindows() const
{
    return m_showWindows;
}

stRestData::Kind CRelaxTipsWindow::RestKind()
{
    return CIniSettings::Instance()->GetRelaxFullStatus() != 0 ? stRestData::FullScreen : stRestData::Popup;
}

void CRelaxTipsWindow::OnClose_Click()
{
    m_countdownTimer.stop();
    if (isVisible())
        emit RestEnded(RestKind(), stRestData::Postponed, PutOffMinutes());
    emit OnClose_Signals();
    // Gone before the report, which may wait for the network: a click meanwhile would start the
    // rest the user is putting off.
    hide();
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("pauserelax"));
}

// Esc and a close from the window manager put the rest off, as the close button does.
void CRelaxTipsWindow::reject()
{
    OnClose_Click();
}

void CRelaxTipsWindow::OnMenu_Click()
{
    MenuButton()->showMenu();
}

void CRelaxTipsWindow::OnStartRelax_Click()
{
    m_countdownTimer.stop();
    // The user who started the rest here, by key or click, goes on with the keyboard in the rest
    // window; a rest that starts by itself leaves the keyboard where it is.
    const bool userStarted = isActiveWindow();
    if (CIniSettings::Instance()->GetRelaxFullStatus() != 0)
        OnRelaxFullShow();
    else
        OnRelaxShow();
    hide();
    if (userStarted) {
        QWidget* rest = m_fullShowWindows.isEmpty() ? static_cast<QWidget*>(m_showWindows.value(0))
                                                    : m_fullShowWindows.first();
        if (rest)
            rest->activateWindow();
    }
}

bool CRelaxTipsWindow::FullShowAllowed()
{
    CIniSettings* settings = CIniSettings::Instance();
    const int silence = settings->GetRelaxFullShowType();
    const qint64 since = settings->GetRelaxFullShowClickTimer();
    bool holds;
    if (silence == kHourSilence)
        holds = CClock::Now() - since < kHourSeconds;
    else if (silence == kDaySilence)
        // The whole date counts: the same day of the next month is another day.
        holds = QDateTime::fromSecsSinceEpoch(since).date() == CClock::LocalNow().date();
    else
        return true;
    if (!holds) {
        settings->SetRelaxFullShowType(0);
        settings->SetRelaxFullShowClickTimer(0);
    }
    return false;
}

void CRelaxTipsWindow::OnRelaxFullShow()
{
    if (!FullShowAllowed()) {
        emit RestEnded(stRestData::FullScreen, stRestData::Skipped, 0);
        return;
    }
    const QList<QScreen*> screens = QGuiApplication::screens();
    const int kind = CCommon::Random(kContentKinds);
    if (screens.size() <= m_fullShowWindows.size())
        return;
    m_restEndTold = false;
    for (QScreen* screen : screens) {
        auto* window = new CRelaxFullShowWindow(this, FrameMenu());
        m_fullShowWindows.append(window);
        window->SetContentKind(kind);
        // The geometry alone does not reach a screen with a root window of its own.
        window->createWinId();
        window->windowHandle()->setScreen(screen);
        window->setGeometry(screen->geometry());
        window->show();
        const auto closed = [this, window] { OnRestWindowClosed(stRestData::FullScreen, window->Remaining()); };
        connect(window, &CRelaxFullShowWindow::OnClose_Signals, this, closed);
        connect(window, &CRelaxFullShowWindow::OnDeleteLater_Signals, this, closed);
        connect(window, &CRelaxFullShowWindow::OnClose_Signals, this, &CRelaxTipsWindow::OnRelaxFullShowClose);
        connect(window, &CRelaxFullShowWindow::OnDeleteLater_Signals, this, &CRelaxTipsWindow::OnRelaxFullShowDeleteLater);
    }
}

void CRelaxTipsWindow::OnRelaxFullShowClose()
{
    for (CRelaxFullShowWindow* window : qAsConst(m_fullShowWindows))
        window->deleteLater();
    m_fullShowWindows.clear();
}

void CRelaxTipsWindow::OnRelaxShow()
{
    auto* window = new CRelaxShowWindow(this, FrameMenu());
    m_restEndTold = false;
    m_showWindows.append(window);
    window->show();
    window->Slider()->Start();
    connect(window, &CRelaxShowWindow::OnClose_Signals, this,
        [this, window] { OnRestWindowClosed(stRestData::Popup, window->Remaining()); });
    connect(window, &CRelaxShowWindow::OnClose_Signals, this, &CRelaxTipsWindow::OnRelaxShowClose);
}

void CRelaxTipsWindow::OnRestWindowClosed(stRestData::Kind kind, int remaining)
{
    // The other screens' windows close later, or stay open after a feedback click; their own
    // countdowns may still end.
    if (m_restEndTold)
        return;
    m_restEndTold = true;
    emit RestEnded(kind, remaining <= 0 ? stRestData::Taken : stRestData::EndedEarly, 0);
}

void CRelaxTipsWindow::OnRelaxShowClose()
{
    for (CRelaxShowWindow* window : qAsConst(m_showWindows))
        window->deleteLater();
    m_showWindows.clear();
}

void CRelaxTipsWindow::OnRelaxFullShowDeleteLater()
{
    m_fullShowDeletePending = true;
}

// The greeting follows the hour only while someone can see it: the hidden prompt lives as long
// as the program and must not wake it every second.
void CRelaxTipsWindow::showEvent(QShowEvent* event)
{
    GreetingTick();
    m_greetingTimer.start(kTickMs, Qt::CoarseTimer, this);
    ShowAds(CRelaxAdsSlot::RelaxTips);
    CNoticeAccessible::Announce(this, m_tips->text() + QLatin1Char(' ')
            + tr("%1秒后开启提醒").arg(m_countdown));
    CRelaxPopup::showEvent(event);
}

void CRelaxTipsWindow::hideEvent(QHideEvent* event)
{
    m_greetingTimer.stop();
    CRelaxPopup::hideEvent(event);
}

void CRelaxTipsWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_countdownTimer.timerId())
        CountdownTick();
    else if (event->timerId() == m_greetingTimer.timerId())
        GreetingTick();
    else
        CRelaxPopup::timerEvent(event);
}

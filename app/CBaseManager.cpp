#include "CBaseManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <QWindow>

#include "CAdsWidget.h"
#include "CCommandWords.h"
#include "CConsiderateGate.h"
#include "core/CCommon.h"
#include "CDrinkNowWindow.h"
#include "CDrinkStatistics.h"
#include "CDrinkTotalRecord.h"
#include "CDrinksSettingsWindow.h"
#include "CDrinksWindow.h"
#include "CEyeshieldWindow.h"
#include "core/CIniSettings.h"
#include "core/CKeyboardAccess.h"
#include "CMainWindow.h"
#include "CMenuObject.h"
#include "CPageEscape.h"
#include "core/CPanelShadow.h"
#include "core/CMessageShow.h"
#include "CRelaxSettingsWindow.h"
#include "CRelaxTipsWindow.h"
#include "CRestHistory.h"
#include "CStatusLine.h"
#include "CSystemTray.h"
#include "core/CSystemUtil.h"
#include "CUpdateContext.h"
#include "camerawatcher.h"
#include "clock.h"
#include "donotdisturbwatcher.h"
#include "fullscreenwatcher.h"
#include "heap.h"
#include "idleinhibitwatcher.h"
#include "idlemonitor.h"
#include "instancechannel.h"
#include "keyboardwatcher.h"
#include "microphonewatcher.h"
#include "powermonitor.h"
#include "sessionlockmonitor.h"
#include "sessionmonitor.h"

namespace {
constexpr int kTickMs = 1000;
constexpr int kAdsSlot = 1;
// The advertisement strip and the head bar: the parts of the frame that move it.
constexpr int kDragAreaHeight = 115;
const QString kProgramName = QStringLiteral("Rezovuvove");
}

CBaseManager::CBaseManager(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_startTime(CClock::Now())
    , m_tick(*this, m_startTime)
{
    BuildWindow();

    m_systemTray = new CSystemTray(this);
    // Esc on a page goes back home, as the back button does.
    m_pageEscape = new CPageEscape(this);
    connect(m_pageEscape, &CPageEscape::Escaped, this, &CBaseManager::OnBack_Click);
    m_eyeshieldWindow = new CEyeshieldWindow(this);
    AddPage(m_eyeshieldWindow);
    // The drink settings page is built when it is first asked for; what it would store at once,
    // the reminders and the history need from the start.
    CDrinksSettingsWindow::StoreDefaults();
    // Drinks an earlier run could not write go to the history file now, not when it is shown.
    CDrinkStatistics::ResumeUnsavedDrinks();

    ConnectSignals();
    // Shown by start-up according to the launch word: showing here and hiding after would
    // flash the window on a start that is meant to stay in the tray.
    m_systemTray->show();
    m_tickTimerId = startTimer(kTickMs, Qt::CoarseTimer);
}

bool CBaseManager::PrepareFirstShow()
{
    CCommon::Instance()->ProgramIcon();
    // The head's and the home page's pictures wait in Qt's pixmap cache, where the style sheet
    // looks first.
    bool allFound = true;
    for (const char* name : {"head", "logo", "btn_close", "btn_menu", "main_bg", "home_drinks", "home_relax",
             "home_eyeshield"}) {
        QPixmap picture;
        allFound &= picture.load(QStringLiteral(":/Resources/Skin/Verd/%1.png").arg(QLatin1String(name)));
    }
    // Opening the fonts of the head's title and of the pages' texts is most of a first layout.
    QFont font(QStringLiteral("Microsoft YaHei"));
    for (const auto& [pixels, weight] : {std::pair{12, QFont::Normal}, std::pair{13, QFont::Bold}}) {
        font.setPixelSize(pixels);
        font.setWeight(weight);
        QFontMetrics(font).horizontalAdvance(kProgramName + tr("喝水提醒设置"));
    }
    return allFound;
}

CBaseManager::~CBaseManager()
{
    if (m_tickTimerId)
        killTimer(m_tickTimerId);
}

void CBaseManager::BuildWindow()
{
    setObjectName(QStringLiteral("CBaseManager"));
    resize(290, 450);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setWindowTitle(kProgramName);

    auto* layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(5, 5, 5, 5);

    auto* adsArea = new QWidget(this);
    adsArea->setObjectName(QStringLiteral("verticalWidget"));
    adsArea->setMinimumHeight(80);
    auto* adsLayout = new QVBoxLayout(adsArea);
    adsLayout->setObjectName(QStringLiteral("verticalLayout_2"));
    adsLayout->setContentsMargins(0, 0, 0, 0);
    m_adsWidget = new CAdsWidget(adsArea);
    m_adsWidget->setObjectName(QStringLiteral("adsWidget"));
    m_adsWidget->hide();
    adsLayout->addWidget(m_adsWidget);
    layout->addWidget(adsArea);

    auto* main = new QWidget(this);
    main->setObjectName(QStringLiteral("Main"));
    CPanelShadow::Attach(main);
    auto* mainLayout = new QVBoxLayout(main);
    mainLayout->setObjectName(QStringLiteral("MainLayout"));
    mainLayout->setSpacing(0);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(main);

    auto* head = new QVBoxLayout;
    head->setObjectName(QStringLiteral("Head"));
    head->setSpacing(0);
    m_headPanel = new QWidget(main);
    m_headPanel->setObjectName(QStringLiteral("Head_Panel"));
    m_headPanel->setMinimumHeight(32);
    m_headPanel->setMouseTracking(false);
    m_headPanel->setAttribute(Qt::WA_StyledBackground);
    head->addWidget(m_headPanel);
    mainLayout->addLayout(head);

    m_btnClose = new QPushButton(m_headPanel);
    m_btnClose->setObjectName(QStringLiteral("btn_close"));
    m_btnClose->setGeometry(256, 8, 16, 16);
    m_btnClose->setFixedSize(16, 16);
    m_btnClose->setFont(QFont(QStringLiteral("Arial"), 10, QFont::Normal));
    m_btnClose->setToolTip(tr("最小化"));
    m_btnClose->setStatusTip(tr("最小化"));
    m_btnMenu = new QPushButton(m_headPanel);
    m_btnMenu->setObjectName(QStringLiteral("btn_menu"));
    m_btnMenu->setGeometry(232, 8, 16, 16);
    m_btnMenu->setFixedSize(16, 16);
    m_btnBack = new QCheckBox(m_headPanel);
    m_btnBack->setObjectName(QStringLiteral("btn_backmain"));
    m_btnBack->setGeometry(10, 8, 165, 16);
    m_btnBack->setText(kProgramName);

    auto* body = new QVBoxLayout;
    body->setObjectName(QStringLiteral("Body"));
    body->setSpacing(0);
    m_bodyPanel = new QStackedWidget(main);
    m_bodyPanel->setObjectName(QStringLiteral("Body_Panel"));
    body->addWidget(m_bodyPanel);
    mainLayout->addLayout(body);
}

void CBaseManager::AddPage(QWidget* page)
{
    m_bodyPanel->addWidget(page);
    m_pageEscape->Watch(page);
}

template <class Page>
Page* CBaseManager::EnsurePage(QPointer<Page>& page)
{
    if (!page) {
        page = new Page(this);
        AddPage(page);
    }
    return page;
}

void CBaseManager::ReleasePages()
{
    for (QWidget* page : std::initializer_list<QWidget*>{m_mainWindow, m_drinksSettingsWindow,
             m_relaxSettingsWindow, m_drinkTotalRecord, m_drinkNowWindow}) {
        if (!page)
            continue;
        m_bodyPanel->removeWidget(page);
        page->deleteLater();
        m_cachesToRelease = true;
    }
    m_mainWindow = nullptr;
    m_drinksSettingsWindow = nullptr;
    m_relaxSettingsWindow = nullptr;
    m_drinkTotalRecord = nullptr;
    m_drinkNowWindow = nullptr;
}

void CBaseManager::ReleaseFinishedPopups()
{
    if (m_drinksWindow && m_drinksWindow->isHidden()) {
        m_drinksWindow->deleteLater();
        m_drinksWindow = nullptr;
        m_cachesToRelease = true;
    }
    if (m_relaxTipsWindow && m_relaxTipsWindow->isHidden() && !m_relaxTipsWindow->HasOpenRestWindows()) {
        m_relaxTipsWindow->deleteLater();
        m_relaxTipsWindow = nullptr;
        m_cachesToRelease = true;
    }
}

void CBaseManager::ReleaseCaches()
{
    // The pictures the released windows' styles loaded stay in Qt's pixmap cache, and their
    // memory with the allocator, until each is told.
    if (m_cachesToRelease)
        QPixmapCache::clear();
    // Building, polishing and painting a page frees far more than the page keeps, in blocks
    // spread over the heap that the allocator keeps for reuse.
    if (m_cachesToRelease || m_pageChanged)
        Heap::ReturnFreed();
    m_cachesToRelease = false;
    m_pageChanged = false;
}

void CBaseManager::ConnectSignals()
{
    connect(m_bodyPanel, &QStackedWidget::currentChanged, this, &CBaseManager::OnBodyPanelChanged);

    CCommon* common = CCommon::Instance();
    connect(common, &CCommon::SwitchDrinksSettings_PanelSignal, this, &CBaseManager::OnDrinksSettings_Click);
    connect(common, &CCommon::SwitchDrinksRecord_PanelSignal, this, &CBaseManager::OnDrinksRecord_Click);
    connect(common, &CCommon::SwitchEyeshieldWindow_PanelSignal, this, &CBaseManager::OnEyeshield_Click);
    connect(common, &CCommon::SwitchRelaxSettings_PanelSignal, this, &CBaseManager::OnRelaxSettings_Click);
    connect(common, &CCommon::SwitchDrinkNow_PanelSignal, this, &CBaseManager::OnDrinkNow_Click);
    connect(common, &CCommon::SwitchMain_PanelSignal, this, &CBaseManager::OnBack_Click);
    if (CInstanceChannel* channel = common->InstanceChannel())
        connect(channel, &CInstanceChannel::CommandReceived, this, &CBaseManager::OnInstanceCommand);

    connect(m_btnClose, &QPushButton::clicked, this, &CBaseManager::OnClose_Click);
    connect(m_btnBack, &QCheckBox::clicked, this, &CBaseManager::OnBack_Click);
    connect(m_btnMenu, &QPushButton::clicked, this, &CBaseManager::OnMenu_Click);
    for (QWidget* button : std::initializer_list<QWidget*>{m_btnClose, m_btnMenu, m_btnBack})
        button->installEventFilter(this);
    // The menu is a window of its own: inside the shadowed panel's tree, rows repainted after a
    // page with pop-up lists was shown came out smeared by the panel's shadow.
    m_btnMenu->setMenu(CMenuObject::Instance()->ShowTopMenu());
    CKeyboardAccess::Button(m_btnMenu, tr("菜单"));
    CKeyboardAccess::Button(m_btnClose, tr("最小化"));
    // The head is read as it stands, left to right: back, menu, minimise; the page follows.
    setTabOrder(m_btnBack, m_btnMenu);
    setTabOrder(m_btnMenu, m_btnClose);

    connect(m_systemTray, &QSystemTrayIcon::activated, this, &CBaseManager::OnActivatedTray);
    connect(m_systemTray, &CSystemTray::OnDrinksAct_Signals, this, &CBaseManager::OnDrinksSettings_Click);
    connect(m_systemTray, &CSystemTray::OnDrinksNowAct_Signals, this, &CBaseManager::OnDrinkNow_Click);
    connect(m_systemTray, &CSystemTray::OnDrinksScoreAct_Signals, this, &CBaseManager::OnDrinksRecord_Click);
    connect(m_systemTray, &CSystemTray::OnRelaxAct_Signals, this, &CBaseManager::OnRelaxSettings_Click);
    connect(m_systemTray, &CSystemTray::OnEyeshieldAct_Signals, this, &CBaseManager::OnEyeshield_Click);
    connect(m_systemTray, &CSystemTray::OnFeedBackAct_Signals, CMenuObject::Instance(), &CMenuObject::OnMenuFeedbackAct_Click);
    connect(m_systemTray, &CSystemTray::OnUpdateAct_Signals, CMenuObject::Instance(), &CMenuObject::OnMenuUpdateAct_Click);
    connect(m_systemTray, &CSystemTray::OnQuitAct_Signals, this, &CBaseManager::OnExit_Click);

    // A screen that slept, or that another session had, may come back without its ramps.
    auto* power = new CPowerMonitor(this);
    connect(power, &CPowerMonitor::Suspending, this, [this] { m_tick.SetSuspended(true); });
    connect(power, &CPowerMonitor::Resumed, this, [this] { m_tick.SetSuspended(false); });
    connect(power, &CPowerMonitor::Resumed, common, &CCommon::ReapplyTint);
    auto* session = new CSessionMonitor(this);
    connect(session, &CSessionMonitor::Activated, common, &CCommon::ReapplyTint);
    WatchScreens();
    WatchUser();
}

void CBaseManager::WatchUser()
{
    // Drawn off screen, the frame has no user in front of it to wait for.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    m_considerateGate = new CConsiderateGate(this);
    m_considerateGate->Watch(new CFullscreenWatcher(this), new CIdleMonitor(CConsiderateGate::AwayAfterSecs, this),
        new CSessionLockMonitor(this));
    m_considerateGate->WatchMeetings(new CDoNotDisturbWatcher(this), new CIdleInhibitWatcher(this),
        new CCameraWatcher(QStringLiteral("/dev"), this), new CMicrophoneWatcher(this));
    m_considerateGate->WatchTyping(new CKeyboardWatcher(this));
    connect(m_considerateGate, &CConsiderateGate::RestTaken, this,
        [this](qint64 returned) { m_tick.RestTaken(returned); });
    m_tick.SetGate(m_considerateGate);
    // Screen time needs someone in front of the screen, and the gate to tell when they are away.
    m_tick.SetRestHistory(CRestHistory::Instance());
}

void CBaseManager::WatchScreens()
{
    // Any change of the monitors restarts the program, so every window is laid out afresh.
    auto restart = [] { CCommon::Instance()->RestartApplication(); };
    auto watch = [this, restart](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, restart);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, restart);
    connect(qApp, &QGuiApplication::screenRemoved, this, restart);
}

void CBaseManager::SetLaunchSource(int source)
{
    m_tick.SetLaunchSource(source);
}

int CBaseManager::LaunchSource() const
{
    return m_tick.LaunchSource();
}

CSystemTray* CBaseManager::SystemTray() const
{
    return m_systemTray;
}

CMainTick& CBaseManager::Tick()
{
    return m_tick;
}

void CBaseManager::ReportFeatureStates()
{
    CIniSettings* settings = CIniSettings::Instance();
    CUpdateContext* reporter = CUpdateContext::Instance();
    if (settings->GetDrinksStatus() != 0)
        reporter->ReportEvent(QStringLiteral("drinks_tips_status"));
    if (settings->GetRelaxStatus() != 0)
        reporter->ReportEvent(QStringLiteral("relax_tips_status"));
    if (settings->GetRelaxFullStatus() != 0)
        reporter->ReportEvent(QStringLiteral("relax_tips_full_status"));
    if (settings->GetEyeshieldStatus() != 0)
        reporter->ReportEvent(QStringLiteral("eyeshield_status"));
    static const char* const modeEvents[] = {"eyeshield_automatic", "eyeshield_working", "eyeshield_game",
        "eyeshield_player", "eyeshield_custom"};
    const int mode = settings->GetEyeshieldMode();
    if (mode >= 1 && mode <= 5)
        reporter->ReportEvent(QLatin1String(modeEvents[mode - 1]));
}

void CBaseManager::WakeUp()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void CBaseManager::OnInstanceCommand(const QByteArray& command)
{
    if (command == "wake") {
        WakeUp();
    } else if (command == "hide-tray") {
        m_systemTray->hide();
    } else if (CCommandWords::IsCommand(QString::fromUtf8(command.split(' ').constFirst()))) {
        if (CInstanceChannel* channel = CCommon::Instance()->InstanceChannel())
            channel->Answer(CarryOut(CCommandWords::FromLine(command)));
    }
}

QByteArray CBaseManager::CarryOut(const CCommandWords& words)
{
    if (!words.Error().isEmpty())
        return CCommandWords::AnswerLine(false, words.Error());
    CIniSettings* settings = CIniSettings::Instance();
    bool tints = false;
    switch (words.Which()) {
    case CCommandWords::Action::EyeOn:
        m_eyeshieldWindow->SwitchTo(true);
        tints = true;
        break;
    case CCommandWords::Action::EyeOff:
        m_eyeshieldWindow->SwitchTo(false);
        break;
    case CCommandWords::Action::EyeStrength:
        m_eyeshieldWindow->FadeToStrength(words.Number());
        tints = true;
        break;
    case CCommandWords::Action::EyeStep:
        m_eyeshieldWindow->FadeToStrength(qBound(0, m_eyeshieldWindow->Strength() + words.Number(), 100));
        tints = true;
        break;
    case CCommandWords::Action::RestNow:
        return RestNow();
    case CCommandWords::Action::Pause:
        settings->SetPausedUntil(CClock::Now() + qint64(words.Number()) * 60);
        break;
    case CCommandWords::Action::Resume:
        settings->SetPausedUntil(0);
        break;
    case CCommandWords::Action::Status:
    case CCommandWords::Action::Unknown:
        break;
    }
    // The choice is kept, as the page keeps it, but a screen left as it was is no success.
    const QString unsupported = tints ? CCommon::Instance()->UnsupportedTintText() : QString();
    const QString status = CStatusLine::Text(m_eyeshieldWindow->Strength(), CClock::Now(), unsupported);
    return CCommandWords::AnswerLine(unsupported.isEmpty(), status);
}

QByteArray CBaseManager::RestNow()
{
    if (!m_relaxTipsWindow)
        m_relaxTipsWindow = new CRelaxTipsWindow(this, m_btnMenu->menu());
    if (m_relaxTipsWindow->HasOpenRestWindows())
        return CCommandWords::AnswerLine(true, tr("休息正在进行"));
    m_relaxTipsWindow->OnStartRelax_Click();
    if (!m_relaxTipsWindow->HasOpenRestWindows())
        return CCommandWords::AnswerLine(false, tr("全屏休息已设为暂不显示"));
    // The rest is taken now: the next one comes a full interval later.
    m_tick.RestTaken(CClock::Now());
    return CCommandWords::AnswerLine(true, tr("休息开始了"));
}

void CBaseManager::OnBodyPanelChanged(int Id)
{
    QWidget* page = m_bodyPanel->widget(Id);
    m_pageChanged = true;
    if (page == m_mainWindow) {
        m_btnBack->setText(kProgramName);
        m_btnBack->setObjectName(QStringLiteral("btn_backmain"));
        m_btnBack->setFocusPolicy(Qt::NoFocus);
        m_btnBack->setAccessibleName(QString());
        m_btnBack->setAccessibleDescription(QString());
        m_headPanel->setProperty("page", QStringLiteral("home"));
    } else {
        if (page == m_drinksSettingsWindow)
            m_btnBack->setText(tr("喝水提醒设置"));
        else if (page == m_eyeshieldWindow)
            m_btnBack->setText(tr("防蓝光设置"));
        else if (page == m_relaxSettingsWindow)
            m_btnBack->setText(tr("休息提醒设置"));
        else if (page == m_drinkTotalRecord)
            m_btnBack->setText(tr("喝水成绩"));
        else if (page == m_drinkNowWindow)
            m_btnBack->setText(tr("立刻喝水"));
        m_btnBack->setObjectName(QStringLiteral("btn_back"));
        m_btnBack->setFocusPolicy(Qt::TabFocus);
        m_btnBack->setAccessibleName(tr("返回首页"));
        m_btnBack->setAccessibleDescription(m_btnBack->text());
        // A light head, on which the head's own buttons turn dark.
        m_headPanel->setProperty("page", QStringLiteral("sub"));
    }
    // The application style sheet addresses the head's buttons by the object name just set. A
    // frame not shown yet is polished once, when it is first shown.
    if (!testAttribute(Qt::WA_WState_Polished))
        return;
    for (QWidget* widget : std::initializer_list<QWidget*>{m_headPanel, m_btnBack, m_btnClose, m_btnMenu}) {
        widget->style()->unpolish(widget);
        widget->style()->polish(widget);
    }
    activateWindow();
    repaint();
}

void CBaseManager::ShowIfInactive()
{
    if (!isActiveWindow())
        show();
}

void CBaseManager::ShowPage(QWidget* page)
{
    ShowIfInactive();
    m_bodyPanel->setCurrentWidget(page);
}

void CBaseManager::ShowHome()
{
    ShowIfInactive();
    m_bodyPanel->setCurrentWidget(EnsurePage(m_mainWindow));
}

void CBaseManager::OnClose_Click()
{
    ShowHome();
    if (isActiveWindow()) {
        hide();
        // The closed frame may stay in the tray for days: its window and the shared-memory back
        // buffer behind it (about half a MiB) are let go and made anew by the next show. The
        // position is pinned first, so that the new window opens where this one was.
        move(pos());
        destroy(true, false);
        ReleasePages();
    }
}

void CBaseManager::OnBack_Click()
{
    if (IsDrinksSettingsCurrent())
        m_drinksSettingsWindow->RefreshNextReminder();
    else if (IsRelaxSettingsCurrent())
        m_relaxSettingsWindow->RefreshSchedule();
    ShowHome();
}

void CBaseManager::OnMenu_Click()
{
    m_btnMenu->showMenu();
}

void CBaseManager::OnMain_Click()
{
    ShowHome();
}

void CBaseManager::OnDrinksRecord_Click()
{
    ShowPage(EnsurePage(m_drinkTotalRecord));
}

void CBaseManager::OnDrinksSettings_Click()
{
    ShowIfInactive();
    EnsurePage(m_drinksSettingsWindow)->LoadSettings();
    m_bodyPanel->setCurrentWidget(m_drinksSettingsWindow);
}

void CBaseManager::OnRelaxSettings_Click()
{
    ShowIfInactive();
    EnsurePage(m_relaxSettingsWindow)->LoadSettings();
    m_relaxSettingsWindow->ShowWaitReason(m_waitReason);
    m_bodyPanel->setCurrentWidget(m_relaxSettingsWindow);
}

void CBaseManager::OnDrinkNow_Click()
{
    ShowIfInactive();
    EnsurePage(m_drinkNowWindow)->OnResetSetting();
    m_bodyPanel->setCurrentWidget(m_drinkNowWindow);
    repaint();
}

void CBaseManager::OnEyeshield_Click()
{
    ShowPage(m_eyeshieldWindow);
}

void CBaseManager::OnExit_Click()
{
    CMessageShow* dialog = CMessageShow::Instance();
    dialog->SetTexts(tr("是否退出Rezovuvove？"), tr("退出后将失去提醒及防蓝光保护"));
    if (dialog->exec() == QDialog::Accepted)
        Quit();
}

void CBaseManager::Quit()
{
    CCommon::Instance()->ResetGammaRamp();
    m_systemTray->hide();
    QCoreApplication::exit(0);
}

void CBaseManager::OnRelaxTipsShow()
{
    if (!m_relaxTipsWindow) {
        m_relaxTipsWindow = new CRelaxTipsWindow(this, m_btnMenu->menu());
        connect(m_relaxTipsWindow, &CRelaxTipsWindow::RestEnded, this,
            [](stRestData::Kind kind, stRestData::Outcome outcome, int minutes) {
                CRestHistory::Instance()->Record(kind, outcome, minutes);
            });
    }
    m_relaxTipsWindow->ShowReminder();
}

void CBaseManager::OnDrinksTipsShow()
{
    if (!m_drinksWindow) {
        m_drinksWindow = new CDrinksWindow(this);
        m_drinksWindow->SetMenu(m_btnMenu->menu());
    }
    // A reminder that comes while the pop-up is open leaves it as the user has it.
    if (m_drinksWindow->isHidden()) {
        m_drinksWindow->OnResetSetting();
        m_drinksWindow->show();
    }
}

void CBaseManager::OnActivatedTray(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        WakeUp();
}

bool CBaseManager::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QWidget*>(watched))
            button->setCursor(Qt::PointingHandCursor);
    }
    return QWidget::eventFilter(watched, event);
}

void CBaseManager::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_tickTimerId)
        return;
    ReleaseCaches();
    m_tick.Run();
    ReleaseFinishedPopups();
}

void CBaseManager::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton) {
        m_dragOffset = event->globalPos() - pos();
        if (m_dragOffset.y() < kDragAreaHeight && windowHandle())
            windowHandle()->startSystemMove();
    }
    event->ignore();
}

void CBaseManager::setVisible(bool visible)
{
    if (visible && !m_mainWindow)
        m_bodyPanel->setCurrentWidget(EnsurePage(m_mainWindow));
    QWidget::setVisible(visible);
}

void CBaseManager::showEvent(QShowEvent* event)
{
    m_adsWidget->ShowSlot(kAdsSlot);
    QWidget::showEvent(event);
}

bool CBaseManager::IsDrinksRecordCurrent() const
{
    return m_drinkTotalRecord && m_bodyPanel->currentWidget() == m_drinkTotalRecord;
}

bool CBaseManager::IsDrinksSettingsCurrent() const
{
    return m_drinksSettingsWindow && m_bodyPanel->currentWidget() == m_drinksSettingsWindow;
}

bool CBaseManager::IsRelaxSettingsCurrent() const
{
    return m_relaxSettingsWindow && m_bodyPanel->currentWidget() == m_relaxSettingsWindow;
}

void CBaseManager::PlayPromptSound(int kind)
{
    CSystemUtil::Instance()->PlayPromptSound(kind);
}

void CBaseManager::RefreshDrinksSettings()
{
    if (m_drinksSettingsWindow)
        m_drinksSettingsWindow->RefreshNextReminder();
}

void CBaseManager::RefreshRelaxSettings()
{
    if (m_relaxSettingsWindow)
        m_relaxSettingsWindow->RefreshSchedule();
}

void CBaseManager::ShowWaitReason(const QString& reason)
{
    m_waitReason = reason;
    m_systemTray->setToolTip(reason.isEmpty() ? kProgramName : kProgramName + QLatin1Char('\n') + reason);
    if (m_relaxSettingsWindow)
        m_relaxSettingsWindow->ShowWaitReason(reason);
}

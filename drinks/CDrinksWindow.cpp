#include "CDrinksWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimerEvent>
#include <QWindow>

#include "CAdsWidget.h"
#include "core/CCommon.h"
#include "CDrinkForm.h"
#include "core/CKeyboardAccess.h"
#include "core/CNoticeAccessible.h"
#include "core/CPanelShadow.h"
#include "CUpdateContext.h"

namespace {
constexpr int kAdsSlot = 2;
// The reminder's cup rises a little faster than the page's, whose cup is one pixel shorter.
constexpr float kHeightFactor = 114.03f;
// The pop-up keeps this far from the right edge and this far below the bottom edge while rising.
constexpr int kRightGap = 20;
constexpr int kBottomGap = 5;

const QString kWindowStyle = QStringLiteral(R"(
#verticalWidget { background-color: #FFFFFF; border-radius: 4px; }
#TopWidget { border-image: url(:/Resources/Skin/Verd/head.png); }
#TopWidget #label_logo { border-image: url(:/Resources/Skin/Verd/logo.png); }
#TopWidget #label_name { color: #FFFFFF; font-size: 13px; font-weight: bold; }
#TopWidget #btn_close { border: none; border-image: url(:/Resources/Skin/Verd/btn_close.png); }
#TopWidget #btn_close:hover { border-image: url(:/Resources/Skin/Verd/btn_close_hover.png); }
#TopWidget #btn_close:focus { border-image: none; border: 1px solid #FFFFFF; border-radius: 3px;
    image: url(:/Resources/Skin/Verd/btn_close_hover.png); }
#TopWidget #btn_menu { border: none; border-image: url(:/Resources/Skin/Verd/btn_menu.png); }
#TopWidget #btn_menu:hover { border-image: url(:/Resources/Skin/Verd/btn_menu_hover.png); }
#TopWidget #btn_menu:focus { border-image: none; border: 1px solid #FFFFFF; border-radius: 3px;
    image: url(:/Resources/Skin/Verd/btn_menu_hover.png); }
#TopWidget #btn_menu::menu-indicator { image: none; width: 0px; }
)");
}

CDrinksWindow::CDrinksWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("CDrinksWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    // A reminder must not take the keyboard from what the user is typing elsewhere: a key
    // meant for another window would land in the amount field or press a button here.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("喝水提醒"));
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    resize(290, 450);
    setStyleSheet(kWindowStyle);

    auto* adsArea = new QWidget(this);
    adsArea->setObjectName(QStringLiteral("adsArea"));
    adsArea->setGeometry(5, 5, 280, 80);
    m_adsWidget = new CAdsWidget(adsArea);
    m_adsWidget->setObjectName(QStringLiteral("adsWidget"));
    m_adsWidget->hide();

    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("verticalWidget"));
    content->setGeometry(5, 85, 280, 360);
    content->setAttribute(Qt::WA_StyledBackground);
    CPanelShadow::Attach(content);
    BuildTopBar(content);
    m_form = new CDrinkForm(content, 0, kHeightFactor, 45);

    connect(m_form->NumberEdit(), &QLineEdit::textEdited, this, &CDrinksWindow::OnTextEdited);
    connect(m_form->NoDrinksButton(), &QPushButton::clicked, this, &CDrinksWindow::OnNoDrinks_Click);
    connect(m_btnClose, &QPushButton::clicked, this, &CDrinksWindow::OnClose_Click);
    connect(m_form->RecordButton(), &QPushButton::clicked, this, &CDrinksWindow::OnRecord_Click);
    connect(m_form->DrinksButton(), &QPushButton::clicked, this, &CDrinksWindow::OnDrinks_Click);
    connect(m_form->Slider(), &QSlider::valueChanged, this, &CDrinksWindow::OnSliderValueChanged);
    connect(m_btnMenu, &QPushButton::clicked, this, &CDrinksWindow::OnMenu_Click);
    connect(m_form, &CDrinkForm::CountdownFinished, this, &CDrinksWindow::hide);
}

void CDrinksWindow::BuildTopBar(QWidget* content)
{
    m_topWidget = new QWidget(content);
    m_topWidget->setObjectName(QStringLiteral("TopWidget"));
    m_topWidget->setGeometry(0, 0, 280, 32);
    m_topWidget->setAttribute(Qt::WA_StyledBackground);
    m_topWidget->installEventFilter(this);

    auto* logo = new QLabel(m_topWidget);
    logo->setObjectName(QStringLiteral("label_logo"));
    logo->setGeometry(10, 8, 16, 16);
    auto* name = new QLabel(tr("喝水提醒"), m_topWidget);
    name->setObjectName(QStringLiteral("label_name"));
    name->setGeometry(32, 8, 120, 16);
    for (QLabel* label : {logo, name})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_btnMenu = new QPushButton(m_topWidget);
    m_btnMenu->setObjectName(QStringLiteral("btn_menu"));
    m_btnMenu->setGeometry(232, 8, 16, 16);
    m_btnClose = new QPushButton(m_topWidget);
    m_btnClose->setObjectName(QStringLiteral("btn_close"));
    m_btnClose->setGeometry(256, 8, 16, 16);
    m_btnClose->setToolTip(tr("最小化"));
    for (QPushButton* button : {m_btnMenu, m_btnClose})
        button->setCursor(Qt::PointingHandCursor);
    CKeyboardAccess::Button(m_btnMenu, tr("菜单"));
    CKeyboardAccess::Button(m_btnClose, tr("关闭"));
}

void CDrinksWindow::SetMenu(QMenu* menu)
{
    m_btnMenu->setMenu(menu);
}

CDrinkForm* CDrinksWindow::Form() const
{
    return m_form;
}

QPoint CDrinksWindow::SlideStart(const QRect& available, const QSize& window)
{
    return QPoint(available.x() + available.width() - kRightGap - window.width(),
        available.y() + available.height() - kBottomGap);
}

QPoint CDrinksWindow::SlideEnd(const QRect& available, const QSize& window)
{
    return SlideStart(available, window) - QPoint(0, SlideRise);
}

QRect CDrinksWindow::AvailableArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void CDrinksWindow::OnResetSetting()
{
    m_form->Reset();
    m_slideArea = AvailableArea();
    move(SlideStart(m_slideArea, size()));
    m_slideStep = 0;
    m_slideTimer.start(SlideStepMs, Qt::PreciseTimer, this);
}

void CDrinksWindow::OnMenu_Click()
{
    m_btnMenu->showMenu();
}

void CDrinksWindow::OnDrinks_Click()
{
    // The slide runs on: a drink recorded while the pop-up still rises leaves it fully in view.
    m_form->Drink();
}

void CDrinksWindow::OnNoDrinks_Click()
{
    m_slideTimer.stop();
    m_form->Stop();
    // Gone before the report, which may wait for the network: a click meanwhile would record the
    // drink the user is declining.
    hide();
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("pausedrink"));
}

void CDrinksWindow::OnClose_Click()
{
    OnNoDrinks_Click();
}

// Esc and a close from the window manager decline the drink, as the close button does.
void CDrinksWindow::reject()
{
    OnClose_Click();
}

void CDrinksWindow::OnSliderValueChanged(int nIndex)
{
    m_form->Draw(nIndex);
}

void CDrinksWindow::OnTextEdited(QString text)
{
    m_form->TypeAmount(text);
}

void CDrinksWindow::OnRecord_Click()
{
    m_slideTimer.stop();
    m_form->Stop();
    emit CCommon::Instance()->SwitchDrinksRecord_PanelSignal();
    hide();
}

bool CDrinksWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_topWidget && event->type() == QEvent::MouseButtonPress)
        StartSystemMove();
    return QDialog::eventFilter(watched, event);
}

void CDrinksWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_slideTimer.timerId())
        return;
    if (m_slideStep == SlideSteps) {
        m_slideTimer.stop();
        return;
    }
    ++m_slideStep;
    if (m_slideStep <= SlideRise)
        move(SlideStart(m_slideArea, size()) - QPoint(0, m_slideStep));
}

void CDrinksWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton)
        StartSystemMove();
    event->ignore();
}

void CDrinksWindow::StartSystemMove()
{
    // A window the user takes hold of stays where it is put.
    m_slideTimer.stop();
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

void CDrinksWindow::showEvent(QShowEvent* event)
{
    m_adsWidget->ShowSlot(kAdsSlot);
    CNoticeAccessible::Announce(this, m_form->ProgressText());
    QDialog::showEvent(event);
}

void CDrinksWindow::hideEvent(QHideEvent* event)
{
    m_slideTimer.stop();
    m_slideStep = SlideSteps;
    m_form->Stop();
    QDialog::hideEvent(event);
}

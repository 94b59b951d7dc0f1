#include "CRelaxPopup.h"

#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include "CAdsWidget.h"
#include "core/CCommon.h"
#include "CPopupSlider.h"
#include "core/CKeyboardAccess.h"
#include "core/CPanelShadow.h"
#include "CRelaxStyle.h"

namespace {
constexpr int kWidth = 290;
constexpr int kHeight = 450;
const QRect kStrip(5, 5, 280, 440);
const QRect kAdsArea(0, 0, 280, 80);
const QRect kBody(0, 80, 280, 360);
}

CRelaxPopup::CRelaxPopup(QWidget* parent, const QString& objectName, const QString& title, const QString& caption,
    const QString& stripName, QMenu* frameMenu)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    setStyleSheet(CRelaxStyle::Sheet());

    auto* strip = new QWidget(this);
    strip->setObjectName(stripName);
    strip->setGeometry(kStrip);
    CPanelShadow::Attach(strip);

    m_adsWidget = new CAdsWidget(strip);
    m_adsWidget->setObjectName(QStringLiteral("adsWidget"));
    m_adsWidget->setGeometry(kAdsArea);
    m_adsWidget->hide();

    m_body = new QWidget(strip);
    m_body->setObjectName(QStringLiteral("Main"));
    m_body->setGeometry(kBody);
    m_body->setAttribute(Qt::WA_StyledBackground);
    auto* head = new QWidget(m_body);
    head->setObjectName(QStringLiteral("Head_Panel"));
    head->setGeometry(0, 0, kBody.width(), 32);
    head->setAttribute(Qt::WA_StyledBackground);

    AddLabel(QStringLiteral("label_name"), caption, QRect(10, 5, 91, 21));
    m_btnMenu = AddButton(QStringLiteral("btn_menu"), QString(), QRect(232, 8, 16, 16));
    m_btnMenu->setAccessibleName(tr("菜单"));
    SetFrameMenu(frameMenu);
    m_btnClose = AddButton(QStringLiteral("btn_close"), QString(), QRect(256, 8, 16, 16));
    m_btnClose->setAccessibleName(tr("关闭"));

    m_slider = new CPopupSlider(this);
}

CPopupSlider* CRelaxPopup::Slider() const
{
    return m_slider;
}

void CRelaxPopup::SetFrameMenu(QMenu* menu)
{
    m_frameMenu = menu;
    m_btnMenu->setMenu(menu);
}

QMenu* CRelaxPopup::FrameMenu() const
{
    return m_frameMenu;
}

QWidget* CRelaxPopup::Body() const
{
    return m_body;
}

QLabel* CRelaxPopup::AddLabel(const QString& objectName, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, m_body);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    return label;
}

QPushButton* CRelaxPopup::AddButton(const QString& objectName, const QString& text, const QRect& geometry)
{
    auto* button = new QPushButton(text, m_body);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setFixedSize(geometry.size());
    button->installEventFilter(this);
    CKeyboardAccess::Button(button);
    return button;
}

QPushButton* CRelaxPopup::MenuButton() const
{
    return m_btnMenu;
}

QPushButton* CRelaxPopup::CloseButton() const
{
    return m_btnClose;
}

void CRelaxPopup::ShowAds(int position)
{
    m_adsWidget->ShowSlot(position, kAdsArea);
}

bool CRelaxPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QPushButton*>(watched))
            button->setCursor(Qt::PointingHandCursor);
    }
    return QDialog::eventFilter(watched, event);
}

void CRelaxPopup::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && windowHandle())
        windowHandle()->startSystemMove();
    event->ignore();
}

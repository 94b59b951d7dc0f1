#include "core/CPromptDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include "core/CCommon.h"
#include "core/CKeyboardAccess.h"

CPromptDialog::CPromptDialog(const QString& objectName, const QRect& tipsGeometry, const QRect& messageGeometry)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(objectName);
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setWindowTitle(tr("提示"));
    setAttribute(Qt::WA_TranslucentBackground);
    resize(300, 180);

    auto* outer = new QVBoxLayout(this);
    outer->setObjectName(QStringLiteral("MessageShowVLayout"));
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("MessageShowPanel"));
    outer->addWidget(panel);
    auto* panelLayout = new QGridLayout(panel);
    panelLayout->setObjectName(QStringLiteral("ShowPanelLayout"));
    panelLayout->setSpacing(0);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    auto* head = new QWidget(panel);
    head->setObjectName(QStringLiteral("Head"));
    head->setFixedHeight(26);
    auto* headLayout = new QHBoxLayout(head);
    headLayout->setObjectName(QStringLiteral("HeadLayout"));
    headLayout->setSpacing(6);
    headLayout->setContentsMargins(10, 2, 8, 2);
    auto* title = new QLabel(tr("提示"), head);
    title->setObjectName(QStringLiteral("label_title"));
    headLayout->addWidget(title);
    auto* close = new QPushButton(head);
    close->setObjectName(QStringLiteral("btn_close"));
    close->setFixedSize(16, 16);
    close->setCursor(Qt::PointingHandCursor);
    CKeyboardAccess::Button(close, tr("关闭"));
    headLayout->addWidget(close);
    connect(close, &QPushButton::clicked, this, &CPromptDialog::OnClose_Click);
    panelLayout->addWidget(head, 0, 0);

    m_body = new QWidget(panel);
    m_body->setObjectName(QStringLiteral("Body"));
    panelLayout->addWidget(m_body, 1, 0);

    m_tips = new QLabel(m_body);
    m_tips->setObjectName(QStringLiteral("label_ExitTips"));
    m_tips->setGeometry(tipsGeometry);
    m_message = new QLabel(m_body);
    m_message->setObjectName(QStringLiteral("label_ExitTipsMsg"));
    m_message->setGeometry(messageGeometry);
}

void CPromptDialog::SetTexts(const QString& tips, const QString& message)
{
    m_tips->setText(tips);
    m_message->setText(message);
    repaint();
}

void CPromptDialog::OnClose_Click()
{
    close();
}

void CPromptDialog::OnYes_Click()
{
    accept();
}

void CPromptDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    for (QWidget* widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(this) && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

QWidget* CPromptDialog::Body() const
{
    return m_body;
}

QLabel* CPromptDialog::Tips() const
{
    return m_tips;
}

QPushButton* CPromptDialog::AddButton(const QString& objectName, const QString& text, const QRect& geometry)
{
    auto* button = new QPushButton(text, m_body);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    CKeyboardAccess::Button(button);
    return button;
}

void CPromptDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && windowHandle())
        windowHandle()->startSystemMove();
    event->ignore();
}

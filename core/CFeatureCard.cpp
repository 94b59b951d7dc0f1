#include "core/CFeatureCard.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimerEvent>

#include "core/CKeyboardAccess.h"

namespace {
constexpr int kRefreshMs = 2000;
}

CFeatureCard::CFeatureCard(QWidget* parent, const QString& name, const QString& panelName, const QString& picture,
    int diameter, const QRect& labelGeometry, std::function<int()> readStatus)
    : QWidget(parent, Qt::FramelessWindowHint)
    , m_readStatus(std::move(readStatus))
    , m_panelStyle(QStringLiteral("#%1 { border-image: url(%2); }").arg(panelName, picture))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(diameter, diameter);
    setAccessibleName(name);

    m_panel = new QWidget(this);
    m_panel->setObjectName(panelName);
    m_panel->setGeometry(rect());

    m_taskTips = new QLabel(m_panel);
    m_taskTips->setObjectName(QStringLiteral("label_taskTips"));
    m_taskTips->setGeometry(labelGeometry);
    m_taskTips->setAlignment(Qt::AlignCenter);
    RefreshStatus();
}

QString CFeatureCard::StatusText() const
{
    return m_taskTips->text();
}

QPushButton* CFeatureCard::AddButton(const QString& objectName, const QString& text, const QString& name,
    const QRect& geometry)
{
    auto* button = new QPushButton(text, m_panel);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setFixedSize(geometry.size());
    button->installEventFilter(this);
    CKeyboardAccess::Button(button, name);
    return button;
}

void CFeatureCard::MarkUnavailable(const QString& text, const QString& reason)
{
    m_unavailableText = text;
    m_taskTips->setToolTip(reason);
    RefreshStatus();
}

bool CFeatureCard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QPushButton*>(watched))
            button->setCursor(Qt::PointingHandCursor);
    }
    return QWidget::eventFilter(watched, event);
}

void CFeatureCard::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_refreshTimer.timerId())
        RefreshStatus();
    else
        QWidget::timerEvent(event);
}

void CFeatureCard::showEvent(QShowEvent* event)
{
    // The picture is read when the card first comes up: most times the frame is on screen, the
    // mouse never goes over the round buttons.
    if (m_panel->styleSheet().isEmpty())
        m_panel->setStyleSheet(m_panelStyle);
    RefreshStatus();
    m_refreshTimer.start(kRefreshMs, Qt::CoarseTimer, this);
    QWidget::showEvent(event);
}

void CFeatureCard::hideEvent(QHideEvent* event)
{
    m_refreshTimer.stop();
    QWidget::hideEvent(event);
}

void CFeatureCard::RefreshStatus()
{
    QString style;
    if (!m_unavailableText.isEmpty()) {
        m_taskTips->setText(m_unavailableText);
        style = QStringLiteral("color: rgba(210,230,226,1); font: bold 14px \"Microsoft YaHei\";");
    } else {
        const bool on = m_readStatus() != 0;
        m_taskTips->setText(on ? tr("已开启") : tr("未开启"));
        style = QStringLiteral("color: %1; font: bold 14px \"Microsoft YaHei\";")
                    .arg(on ? QStringLiteral("rgba(255,248,130,1)") : QStringLiteral("rgba(174,255,245,1)"));
    }
    // Qt polishes the label again for every style sheet it is given, even the one it has, and
    // the status is read every two seconds while the card is up.
    if (m_taskTips->styleSheet() != style)
        m_taskTips->setStyleSheet(style);
    if (accessibleDescription() != m_taskTips->text())
        setAccessibleDescription(m_taskTips->text());
}

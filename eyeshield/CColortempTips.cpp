#include "CColortempTips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "core/CCommon.h"
#include "core/CPanelShadow.h"

namespace {
// Wider than the 182 pixels drawn for it, so that the bold first line fits in the fonts the
// package brings.
constexpr int kWidth = 196;
constexpr int kHeight = 48;
constexpr int kTickMs = 1000;
// Ticks counted before the fourth one closes the notice.
constexpr int kTicksShown = 3;

const QString kStyleSheet = QStringLiteral(R"(
#ColortempTipsPanel { background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px; }
#label { color: #00D299; font-weight: bold; }
#label_2 { color: #69887D; }
#btn_reset { color: #00D299; border: none; background: transparent; text-decoration: underline; padding: 0px; }
#btn_reset:hover { color: #00B383; }
)");
}

CColortempTips::CColortempTips(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("CColortempTips"));
    setWindowTitle(tr("蓝光改变通知"));
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    setStyleSheet(kStyleSheet);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("ColortempTipsPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setGeometry(2, 2, kWidth - 4, kHeight - 4);
    CPanelShadow::Attach(panel);

    auto* label = new QLabel(tr("防蓝光强度已按时段智能调整！"), panel);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(6, 4, kWidth - 16, 18);
    auto* label2 = new QLabel(tr("您可以在防蓝光界面"), panel);
    label2->setObjectName(QStringLiteral("label_2"));
    label2->setGeometry(6, 23, 110, 18);
    auto* reset = new QPushButton(tr("重新设置"), panel);
    reset->setObjectName(QStringLiteral("btn_reset"));
    reset->setGeometry(116, 23, 52, 18);
    reset->setCursor(Qt::PointingHandCursor);
    connect(reset, &QPushButton::clicked, this, &CColortempTips::OnReset_Click);

    // The corner of the available area itself, so a panel at the left or top of the desktop, or
    // a primary monitor that is not the first one, does not push the notice off its corner.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + area.width() - 10 - kWidth, area.y() + area.height() - 5 - kHeight);
    }

    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::CoarseTimer);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &CColortempTips::OnTick);
    m_timer->start();
}

void CColortempTips::OnReset_Click()
{
    emit CCommon::Instance()->SwitchEyeshieldWindow_PanelSignal();
}

void CColortempTips::OnTick()
{
    if (m_ticks < kTicksShown) {
        ++m_ticks;
        return;
    }
    m_ticks = 0;
    m_timer->stop();
    close();
}

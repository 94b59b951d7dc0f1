#include "core/CBootTip.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {
CBootTip* g_bootTip = nullptr;
}

CBootTip* CBootTip::Instance()
{
    if (!g_bootTip)
        g_bootTip = new CBootTip;
    return g_bootTip;
}

CBootTip::CBootTip()
    : CPromptDialog(QStringLiteral("CBootTip"), QRect(68, 30, 200, 14), QRect(68, 52, 162, 12))
{
    m_boot = new QCheckBox(Body());
    m_boot->setObjectName(QStringLiteral("chk_Boot"));
    m_boot->setGeometry(49, 29, 15, 15);
    m_boot->setChecked(true);
    m_boot->setCursor(Qt::PointingHandCursor);
    m_boot->setFocusPolicy(Qt::TabFocus);
    Tips()->setBuddy(m_boot);
    CPromptDialog::SetTexts(tr("开机时自动启动Rezovuvove"), tr("关爱您的健康，让提醒更省心"));
    QPushButton* confirm = AddButton(QStringLiteral("btn_Confirm"), tr("确定"), QRect(105, 102, 90, 30));
    connect(confirm, &QPushButton::clicked, this, &CBootTip::OnYes_Click);
}

void CBootTip::SetTexts(const QString& tips, const QString& message, QWidget* anchor)
{
    if (anchor) {
        // Placed by the anchor's top-left also while the anchor is hidden.
        const QPoint topLeft = anchor->isWindow() ? anchor->pos() : anchor->mapToGlobal(QPoint(0, 0));
        QRect placed(topLeft + QPoint(-10, 130), size());
        // A frame near the screen's left edge would put the prompt partly off screen, with its
        // check box out of reach: keep it inside the available area.
        QScreen* screen = QGuiApplication::screenAt(topLeft + QPoint(anchor->width() / 2, anchor->height() / 2));
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            placed.moveLeft(qBound(area.left(), placed.left(), qMax(area.left(), area.right() + 1 - placed.width())));
            placed.moveTop(qBound(area.top(), placed.top(), qMax(area.top(), area.bottom() + 1 - placed.height())));
        }
        move(placed.topLeft());
    }
    CPromptDialog::SetTexts(tips, message);
}

bool CBootTip::IsBootChecked() const
{
    return m_boot->isChecked();
}

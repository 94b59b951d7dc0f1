#include "CAdsWidget.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "CAdsDataManager.h"
#include "CUpdateContext.h"
#include "core/CKeyboardAccess.h"

namespace {
const char* const kSlotNames[] = {"AdsPos_BaseManager", "AdsPos_DrinkWindow", "AdsPos_RelaxTips",
    "AdsPos_RelaxFullQuiz", "AdsPos_RelaxFullInspire", "AdsPos_RelaxFullSpine", "AdsPos_RelaxShow"};

bool IsFullScreenPage(int position)
{
    return position >= 4 && position <= 6;
}
}

CAdsWidget::CAdsWidget(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(tr("广告"));
}

QString CAdsWidget::SlotName(int position)
{
    if (position < 1 || position > 7)
        return {};
    return QLatin1String(kSlotNames[position - 1]);
}

bool CAdsWidget::ShowSlot(int position)
{
    return ShowSlot(position, IsFullScreenPage(position) ? QRect(0, 0, 560, 90) : QRect(0, 0, 280, 80));
}

bool CAdsWidget::ShowSlot(int position, const QRect& area)
{
    stAdsSlot slot;
    if (!CAdsDataManager::Instance()->FindSlot(position, slot) || !slot.bShown) {
        hide();
        return false;
    }
    setGeometry(area);
    SetPosition(position);
    // The picture is read once per file; a host that switches slots reads the new one.
    if (m_image.isNull() || m_imagePath != slot.strLocalImage) {
        const QPixmap image(slot.strLocalImage);
        if (image.isNull()) {
            hide();
            return false;
        }
        m_imagePath = slot.strLocalImage;
        SetImage(image);
    }
    SetLink(slot.strLinkUrl);
    show();
    return true;
}

void CAdsWidget::SetPosition(int position)
{
    m_position = position;
    if (position >= 1 && position <= 3) {
        setFixedSize(280, 80);
        move(0, 0);
        if (!m_tag) {
            m_tag = new QLabel(this);
            m_tag->setObjectName(QStringLiteral("label_adsTips"));
            m_tag->setPixmap(QPixmap(QStringLiteral(":/Resources/Skin/Verd/ads_tips.png")));
            m_tag->setFixedSize(23, 13);
        }
        m_tag->move(width() - 25, height() - 15);
        m_tag->show();
        if (!m_close) {
            m_close = new QPushButton(this);
            m_close->setObjectName(QStringLiteral("btn_adsClose"));
            m_close->setFixedSize(16, 16);
            m_close->setCursor(Qt::ArrowCursor);
            m_close->setStyleSheet(QStringLiteral(
                "QPushButton#btn_adsClose{border:none;border-image:url(:/Resources/Skin/Verd/ads_close.png);}"
                "QPushButton#btn_adsClose:hover,QPushButton#btn_adsClose:focus{"
                "border-image:url(:/Resources/Skin/Verd/ads_close_hover.png);}"));
            connect(m_close, &QPushButton::clicked, this, &CAdsWidget::OnClose_Click);
            CKeyboardAccess::Button(m_close, tr("关闭广告"));
        }
        m_close->move(width() - 20, 4);
        m_close->show();
    } else if (IsFullScreenPage(position)) {
        setFixedSize(560, 90);
        move(70, 0);
        if (m_tag)
            m_tag->hide();
        if (m_close)
            m_close->hide();
    } else {
        hide();
    }
}

void CAdsWidget::SetImage(const QPixmap& image)
{
    m_image = image;
    update();
}

bool CAdsWidget::HasImage() const
{
    return !m_image.isNull();
}

void CAdsWidget::SetLink(const QString& link)
{
    m_link = link;
}

void CAdsWidget::OnClose_Click()
{
    hide();
}

void CAdsWidget::OnAds_Click()
{
    const QString name = SlotName(m_position);
    if (!name.isEmpty()) {
        // The link comes from the service: only web pages are opened, never local files or
        // programs behind other schemes.
        const QUrl link(m_link, QUrl::StrictMode);
        if (link.isValid() && (link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https")))
            QDesktopServices::openUrl(link);
        CUpdateContext::Instance()->ReportEvent(name);
    }
    hide();
    emit OnCloseAdsWidget_Signals();
}

void CAdsWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        event->accept();
        OnAds_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CAdsWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    OnAds_Click();
}

void CAdsWidget::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_image);
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0, 210, 153), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

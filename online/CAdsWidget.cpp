#include "CAdsWidget.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

CAdsWidget::CAdsWidget(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void CAdsWidget::SetPosition(int position)
{
    m_position = position;
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

void CAdsWidget::OnAds_Click()
{
    if (!m_link.isEmpty())
        QDesktopServices::openUrl(QUrl(m_link));
    emit OnCloseAdsWidget_Signals();
}

void CAdsWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnAds_Click();
}

void CAdsWidget::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(rect(), m_image);
}

#include "core/CPanelShadow.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

// Qt's own blur, the one its drop-shadow effect uses; exported by Qt Widgets but not declared in
// a public header.
QT_BEGIN_NAMESPACE
Q_WIDGETS_EXPORT void qt_blurImage(
    QPainter* painter, QImage& blurImage, qreal radius, bool quality, bool alphaOnly, int transposed = 0);
QT_END_NAMESPACE

namespace {
constexpr qreal kBlurRadius = 15;
const QColor kShadowColor(0, 0, 0, 76);

// FNV-1a over the alpha of every pixel: the outline the shadow is cast from.
quint64 OutlineOf(const QImage& picture)
{
    quint64 hash = 14695981039346656037ULL;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            hash ^= quint64(qAlpha(line[x]));
            hash *= 1099511628211ULL;
        }
    }
    return hash ^ (quint64(picture.width()) << 32) ^ quint64(picture.height());
}
}

void CPanelShadow::Attach(QWidget* panel)
{
    panel->setGraphicsEffect(new CPanelShadow(panel));
}

CPanelShadow::CPanelShadow(QWidget* panel)
    : QGraphicsEffect(panel)
    , m_panel(panel)
{
    panel->installEventFilter(this);
}

bool CPanelShadow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel && event->type() == QEvent::Hide)
        m_shadow = QImage();
    return QGraphicsEffect::eventFilter(watched, event);
}

QRectF CPanelShadow::boundingRectFor(const QRectF& rect) const
{
    return rect.adjusted(-kBlurRadius, -kBlurRadius, kBlurRadius, kBlurRadius);
}

void CPanelShadow::draw(QPainter* painter)
{
    const QRect panelArea = sourceBoundingRect(Qt::DeviceCoordinates).toAlignedRect();
    const QRect area = boundingRectFor(panelArea).toAlignedRect();
    if (area.isEmpty())
        return;
    const QImage panelPicture = RenderPanel(area, panelArea, painter->device()->devicePixelRatioF());
    UpdateShadow(panelPicture);

    const QTransform transform = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->drawImage(area.topLeft(), m_shadow);
    painter->drawImage(area.topLeft(), panelPicture);
    painter->setWorldTransform(transform);
}

// The panel and its children on a transparent picture of the shadow's whole area, as Qt's effect
// takes it; the panel's own effect is not applied while it is drawn from here.
QImage CPanelShadow::RenderPanel(const QRect& area, const QRect& panelArea, qreal pixelRatio) const
{
    QImage picture(area.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    m_panel->render(&picture, panelArea.topLeft() - area.topLeft(), QRegion(), QWidget::DrawChildren);
    return picture;
}

void CPanelShadow::UpdateShadow(const QImage& panelPicture)
{
    const quint64 outline = OutlineOf(panelPicture);
    if (!m_shadow.isNull() && outline == m_outline)
        return;
    m_outline = outline;

    // The blur works in the picture's own pixels, whatever the screen's scale.
    QImage source = panelPicture;
    source.setDevicePixelRatio(1);
    QImage blurred(source.size(), QImage::Format_ARGB32_Premultiplied);
    blurred.fill(Qt::transparent);
    {
        QPainter blurPainter(&blurred);
        qt_blurImage(&blurPainter, source, kBlurRadius, false, true);
    }
    {
        QPainter colourPainter(&blurred);
        colourPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        colourPainter.fillRect(blurred.rect(), kShadowColor);
    }
    // Black at every pixel: the alpha alone says it all, in a quarter of the memory.
    m_shadow = blurred.convertToFormat(QImage::Format_Alpha8);
    m_shadow.setDevicePixelRatio(panelPicture.devicePixelRatio());
}

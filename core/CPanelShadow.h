#pragma once

#include <QGraphicsEffect>
#include <QImage>

class QWidget;

// The soft shadow every frameless panel casts on its translucent window: black at alpha 76,
// blurred 15 px around the panel's outline, not offset.
//
// Qt's drop-shadow effect blurs a fresh picture of the panel at every repaint and leaves the last
// one in the pixmap cache, where nothing reads it again: half a megabyte for the frame, for as
// long as it is on screen. The outline changes only when the panel's size or its visible shape
// does (a page that covers the rounded corners), so this effect blurs again only then, and keeps
// the shadow as one alpha byte per pixel, and only while the panel is shown. The pixels are the
// same as Qt's effect draws.
class CPanelShadow : public QGraphicsEffect
{
    Q_OBJECT

public:
    // Gives `panel` its shadow; the panel owns the effect.
    static void Attach(QWidget* panel);

    QRectF boundingRectFor(const QRectF& rect) const override;

protected:
    void draw(QPainter* painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CPanelShadow(QWidget* panel);

    QImage RenderPanel(const QRect& area, const QRect& panelArea, qreal pixelRatio) const;
    void UpdateShadow(const QImage& panelPicture);

    QWidget* m_panel;
    QImage m_shadow;
    quint64 m_outline = 0;
};

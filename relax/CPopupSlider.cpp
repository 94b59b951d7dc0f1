#include "CPopupSlider.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimerEvent>
#include <QWidget>

namespace {
constexpr int kSlideMs = 5;
constexpr int kRightMargin = 10;
constexpr int kBottomMargin = 5;
}

CPopupSlider::CPopupSlider(QWidget* window)
    : QObject(window)
    , m_window(window)
{
}

QPoint CPopupSlider::PlaceIn(const QRect& area, const QSize& size, int offset)
{
    return QPoint(area.x() + area.width() - kRightMargin - size.width(), area.y() + area.height() - kBottomMargin - offset);
}

QPoint CPopupSlider::PlaceFor(const QWidget* window, int offset)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return PlaceIn(screen ? screen->availableGeometry() : QRect(), window->size(), offset);
}

void CPopupSlider::Park()
{
    m_window->move(PlaceFor(m_window, 0));
}

void CPopupSlider::Start()
{
    Park();
    m_offset = 0;
    m_timer.start(kSlideMs, Qt::CoarseTimer, this);
}

void CPopupSlider::Tick()
{
    if (m_offset == Ticks) {
        m_timer.stop();
        return;
    }
    ++m_offset;
    if (m_offset <= Rise)
        m_window->move(PlaceFor(m_window, m_offset));
}

bool CPopupSlider::IsRunning() const
{
    return m_timer.isActive();
}

int CPopupSlider::Offset() const
{
    return m_offset;
}

void CPopupSlider::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        Tick();
    else
        QObject::timerEvent(event);
}

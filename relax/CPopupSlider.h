#pragma once

#include <QBasicTimer>
#include <QObject>

class QWidget;

// Slides a reminder pop-up up from just below the bottom-right corner of the primary screen's
// available area: one pixel every 5 ms until it stands 440 pixels higher, then it rests.
class CPopupSlider : public QObject
{
    Q_OBJECT
public:
    static constexpr int Rise = 440;
    static constexpr int Ticks = 720;

    explicit CPopupSlider(QWidget* window);

    // Where a window of `size` stands in the available `area` when it has risen by `offset`
    // pixels. The area's origin counts, so a primary monitor right of or below another one gets
    // the pop-up, not the desktop's corner.
    static QPoint PlaceIn(const QRect& area, const QSize& size, int offset);
    // The same in the primary screen's available area.
    static QPoint PlaceFor(const QWidget* window, int offset);

    // Puts the window at its starting place below the visible area.
    void Park();
    // Parks the window and starts rising.
    void Start();
    void Tick();
    bool IsRunning() const;
    int Offset() const;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QWidget* m_window;
    QBasicTimer m_timer;
    int m_offset = 0;
};

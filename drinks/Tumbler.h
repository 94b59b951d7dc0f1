#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

class CDrinkStatistics;
class QPainter;

// The drinking history as a sideways-scrolling bar chart: seven periods (days, weeks or months)
// at a time, the selected one in the centre over a marker, each bar as high as the period's
// total and coloured by whether it reached the target, dated labels on top.
//
// The current index is the item in the leftmost slot, so the centre item is index + 3; items run
// from 0 (the oldest period) to itemCount() - 1 (the current one). Every change of the centre is
// announced through the signal of the mode. The wheel, dragging, the arrow keys and the records
// page's paging buttons move the index.
class Tumbler : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex)
    Q_PROPERTY(QColor foreground READ foreground WRITE setForeground)
    Q_PROPERTY(QColor background READ background WRITE setBackground)
    Q_PROPERTY(QColor lineColor READ lineColor WRITE setLineColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)

public:
    enum ChartMode {
        Mode_Day = 0,
        Mode_Week = 1,
        Mode_Month = 2,
    };

    // The slot of the selected period, under the marker.
    static constexpr int CentreSlot = 3;

    explicit Tumbler(QWidget* parent = nullptr);

    // The model the bars and labels come from; the process-wide one unless set.
    void SetStatistics(CDrinkStatistics* statistics);

    // Switches to days, weeks or months: takes the number of items from the model and spreads
    // the slots over the current width.
    void SetMode(int mode);
    int mode() const;
    int currentIndex() const;
    int itemCount() const;

    // The gap between bars and the marker's apex, as SetMode laid them out.
    int barSpace() const;
    int markerX() const;
    int markerTop() const;

    QColor foreground() const;
    QColor background() const;
    QColor lineColor() const;
    QColor textColor() const;

    // The height in pixels of a bar for a total of amount millilitres: three bands, each flatter
    // than the one below, so ordinary days differ visibly and heavy ones still fit.
    static double BarHeight(int mode, int amount);
    // What a slot shows, in words: the period and its amount, and whether it reached the target.
    QString SlotDescription(int slot) const;
    // Where a slot's bar stands, as high as the chart, in the chart's coordinates.
    QRect SlotRect(int slot) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void OnChangeCurDayIndex(int nCurIndex);
    void OnChangeCurWeekIndex(int nCurIndex);
    void OnChangeCurMonthIndex(int nCurIndex);
    void currentIndexChanged(int currentIndex);

public slots:
    void setListValue(QStringList listValue);
    // Takes the index when the centre item exists; otherwise keeps the index. Either way the
    // centre item is announced.
    void setCurrentIndex(int currentIndex);
    void setForeground(QColor foreground);
    void setBackground(QColor background);
    void setLineColor(QColor lineColor);
    void setTextColor(QColor textColor);
    int getBarNumVisiable();
    void getBarNumVisiable(int nBarNumVisiable);
    void setBarSpace(int nBarSpace);
    void setHeadHeight(int headHeight);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Left and Right move by one period, Page Up and Page Down by a page, Home and End to the
    // first and the current period.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CDrinkStatistics* Statistics() const;
    void AnnounceCentre(int item);
    // The left edge of slot s's bar, before the drag offset.
    int SlotX(int slot) const;
    // Total and reached flag of an item; false when nothing was drunk in that period.
    bool ItemFigures(int item, int& amount, bool& reached) const;
    QString ItemLabel(int item) const;
    // The year drawn above the first period of a year, 0 for the others.
    int ItemYear(int item) const;
    int DragStep() const;
    // Where the last label would start if it were centred on the widget, moved with the drag;
    // a drag to the right goes back one item only when it carried that far.
    int ReleaseReferenceX() const;

    void DrawGuides(QPainter& painter);
    void DrawBars(QPainter& painter);
    void DrawMarker(QPainter& painter);
    void DrawLabels(QPainter& painter, int firstItem);
    void DrawFocus(QPainter& painter);

    CDrinkStatistics* m_statistics = nullptr;
    int m_stepCount = 7;
    int m_dragOffset = 0;
    bool m_dragging = false;
    int m_pressX = 0;
    int m_halfBarWidth = 0;
    int m_markerX = 0;
    int m_markerTop = 0;
    int m_mode = Mode_Week;
    int m_barsDrawn = 7;
    int m_itemCount = 0;
    int m_leftMargin = 20;
    int m_rightMargin = 19;
    int m_labelBand = 28;
    int m_baseOffset = 1;
    int m_barWidth = 17;
    int m_currentIndex = 0;
    int m_headHeight = 3;
    int m_barSpace = 0;
    int m_chartHeight = 120;
    QColor m_foreground{140, 140, 140};
    QColor m_background{239, 252, 247};
    QColor m_lineColor{189, 233, 218};
    QColor m_textColor{165, 197, 186};
    QColor m_reachedColor{45, 206, 222};
    QColor m_missedColor{255, 198, 70};
    QColor m_markerColor{255, 255, 255};
};

#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

// The rest history as a bar chart of seven periods: for each, a pale bar as high as the rests
// due and over it a coloured one as high as the rests taken, the period's label below, the
// selected period's label in bold colour. A click or the arrow keys choose a period.
class CRestChart : public QWidget
{
    Q_OBJECT
public:
    struct Bar
    {
        QString label;
        int due = 0;
        int taken = 0;
    };

    explicit CRestChart(QWidget* parent = nullptr);

    void SetBars(const QVector<Bar>& bars, int selected);
    int Selected() const;

signals:
    // The user chose the bar at `index`; -1 and the bar count mean one step past either end.
    void Chosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF SlotRect(int index) const;

    QVector<Bar> m_bars;
    int m_selected = 0;
};

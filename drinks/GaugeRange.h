#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

// A ring gauge: the range from leftValue to rightValue between minValue and maxValue, drawn as
// a coloured arc (or a ring of ticks) with rightValue and "/maxValue" in the middle.
//
// The value setters refuse what lies outside the scale instead of clamping it, so a caller that
// raises both a value and the maximum must set the maximum first.
class GaugeRange : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int currentValue READ currentValue WRITE setCurrentValue)
    Q_PROPERTY(int leftValue READ leftValue WRITE setLeftValue)
    Q_PROPERTY(int rightValue READ rightValue WRITE setRightValue)
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int scaleMajor READ scaleMajor WRITE setScaleMajor)
    Q_PROPERTY(int startAngle READ startAngle WRITE setStartAngle)
    Q_PROPERTY(int endAngle READ endAngle WRITE setEndAngle)
    Q_PROPERTY(QString unit READ unit WRITE setUnit)
    Q_PROPERTY(QColor usedColor READ usedColor WRITE setUsedColor)
    Q_PROPERTY(QColor freeColor READ freeColor WRITE setFreeColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QColor rangeTextColor READ rangeTextColor WRITE setRangeTextColor)
    Q_PROPERTY(RangeStyle rangeStyle READ rangeStyle WRITE setRangeStyle)

public:
    enum RangeStyle {
        RangeStyle_Tick = 0,
        RangeStyle_Arc = 1,
    };
    Q_ENUM(RangeStyle)

    explicit GaugeRange(QWidget* parent = nullptr);

    int currentValue() const;
    int leftValue() const;
    int rightValue() const;
    int minValue() const;
    int maxValue() const;
    int scaleMajor() const;
    int startAngle() const;
    int endAngle() const;
    QString unit() const;
    QColor usedColor() const;
    QColor freeColor() const;
    QColor textColor() const;
    QColor rangeTextColor() const;
    RangeStyle rangeStyle() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setCurrentValue(int currentValue);
    void setCurrentRange(int leftValue, int rightValue);
    void setLeftValue(int leftValue);
    void setRightValue(int rightValue);
    void setRange(int minValue, int maxValue);
    void setMinValue(int minValue);
    void setMaxValue(int maxValue);
    void setScaleMajor(int scaleMajor);
    void setStartAngle(int startAngle);
    void setEndAngle(int endAngle);
    void setUnit(QString unit);
    void setUsedColor(QColor usedColor);
    void setFreeColor(QColor freeColor);
    void setTextColor(QColor textColor);
    void setRangeTextColor(QColor rangeTextColor);
    void setRangeStyle(RangeStyle rangeStyle);

signals:
    void valueChanged(int leftValue, int rightValue);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Keeps both ends of the range on the scale after the scale changed.
    void ClampRange();
    // Degrees of sweep per unit of value.
    double DegreesPerUnit() const;
    void DrawArcs(QPainter& painter);
    void DrawTicks(QPainter& painter);
    void DrawTexts(QPainter& painter);

    int m_currentValue = 50;
    int m_leftValue = 0;
    int m_rightValue = 1;
    int m_minValue = 0;
    int m_maxValue = 100;
    int m_scaleMajor = 100;
    int m_startAngle = 180;
    int m_endAngle = -180;
    QString m_unit;
    QColor m_usedColor{45, 206, 222};
    QColor m_freeColor{255, 255, 255};
    QColor m_textColor{0, 210, 153};
    QColor m_rangeTextColor{165, 197, 186};
    RangeStyle m_rangeStyle = RangeStyle_Arc;
};

#include "GaugeRange.h"

#include <QAccessible>
#include <QPainter>
#include <QPaintEvent>

namespace {
const QColor kLineColor(189, 233, 218);
const QColor kRangeTextColor(165, 197, 186);
constexpr int kOuterCircle = 112;
constexpr int kInnerCircle = 80;
constexpr int kTrackDiameter = 96;
constexpr int kTrackPen = 14;
constexpr int kRangePen = 16;
constexpr int kDotDiameter = 16;
constexpr double kTickInner = 89;
constexpr double kTickOuter = 99;

QFont TextFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Draws text centred on x = 0 in a box one widget-font line high whose top is at y.
void DrawCentred(QPainter& painter, const QString& text, int y, int lineHeight)
{
    const int width = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(QRect(-1 - width / 2, y, width + 2, lineHeight), Qt::AlignCenter, text);
}
}

GaugeRange::GaugeRange(QWidget* parent)
    : QWidget(parent)
{
    QFont gaugeFont;
    // The Chinese name first, as the gauge has always asked for it; the Latin one is the name
    // font substitutions are registered under.
    gaugeFont.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")});
    gaugeFont.setBold(true);
    gaugeFont.setPointSize(20);
    setFont(gaugeFont);
}

int GaugeRange::currentValue() const { return m_currentValue; }
int GaugeRange::leftValue() const { return m_leftValue; }
int GaugeRange::rightValue() const { return m_rightValue; }
int GaugeRange::minValue() const { return m_minValue; }
int GaugeRange::maxValue() const { return m_maxValue; }
int GaugeRange::scaleMajor() const { return m_scaleMajor; }
int GaugeRange::startAngle() const { return m_startAngle; }
int GaugeRange::endAngle() const { return m_endAngle; }
QString GaugeRange::unit() const { return m_unit; }
QColor GaugeRange::usedColor() const { return m_usedColor; }
QColor GaugeRange::freeColor() const { return m_freeColor; }
QColor GaugeRange::textColor() const { return m_textColor; }
QColor GaugeRange::rangeTextColor() const { return m_rangeTextColor; }
GaugeRange::RangeStyle GaugeRange::rangeStyle() const { return m_rangeStyle; }

QSize GaugeRange::sizeHint() const
{
    return QSize(200, 200);
}

QSize GaugeRange::minimumSizeHint() const
{
    return QSize(50, 50);
}

void GaugeRange::setCurrentValue(int currentValue)
{
    if (currentValue < m_leftValue || currentValue > m_rightValue || currentValue == m_currentValue)
        return;
    m_currentValue = currentValue;
    update();
}

void GaugeRange::setCurrentRange(int leftValue, int rightValue)
{
    if (leftValue > rightValue || leftValue < m_minValue || rightValue > m_maxValue)
        return;
    if (leftValue != m_leftValue || rightValue != m_rightValue) {
        m_leftValue = leftValue;
        m_rightValue = rightValue;
        update();
    }
    emit valueChanged(m_leftValue, m_rightValue);
}

void GaugeRange::setLeftValue(int leftValue)
{
    if (leftValue > m_rightValue || leftValue < m_minValue || m_rightValue > m_maxValue)
        return;
    if (leftValue != m_leftValue) {
        m_leftValue = leftValue;
        update();
    }
    emit valueChanged(m_leftValue, m_rightValue);
}

void GaugeRange::setRightValue(int rightValue)
{
    if (m_leftValue > rightValue || m_leftValue < m_minValue || rightValue > m_maxValue)
        return;
    if (rightValue != m_rightValue) {
        m_rightValue = rightValue;
        update();
        QAccessibleValueChangeEvent change(this, m_rightValue);
        QAccessible::updateAccessibility(&change);
    }
    emit valueChanged(m_leftValue, m_rightValue);
}

void GaugeRange::setRange(int minValue, int maxValue)
{
    if (minValue >= maxValue || (minValue == m_minValue && maxValue == m_maxValue))
        return;
    m_minValue = minValue;
    m_maxValue = maxValue;
    ClampRange();
    update();
}

void GaugeRange::setMinValue(int minValue)
{
    if (minValue >= m_maxValue || minValue == m_minValue)
        return;
    m_minValue = minValue;
    ClampRange();
    update();
}

void GaugeRange::setMaxValue(int maxValue)
{
    if (maxValue <= m_minValue || maxValue == m_maxValue)
        return;
    m_maxValue = maxValue;
    ClampRange();
    update();
}

// Both ends are kept inside the scale, not just the end nearest the bound that moved: a scale
// shrunk past the whole range would otherwise leave the range reversed, and the arc would be
// drawn backwards.
void GaugeRange::ClampRange()
{
    m_leftValue = qBound(m_minValue, m_leftValue, m_maxValue);
    m_rightValue = qBound(m_minValue, m_rightValue, m_maxValue);
}

void GaugeRange::setScaleMajor(int scaleMajor)
{
    if (scaleMajor == m_scaleMajor)
        return;
    m_scaleMajor = scaleMajor;
    update();
}

void GaugeRange::setStartAngle(int startAngle)
{
    if (startAngle == m_startAngle)
        return;
    m_startAngle = startAngle;
    update();
}

void GaugeRange::setEndAngle(int endAngle)
{
    if (endAngle == m_endAngle)
        return;
    m_endAngle = endAngle;
    update();
}

void GaugeRange::setUnit(QString unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    update();
}

void GaugeRange::setUsedColor(QColor usedColor)
{
    if (usedColor == m_usedColor)
        return;
    m_usedColor = usedColor;
    update();
}

void GaugeRange::setFreeColor(QColor freeColor)
{
    if (freeColor == m_freeColor)
        return;
    m_freeColor = freeColor;
    update();
}

void GaugeRange::setTextColor(QColor textColor)
{
    if (textColor == m_textColor)
        return;
    m_textColor = textColor;
    update();
}

void GaugeRange::setRangeTextColor(QColor rangeTextColor)
{
    if (rangeTextColor == m_rangeTextColor)
        return;
    m_rangeTextColor = rangeTextColor;
    update();
}

void GaugeRange::setRangeStyle(RangeStyle rangeStyle)
{
    if (rangeStyle == m_rangeStyle)
        return;
    m_rangeStyle = rangeStyle;
    update();
}

// In floating point: with a maximum of thousands of days a whole-degree step would round to
// nothing and the arc would never grow.
double GaugeRange::DegreesPerUnit() const
{
    const int sweep = 360 - m_startAngle - m_endAngle;
    const int span = m_maxValue - m_minValue;
    return double(sweep) / (span < 1 ? 100 : span);
}

void GaugeRange::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QPen edge(kLineColor, 1);
    edge.setCapStyle(Qt::RoundCap);
    painter.setPen(edge);
    // On the pixel centres, so that the line stays one sharp pixel.
    painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));

    if (m_rangeStyle == RangeStyle_Arc)
        DrawArcs(painter);
    else
        DrawTicks(painter);
    DrawTexts(painter);
}

void GaugeRange::DrawArcs(QPainter& painter)
{
    const QPointF centre(width() / 2, height() / 2);
    auto circle = [&centre](double diameter) {
        return QRectF(centre.x() - diameter / 2, centre.y() - diameter / 2, diameter, diameter);
    };

    painter.setPen(QPen(kLineColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle(kOuterCircle));
    painter.drawEllipse(circle(kInnerCircle));

    const double k = DegreesPerUnit();
    const double left = (m_leftValue - m_minValue) * k;
    const double right = (m_rightValue - m_minValue) * k;

    painter.setPen(QPen(m_freeColor, kTrackPen));
    painter.drawEllipse(circle(kTrackDiameter));

    painter.setPen(QPen(m_usedColor, kRangePen, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(circle(kTrackDiameter), qRound((270 - m_startAngle - right) * 16), qRound((right - left) * 16));

    painter.save();
    painter.translate(centre);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_usedColor);
    const double radius = kTrackDiameter / 2.0;
    for (double angle : {m_startAngle + left, m_startAngle + right}) {
        painter.save();
        painter.rotate(angle);
        painter.drawEllipse(QPointF(0, radius), kDotDiameter / 2.0, kDotDiameter / 2.0);
        painter.restore();
    }
    painter.restore();
}

void GaugeRange::DrawTicks(QPainter& painter)
{
    if (m_scaleMajor < 1)
        return;
    const int span = m_maxValue - m_minValue;
    const double first = double(m_leftValue - m_minValue) * m_scaleMajor / span;
    const double last = double(m_rightValue - m_minValue) * m_scaleMajor / span;
    const double step = double(360 - m_startAngle - m_endAngle) / m_scaleMajor;

    painter.save();
    painter.translate(width() / 2, height() / 2);
    painter.rotate(m_startAngle);
    for (int tick = 0; tick <= m_scaleMajor; ++tick) {
        QPen pen(tick >= first && tick <= last ? m_usedColor : m_freeColor, 1.5);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, kTickInner), QPointF(0, kTickOuter));
        painter.rotate(step);
    }
    painter.restore();
}

void GaugeRange::DrawTexts(QPainter& painter)
{
    const int lineHeight = fontMetrics().height();
    painter.save();
    painter.translate(width() / 2, height() / 2);

    painter.setFont(TextFont(20, true));
    painter.setPen(m_textColor);
    DrawCentred(painter, QString::number(m_rightValue), -21, lineHeight);

    const QFont small = TextFont(12, false);
    painter.setFont(small);
    painter.setPen(kRangeTextColor);
    DrawCentred(painter, QStringLiteral("/%1").arg(m_maxValue), -2, lineHeight);

    const QString caption = tr("累计喝水天数");
    const QFontMetrics metrics(small);
    painter.drawText(QRect(14 - width() / 2, -1 - height() / 2, metrics.horizontalAdvance(caption) + 2, metrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, caption);
    painter.restore();
}

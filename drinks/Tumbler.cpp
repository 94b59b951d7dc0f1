#include "Tumbler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>

#include "CDrinkStatistics.h"
#include "core/CLanguage.h"

namespace {
constexpr int kCentreSlot = 3;
constexpr int kMaxBarHeight = 122;
const QColor kCentreLabelColor(0, 210, 153);

// The index last announced by currentIndexChanged, shared by every chart of the process.
int g_lastDraggedIndex = -1;

QFont LabelFont(bool bold)
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(12);
    font.setBold(bold);
    return font;
}

// Three linear bands: up to low the bar climbs to 92 px, up to middle to 112 px, up to high
// to 122 px, and stays there.
double Banded(double amount, double low, double middle, double high)
{
    if (amount >= high)
        return kMaxBarHeight;
    if (amount > middle)
        return 112 + (amount - middle) * 10 / (high - middle);
    if (amount > low)
        return 92 + (amount - low) * 20 / (middle - low);
    return 2 + amount * 90 / low;
}
}

Tumbler::Tumbler(QWidget* parent)
    : QWidget(parent)
{
}

void Tumbler::SetStatistics(CDrinkStatistics* statistics)
{
    m_statistics = statistics;
    update();
}

CDrinkStatistics* Tumbler::Statistics() const
{
    return m_statistics ? m_statistics : CDrinkStatistics::Instance();
}

void Tumbler::SetMode(int mode)
{
    m_mode = mode;
    switch (mode) {
    case Mode_Day:
        m_itemCount = Statistics()->DayCount();
        break;
    case Mode_Week:
        m_itemCount = Statistics()->WeekCount();
        break;
    case Mode_Month:
        m_itemCount = Statistics()->MonthCount();
        break;
    default:
        m_itemCount = 0;
        break;
    }
    m_barSpace = (width() - m_rightMargin - m_leftMargin - m_barWidth) / (m_barsDrawn - 1) - m_barWidth;
    m_halfBarWidth = m_barWidth / 2;
    m_markerX = m_halfBarWidth + ((m_barSpace + m_barWidth) * (m_barsDrawn - 1)) / 2 + m_leftMargin;
    m_markerTop = height() - 6 - m_baseOffset;
    update();
}

int Tumbler::mode() const { return m_mode; }
int Tumbler::currentIndex() const { return m_currentIndex; }
int Tumbler::itemCount() const { return m_itemCount; }
int Tumbler::barSpace() const { return m_barSpace; }
int Tumbler::markerX() const { return m_markerX; }
int Tumbler::markerTop() const { return m_markerTop; }
QColor Tumbler::foreground() const { return m_foreground; }
QColor Tumbler::background() const { return m_background; }
QColor Tumbler::lineColor() const { return m_lineColor; }
QColor Tumbler::textColor() const { return m_textColor; }

double Tumbler::BarHeight(int mode, int amount)
{
    double height = 2;
    switch (mode) {
    case Mode_Day:
        height = Banded(amount, 3000, 4000, 5000);
        break;
    case Mode_Week:
        height = Banded(amount, 10000, 15000, 25000);
        break;
    case Mode_Month:
        height = Banded(amount, 50000, 70000, 100000);
        break;
    default:
        break;
    }
    return qMin<double>(height, kMaxBarHeight);
}

QSize Tumbler::sizeHint() const
{
    return QSize(50, 150);
}

QSize Tumbler::minimumSizeHint() const
{
    return QSize(10, 10);
}

void Tumbler::setListValue(QStringList listValue)
{
    if (!listValue.isEmpty())
        setCurrentIndex(0);
}

void Tumbler::setCurrentIndex(int currentIndex)
{
    if (currentIndex + kCentreSlot >= 0 && currentIndex + kCentreSlot + 1 <= m_itemCount) {
        m_currentIndex = currentIndex;
        update();
        AnnounceCentre(currentIndex + kCentreSlot);
        return;
    }
    // Refused: the chart keeps showing what it showed, so that is what gets announced again.
    // An index left over from a mode with more items points past the end; the last item
    // stands in for it.
    update();
    AnnounceCentre(qMin(m_currentIndex + kCentreSlot, m_itemCount - 1));
}

void Tumbler::AnnounceCentre(int item)
{
    switch (m_mode) {
    case Mode_Day:
        emit OnChangeCurDayIndex(item);
        break;
    case Mode_Week:
        emit OnChangeCurWeekIndex(item);
        break;
    case Mode_Month:
        emit OnChangeCurMonthIndex(item);
        break;
    default:
        break;
    }
}

void Tumbler::setForeground(QColor foreground)
{
    if (foreground == m_foreground)
        return;
    m_foreground = foreground;
    update();
}

void Tumbler::setBackground(QColor background)
{
    if (background == m_background)
        return;
    m_background = background;
    update();
}

void Tumbler::setLineColor(QColor lineColor)
{
    if (lineColor == m_lineColor)
        return;
    m_lineColor = lineColor;
    update();
}

void Tumbler::setTextColor(QColor textColor)
{
    if (textColor == m_textColor)
        return;
    m_textColor = textColor;
    update();
}

int Tumbler::getBarNumVisiable()
{
    return m_barsDrawn;
}

// The slots are spread between the margins, which takes at least two of them.
void Tumbler::getBarNumVisiable(int nBarNumVisiable)
{
    if (nBarNumVisiable < 2 || nBarNumVisiable == m_barsDrawn)
        return;
    m_barsDrawn = nBarNumVisiable;
    update();
}

void Tumbler::setBarSpace(int nBarSpace)
{
    if (nBarSpace == m_barSpace)
        return;
    m_barSpace = nBarSpace;
    update();
}

void Tumbler::setHeadHeight(int headHeight)
{
    m_headHeight = headHeight;
}

int Tumbler::SlotX(int slot) const
{
    return (m_barSpace + m_barWidth) * slot + m_leftMargin;
}

bool Tumbler::ItemFigures(int item, int& amount, bool& reached) const
{
    switch (m_mode) {
    case Mode_Day: {
        stDaysData row;
        if (!Statistics()->GetDayByIndex(item, row))
            return false;
        amount = row.nTotalDrinkNum;
        reached = row.nPassed != 0;
        return true;
    }
    case Mode_Week: {
        stWeeksData row;
        if (!Statistics()->GetWeekByIndex(item, row))
            return false;
        amount = row.nTotalDrinkNum;
        reached = row.nPassed != 0;
        return true;
    }
    case Mode_Month: {
        stMonthsData row;
        if (!Statistics()->GetMonthByIndex(item, row))
            return false;
        amount = row.nTotalDrinkNum;
        reached = row.nPassed != 0;
        return true;
    }
    default:
        return false;
    }
}

QString Tumbler::ItemLabel(int item) const
{
    switch (m_mode) {
    case Mode_Day:
        return CLanguage::DayAndMonth(Statistics()->DateOfDayIndex(item));
    case Mode_Week:
        return tr("%1周").arg(Statistics()->WeekKeyOfIndex(item) % 100);
    case Mode_Month: {
        const int key = Statistics()->MonthKeyOfIndex(item);
        return CLanguage::Locale().toString(QDate(key / 100, key % 100, 1), tr("M月"));
    }
    default:
        return QString();
    }
}

int Tumbler::ItemYear(int item) const
{
    switch (m_mode) {
    case Mode_Day: {
        const QDate date = Statistics()->DateOfDayIndex(item);
        return date.month() == 1 && date.day() == 1 ? date.year() : 0;
    }
    case Mode_Week: {
        const int key = Statistics()->WeekKeyOfIndex(item);
        return key % 100 == 1 ? key / 100 : 0;
    }
    case Mode_Month: {
        const int key = Statistics()->MonthKeyOfIndex(item);
        return key % 100 == 1 ? key / 100 : 0;
    }
    default:
        return 0;
    }
}

void Tumbler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), m_background);
    DrawGuides(painter);
    if (m_itemCount < 1) {
        // Nothing recorded yet: just the dates, with the current period in the centre.
        DrawLabels(painter, -1 - kCentreSlot);
        return;
    }
    DrawBars(painter);
    if (m_dragOffset == 0)
        DrawMarker(painter);
    DrawLabels(painter, m_currentIndex);
}

// The lines lie on pixel centres so that a one-pixel line stays one sharp pixel wide.
void Tumbler::DrawGuides(QPainter& painter)
{
    QPen pen(m_lineColor, 1);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const double bottom = height() - m_baseOffset + 0.5;
    const double top = height() - 10 - m_chartHeight - m_baseOffset + 0.5;
    for (int slot = 0; slot < m_barsDrawn; ++slot) {
        const double x = SlotX(slot) + m_barWidth / 2 + 0.5;
        painter.drawLine(QPointF(x, top), QPointF(x, bottom));
    }
    painter.drawLine(QPointF(0, bottom), QPointF(width(), bottom));
}

void Tumbler::DrawBars(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    const double base = height() - m_baseOffset;
    for (int slot = 0; slot < m_barsDrawn; ++slot) {
        int amount = 0;
        bool reached = false;
        if (!ItemFigures(m_currentIndex + slot, amount, reached))
            continue;
        const double barHeight = BarHeight(m_mode, amount);
        const double left = SlotX(slot) + m_dragOffset;
        painter.setBrush(reached ? m_reachedColor : m_missedColor);
        painter.drawRect(QRectF(left, base - barHeight, m_barWidth, barHeight));
        painter.drawEllipse(QPointF(left + m_barWidth / 2.0, base - barHeight), m_barWidth / 2.0, m_barWidth / 2.0);
    }
}

void Tumbler::DrawMarker(QPainter& painter)
{
    const double base = height() + 1 - m_baseOffset;
    QPolygonF triangle;
    triangle << QPointF(m_markerX, m_markerTop) << QPointF(m_markerX - 6, base) << QPointF(m_markerX + 6, base);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_markerColor);
    painter.drawPolygon(triangle);
}

void Tumbler::DrawLabels(QPainter& painter, int firstItem)
{
    for (int slot = 0; slot < m_barsDrawn; ++slot) {
        const bool centre = slot == kCentreSlot;
        const QFont font = LabelFont(centre);
        const QFontMetrics metrics(font);
        painter.setFont(font);
        painter.setPen(centre ? kCentreLabelColor : m_textColor);

        const int item = firstItem + slot;
        const QString label = ItemLabel(item);
        const int labelWidth = metrics.horizontalAdvance(label);
        const int middle = SlotX(slot) + m_barWidth / 2;
        const int band = 2 * m_labelBand - metrics.height();
        painter.drawText(QRect(middle - labelWidth / 2 - 1, 0, labelWidth + 2, band), Qt::AlignCenter, label);

        const int year = ItemYear(item);
        if (year != 0) {
            const QString text = QString::number(year);
            const int yearWidth = metrics.horizontalAdvance(text);
            painter.drawText(QRect(middle - yearWidth / 2 - 1, -2, yearWidth + 2, metrics.height()),
                Qt::AlignHCenter | Qt::AlignTop, text);
        }
    }
}

int Tumbler::DragStep() const
{
    return width() / m_stepCount;
}

int Tumbler::ReleaseReferenceX() const
{
    const QString lastLabel = ItemLabel(m_currentIndex + m_barsDrawn - 1);
    return width() / 2 - QFontMetrics(LabelFont(false)).horizontalAdvance(lastLabel) / 2 + m_dragOffset;
}

void Tumbler::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    const int steps = delta / 8 / 15;
    event->accept();
    if (steps == 0)
        return;
    int index = m_currentIndex - steps;
    if (steps > 0)
        index = qMax(index, -kCentreSlot);
    else
        index = qMin(index, m_itemCount - kCentreSlot - 1);
    setCurrentIndex(index);
}

void Tumbler::mousePressEvent(QMouseEvent* event)
{
    m_dragging = true;
    m_pressX = event->x();
}

void Tumbler::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || m_itemCount < 2)
        return;
    const int step = DragStep();
    m_dragOffset = qBound(-step, event->x() - m_pressX, step);
    if (m_currentIndex != g_lastDraggedIndex) {
        g_lastDraggedIndex = m_currentIndex;
        emit currentIndexChanged(m_currentIndex);
    }
    // A full step scrolls one item and starts the next step from where the cursor is now.
    if (step > 0 && m_dragOffset >= step && m_currentIndex > 0) {
        m_pressX += step;
        m_dragOffset -= step;
        setCurrentIndex(m_currentIndex - 1);
    } else if (step > 0 && m_dragOffset <= -step && m_currentIndex < m_itemCount - 1) {
        m_pressX -= step;
        m_dragOffset += step;
        setCurrentIndex(m_currentIndex + 1);
    }
    update();
}

void Tumbler::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
    const int reference = ReleaseReferenceX();
    const int offset = m_dragOffset;
    m_dragOffset = 0;
    if (offset >= 0 && reference > width() / 2)
        setCurrentIndex(m_currentIndex - 1);
    else if (offset < 0 && reference < width() / 2)
        setCurrentIndex(m_currentIndex + 1);
    else
        setCurrentIndex(m_currentIndex);
}

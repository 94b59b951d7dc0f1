#include "CRestChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor kBackground(239, 252, 247);
const QColor kLine(189, 233, 218);
const QColor kTaken(45, 206, 222);
const QColor kText(165, 197, 186);
const QColor kSelectedText(0, 210, 153);
constexpr int kLabelBand = 26;
constexpr int kTopSpace = 18;
constexpr int kBarWidth = 14;

QFont LabelFont(bool bold)
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(12);
    font.setBold(bold);
    return font;
}
}

CRestChart::CRestChart(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("休息图表"));
}

void CRestChart::SetBars(const QVector<Bar>& bars, int selected)
{
    m_bars = bars;
    m_selected = selected;
    if (selected >= 0 && selected < bars.size()) {
        const Bar& bar = bars.at(selected);
        setAccessibleDescription(tr("%1：应休息 %2 次，已休息 %3 次").arg(bar.label).arg(bar.due).arg(bar.taken));
    }
    update();
}

int CRestChart::Selected() const
{
    return m_selected;
}

QRectF CRestChart::SlotRect(int index) const
{
    const double slot = double(width()) / qMax(1, m_bars.size());
    return QRectF(index * slot, 0, slot, height());
}

void CRestChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kBackground);
    const double base = height() - kLabelBand + 0.5;
    painter.setPen(QPen(kLine, 1));
    painter.drawLine(QPointF(0, base), QPointF(width(), base));

    int most = 1;
    for (const Bar& bar : qAsConst(m_bars))
        most = qMax(most, qMax(bar.due, bar.taken));
    const double scale = (base - kTopSpace) / most;
    for (int i = 0; i < m_bars.size(); ++i) {
        const Bar& bar = m_bars.at(i);
        const QRectF slot = SlotRect(i);
        const double left = slot.center().x() - kBarWidth / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(kLine);
        painter.drawRoundedRect(QRectF(left, base - bar.due * scale, kBarWidth, bar.due * scale), 3, 3);
        painter.setBrush(kTaken);
        painter.drawRoundedRect(QRectF(left, base - bar.taken * scale, kBarWidth, bar.taken * scale), 3, 3);

        const bool selected = i == m_selected;
        painter.setFont(LabelFont(selected));
        painter.setPen(selected ? kSelectedText : kText);
        painter.drawText(QRectF(slot.left(), base, slot.width(), kLabelBand), Qt::AlignCenter, bar.label);
        if (bar.due > 0 || bar.taken > 0) {
            painter.setFont(LabelFont(false));
            painter.setPen(kText);
            const double top = base - qMax(bar.due, bar.taken) * scale;
            painter.drawText(QRectF(slot.left(), top - kTopSpace, slot.width(), kTopSpace), Qt::AlignCenter,
                QStringLiteral("%1/%2").arg(bar.taken).arg(bar.due));
        }
    }
    if (hasFocus()) {
        painter.setPen(QPen(kSelectedText, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(SlotRect(m_selected).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void CRestChart::mousePressEvent(QMouseEvent* event)
{
    for (int i = 0; i < m_bars.size(); ++i) {
        if (SlotRect(i).contains(event->pos())) {
            emit Chosen(i);
            return;
        }
    }
}

void CRestChart::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left)
        emit Chosen(m_selected - 1);
    else if (event->key() == Qt::Key_Right)
        emit Chosen(m_selected + 1);
    else
        QWidget::keyPressEvent(event);
}

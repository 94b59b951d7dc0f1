#include "CTumblerAccessible.h"

#include <QPointer>

#include "Tumbler.h"

namespace {
// One slot of the chart: the period drawn there and how much was drunk in it.
class CTumblerSlotAccessible : public QAccessibleInterface
{
public:
    CTumblerSlotAccessible(Tumbler* chart, int slot)
        : m_chart(chart)
        , m_slot(slot)
    {
    }

    bool isValid() const override { return m_chart; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_chart); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_chart->SlotDescription(m_slot) : QString();
    }

    QRect rect() const override
    {
        const QRect local = m_chart->SlotRect(m_slot);
        return QRect(m_chart->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !m_chart->isVisible();
        state.selected = m_slot == Tumbler::CentreSlot;
        return state;
    }

private:
    QPointer<Tumbler> m_chart;
    int m_slot;
};
}

CTumblerAccessible::CTumblerAccessible(Tumbler* chart)
    : QAccessibleWidget(chart, QAccessible::Chart)
{
}

CTumblerAccessible::~CTumblerAccessible()
{
    for (QAccessible::Id id : qAsConst(m_slots))
        QAccessible::deleteAccessibleInterface(id);
}

Tumbler* CTumblerAccessible::Chart() const
{
    return static_cast<Tumbler*>(widget());
}

QString CTumblerAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Description)
        return Chart()->SlotDescription(Tumbler::CentreSlot);
    return QAccessibleWidget::text(t);
}

int CTumblerAccessible::childCount() const
{
    return Chart()->getBarNumVisiable();
}

QAccessibleInterface* CTumblerAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (m_slots.size() <= index)
        m_slots << QAccessible::registerAccessibleInterface(new CTumblerSlotAccessible(Chart(), m_slots.size()));
    return QAccessible::accessibleInterface(m_slots.at(index));
}

int CTumblerAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (int index = 0; index < m_slots.size(); ++index) {
        if (QAccessible::accessibleInterface(m_slots.at(index)) == child)
            return index;
    }
    return -1;
}

QAccessibleInterface* CTumblerAccessible::childAt(int x, int y) const
{
    for (int index = 0; index < childCount(); ++index) {
        QAccessibleInterface* slot = child(index);
        if (slot->rect().contains(x, y))
            return slot;
    }
    return nullptr;
}

#pragma once

#include <QAccessibleWidget>
#include <QVector>

class Tumbler;

// The bar chart as assistive technology sees it: a chart whose description is the period in its
// centre, with one child per slot on screen named by the period and its amount. The children live
// as long as the chart's interface.
class CTumblerAccessible : public QAccessibleWidget
{
public:
    explicit CTumblerAccessible(Tumbler* chart);
    ~CTumblerAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    Tumbler* Chart() const;

    // Made on first use, one per slot, registered with Qt's accessibility cache by id.
    mutable QVector<QAccessible::Id> m_slots;
};

#pragma once

#include <QAccessibleWidget>

class GaugeRange;

// The ring gauge as assistive technology sees it: a bar filled up to the gauge's value, read as
// "value/maximum" as the gauge draws it.
class CGaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit CGaugeAccessible(GaugeRange* gauge);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    GaugeRange* Gauge() const;
};

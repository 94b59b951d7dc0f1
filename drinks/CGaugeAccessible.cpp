#include "CGaugeAccessible.h"

#include "GaugeRange.h"

CGaugeAccessible::CGaugeAccessible(GaugeRange* gauge)
    : QAccessibleWidget(gauge, QAccessible::ProgressBar)
{
}

GaugeRange* CGaugeAccessible::Gauge() const
{
    return static_cast<GaugeRange*>(widget());
}

void* CGaugeAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString CGaugeAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return QStringLiteral("%1/%2").arg(Gauge()->rightValue()).arg(Gauge()->maxValue());
    return QAccessibleWidget::text(t);
}

QVariant CGaugeAccessible::currentValue() const
{
    return Gauge()->rightValue();
}

// The gauge only shows; the user does not set it.
void CGaugeAccessible::setCurrentValue(const QVariant&)
{
}

QVariant CGaugeAccessible::maximumValue() const
{
    return Gauge()->maxValue();
}

QVariant CGaugeAccessible::minimumValue() const
{
    return Gauge()->minValue();
}

QVariant CGaugeAccessible::minimumStepSize() const
{
    return 1;
}

#include "CAccessibleFactory.h"

#include <QAccessible>
#include <QString>
#include <QWidget>

#include "CGaugeAccessible.h"
#include "CTumblerAccessible.h"
#include "GaugeRange.h"
#include "Tumbler.h"
#include "core/CNoticeAccessible.h"

void CAccessibleFactory::Install()
{
    QAccessible::installFactory(&CAccessibleFactory::Create);
}

QAccessibleInterface* CAccessibleFactory::Create(const QString& className, QObject* object)
{
    if (className == QLatin1String("Tumbler"))
        return new CTumblerAccessible(static_cast<Tumbler*>(object));
    if (className == QLatin1String("GaugeRange"))
        return new CGaugeAccessible(static_cast<GaugeRange*>(object));
    // The reminders, the rest that follows the prompt and the notices appear by themselves.
    if (className == QLatin1String("CDrinksWindow") || className == QLatin1String("CRelaxTipsWindow")
        || className == QLatin1String("CRelaxFullShowWindow") || className == QLatin1String("CColortempTips")
        || className == QLatin1String("CHistoryNotice"))
        return new CNoticeAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

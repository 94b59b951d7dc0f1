#include "core/CNoticeAccessible.h"

#include <QWidget>

CNoticeAccessible::CNoticeAccessible(QWidget* window)
    : QAccessibleWidget(window, QAccessible::Notification)
{
}

void CNoticeAccessible::Announce(QWidget* window, const QString& message)
{
    window->setAccessibleDescription(message);
    // Desktops that take alerts rather than notifications (Windows' narrators) hear it this way.
    QAccessibleEvent alert(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

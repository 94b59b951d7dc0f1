#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// Tells Qt how assistive technology sees the program's own widgets: the painted chart and gauge,
// and the pop-ups that come by themselves. Installed once, before the first window is made.
class CAccessibleFactory
{
public:
    static void Install();

private:
    static QAccessibleInterface* Create(const QString& className, QObject* object);
};

#pragma once

#include <QAccessibleWidget>

// A pop-up that comes by itself (a reminder, a notice) as assistive technology sees it: a
// notification, which screen readers speak when it appears although it leaves the keyboard
// where the user is typing. Its name is the window's title, its description what it says.
class CNoticeAccessible : public QAccessibleWidget
{
public:
    explicit CNoticeAccessible(QWidget* window);

    // Gives `window` `message` as its description and tells assistive technology it appeared.
    // Called as the window is shown.
    static void Announce(QWidget* window, const QString& message);
};

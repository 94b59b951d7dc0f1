#include "core/CKeyboardAccess.h"

#include <QKeyEvent>
#include <QPushButton>

CKeyboardAccess::CKeyboardAccess(QPushButton* button)
    : QObject(button)
{
    button->installEventFilter(this);
}

void CKeyboardAccess::Button(QPushButton* button, const QString& name)
{
    button->setFocusPolicy(Qt::TabFocus);
    if (!name.isEmpty())
        button->setAccessibleName(name);
    // Outside a dialog a push button ignores Enter unless it is an auto-default one.
    button->setAutoDefault(true);
    new CKeyboardAccess(button);
}

bool CKeyboardAccess::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = static_cast<QPushButton*>(watched);
        // Enter as a click would open the menu on the press and again through the click, which
        // the windows connect to opening it as well. The menu may be given after this is made.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button->menu()) {
            button->showMenu();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

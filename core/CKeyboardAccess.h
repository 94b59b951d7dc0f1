#pragma once

#include <QObject>

class QPushButton;

// How the skin's push buttons are used without a mouse: reached by Tab, pressed by Enter as by
// Space. A click leaves the focus where it was, so the focus look shows only for the keyboard.
// A button that carries a menu, now or later, opens it by either key, once.
class CKeyboardAccess : public QObject
{
    Q_OBJECT
public:
    // Makes `button` keyboard-usable and, when `name` is given, names it for assistive
    // technology (a button drawn as a picture has no text of its own to be read).
    static void Button(QPushButton* button, const QString& name = QString());

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CKeyboardAccess(QPushButton* button);
};

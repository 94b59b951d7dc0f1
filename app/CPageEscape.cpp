#include "CPageEscape.h"

#include <QKeyEvent>
#include <QWidget>

CPageEscape::CPageEscape(QObject* parent)
    : QObject(parent)
{
}

void CPageEscape::Watch(QWidget* page)
{
    page->installEventFilter(this);
}

bool CPageEscape::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
        emit Escaped();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

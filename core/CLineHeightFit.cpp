#include "core/CLineHeightFit.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

void CLineHeightFit::Fit(QWidget* widget)
{
    QWidget* parent = widget->parentWidget();
    if (!parent || (parent->layout() && parent->layout()->indexOf(widget) >= 0))
        return;
    const int needed = widget->fontMetrics().height();
    const QRect place = widget->geometry();
    if (place.height() >= needed)
        return;
    Qt::Alignment alignment = Qt::AlignVCenter;
    if (auto* label = qobject_cast<QLabel*>(widget))
        alignment = label->alignment() & Qt::AlignVertical_Mask;
    const int grow = needed - place.height();
    int top = place.top() - grow / 2;
    if (alignment & Qt::AlignTop)
        top = place.top();
    else if (alignment & Qt::AlignBottom)
        top = place.top() - grow;
    widget->setGeometry(place.left(), top, place.width(), needed);
}

bool CLineHeightFit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show)
        return QObject::eventFilter(watched, event);
    // Pictures and icons keep their sizes: only widgets that show text are fitted.
    if (auto* label = qobject_cast<QLabel*>(watched)) {
        if (!label->text().isEmpty())
            Fit(label);
    } else if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (!button->text().isEmpty())
            Fit(button);
    }
    return QObject::eventFilter(watched, event);
}

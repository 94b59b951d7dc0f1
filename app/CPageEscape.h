#pragma once

#include <QObject>

class QWidget;

// Turns Esc on a page of the frame's stack into a signal. A page built on a dialog would take
// Esc as its own reject and hide itself, leaving the frame empty under the page's title.
class CPageEscape : public QObject
{
    Q_OBJECT
public:
    explicit CPageEscape(QObject* parent);

    void Watch(QWidget* page);

signals:
    void Escaped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#pragma once

#include <QObject>

class QWidget;

// Widgets placed at fixed sizes were drawn for Chinese, whose characters stay inside the line;
// Latin letters reach below it (g, p, y) and lose their tails in a label only 12 pixels high.
// Installed on the application, it gives every label and push button with text that no layout
// places, when it is shown, at least the height of its font's line, growing it evenly around its
// centre line (or away from the edge its text is aligned to), so the text stays where it was.
class CLineHeightFit : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Grows one widget as described above; widgets in a layout and tall enough ones are left alone.
    static void Fit(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

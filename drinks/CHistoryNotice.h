#pragma once

#include <QWidget>

// The notice at the bottom right that tells the user their drinks could not be written to the
// history file for a long while (another program holds it, or it cannot be written), and that
// they are kept until it can take them. It stays until the user closes it, and never takes the
// keyboard from the program in front.
class CHistoryNotice : public QWidget
{
    Q_OBJECT
public:
    // Shows the notice, unless it is already shown.
    static void ShowOnce();

    explicit CHistoryNotice(QWidget* parent = nullptr);
};

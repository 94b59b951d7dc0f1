#include "CEyeshieldWindow.h"

CEyeshieldWindow::CEyeshieldWindow(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CEyeshieldWindow"));
    resize(282, 328);
}

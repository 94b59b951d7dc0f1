#pragma once

#include <QDialog>

// The eye-protection page: the switch, the modes and the strength.
class CEyeshieldWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CEyeshieldWindow(QWidget* parent = nullptr);
};

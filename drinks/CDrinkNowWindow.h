#pragma once

#include <QWidget>

// The drink-now page: records a drink without waiting for the reminder.
class CDrinkNowWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CDrinkNowWindow(QWidget* parent = nullptr);

public slots:
    void OnResetSetting();
};

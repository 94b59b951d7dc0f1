#pragma once

#include <QDialog>

// The drink settings page: whether and how often the drink reminder comes.
class CDrinksSettingsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CDrinksSettingsWindow(QWidget* parent = nullptr);

    void LoadSettings();
    void RefreshNextReminder();
};

#pragma once

#include <QDialog>

// The rest settings page: whether and how often the rest reminder comes.
class CRelaxSettingsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CRelaxSettingsWindow(QWidget* parent = nullptr);

    void LoadSettings();
    void RefreshSchedule();
};

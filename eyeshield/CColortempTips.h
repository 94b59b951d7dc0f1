#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The small notice at the bottom right that tells the user the automatic mode has changed the
// strength for the new part of the day. It closes itself after about four seconds and is then
// deleted.
class CColortempTips : public QWidget
{
    Q_OBJECT
public:
    explicit CColortempTips(QWidget* parent = nullptr);

public slots:
    void OnReset_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnTick();

    QLabel* m_message = nullptr;
    QTimer* m_timer = nullptr;
    int m_ticks = 0;
};

#pragma once

#include <QBasicTimer>

#include "CRelaxPopup.h"

// The small rest countdown: how long the rest still lasts, with the picture of the hour. It is
// opened by the rest prompt, which deletes it when it reports closing.
class CRelaxShowWindow : public CRelaxPopup
{
    Q_OBJECT
public:
    explicit CRelaxShowWindow(QWidget* parent, QMenu* frameMenu = nullptr);

    int Remaining() const;
    // One second of the rest has passed.
    void CountdownTick();
    // Shows the picture of the current hour.
    void PictureTick();

signals:
    void OnClose_Signals();

public slots:
    void OnClose_Click();
    void OnMenu_Click();
    void OnRelaxOver_Click();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* m_msgTimer = nullptr;
    QLabel* m_box = nullptr;
    int m_remaining = 0;
    QBasicTimer m_countdownTimer;
    QBasicTimer m_pictureTimer;
};

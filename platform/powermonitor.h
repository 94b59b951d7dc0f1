#pragma once

#include <QObject>

// Tells when the computer is about to sleep and when it has woken up. Without a session
// manager to ask, it never reports either.
class CPowerMonitor : public QObject
{
    Q_OBJECT
public:
    explicit CPowerMonitor(QObject* parent = nullptr);

signals:
    void Suspending();
    void Resumed();

private slots:
    void OnPrepareForSleep(bool sleeping);
};

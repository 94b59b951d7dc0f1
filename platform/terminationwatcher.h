#pragma once

#include <QObject>

class QSocketNotifier;

// Turns a request to end the program from outside (SIGTERM from a logout or `kill`; SIGINT,
// SIGQUIT or SIGHUP from the terminal that started it) into an ordinary signal of the event
// loop, so the program can clean up as it does when the user quits. Any further request ends the
// process at once, so a program that hangs while it quits can still be stopped. A signal that
// was ignored when the watcher came (`nohup`, a shell's background job) stays ignored.
class CTerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CTerminationWatcher(QObject* parent = nullptr);
    ~CTerminationWatcher() override;

    // True once TerminationRequested has been emitted.
    bool Requested() const;

signals:
    void TerminationRequested();

private slots:
    void OnReadable();

private:
    QSocketNotifier* m_notifier = nullptr;
    bool m_requested = false;
};

#pragma once

#include <QByteArray>
#include <QUrl>

// What one GET brought back.
struct stHttpAnswer
{
    // True when the reply finished with the whole body and a success status, in time and within
    // the size cap.
    bool bOk = false;
    // True when the time-out ended the wait.
    bool bTimedOut = false;
    // True when the body (announced or received) was larger than allowed.
    bool bTooLarge = false;
    int nStatus = 0;
    QByteArray body;
};

// A plain HTTP GET that blocks the caller's code, not the event dispatch: it waits in a nested
// event loop, so timers and clicks go on while the answer is on its way. Every request has a
// time-out and a cap on the body, so a silent or runaway service never holds the program.
class CHttpGet
{
public:
    static stHttpAnswer Run(const QUrl& url, int timeoutMs, qint64 maxBytes);
};

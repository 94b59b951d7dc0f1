#pragma once

#include <QObject>

class QDeadlineTimer;
class QSocketNotifier;

// Keeps one running copy of a program per user and carries the requests of later copies to it.
//
// Who is first: the copy that holds the lock. The lock is a file beside the socket, locked for
// the copy's whole life. When that file cannot be opened or locked (a directory stands there,
// another user owns it, or a process that is no copy of ours holds it and does not answer), an
// abstract socket name, which no file can block, is the lock instead; a copy that holds the file
// takes the name too, so that copies of both kinds cannot run side by side. Only the lock holder
// touches the socket, so copies started at the same moment cannot both win. A later copy hands
// its request over and gives up within a second, whether the first one answered or not.
//
// The protocol, on a local socket that only the user can reach: a later copy connects, writes
// one request as a line of printable ASCII ending in '\n', at most 4 KiB with the line end, and
// hangs up; the running copy reads lines until then. Requests today are single words: "wake"
// (bring the frame to the front) and "hide-tray". A request that needs an answer gets it as one
// line written back on the same connection before the asking copy hangs up.
class CInstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit CInstanceChannel(const QString& name, QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // True when this process now owns the channel. False when another copy is running: it has
    // been sent `command` (or, when it did not answer in time, the command is dropped) and this
    // one should end.
    bool Claim(const QByteArray& command);
    // Stops listening and gives up the lock, so that a new copy can claim the channel.
    void Release();
    // Sends one command to the copy that owns the channel; false when none answers in time.
    bool Send(const QByteArray& command) const;
    // The socket path, for tests.
    QString ServerName() const;

signals:
    void CommandReceived(const QByteArray& command);

private:
    enum class Lock { Taken, Busy, Unusable };

    Lock TakeFileLock();
    // False when another process holds the name.
    bool TakeNameLock();
    void ReleaseLocks();
    bool SendBefore(const QByteArray& command, const QDeadlineTimer& deadline) const;
    void Listen();
    // Makes way for the socket: what a dead copy left there goes, anything else is moved aside.
    void ClearSocketPath() const;
    void OnNewConnection();

    QString m_serverName;
    // Wakes the program when a later copy connects; owns nothing but the wake-up.
    QSocketNotifier* m_listener = nullptr;
    int m_lockFd = -1;
    int m_nameLockFd = -1;
};

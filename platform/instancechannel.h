#pragma once

#include <QObject>

class QDeadlineTimer;
class QLocalServer;
class QLocalSocket;

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
// The protocol, on Qt's local socket, which only the user can reach (its path is ServerName()):
// - A later copy connects, writes one request and hangs up. A request is a line of printable
//   ASCII ending in '\n', at most 4 KiB with the line end; a peer that sends more without a
//   line end is cut off. The running copy reads every whole line and emits it, trimmed, as
//   CommandReceived; whoever hears it ignores words it does not know.
// - "wake" (bring the frame to the front) and "hide-tray" are single words without an answer.
// - A request that needs an answer gets it as one line of UTF-8 text, written back by the
//   running copy on the same connection while it hands the request on; the asking copy reads it
//   within its second before it hangs up. Both ends keep the same 4-KiB cap.
class CInstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit CInstanceChannel(const QString& name, QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // True when this process now owns the channel. False when another copy is running: it has
    // been sent `command` (or, when it did not answer in time, the command is dropped) and this
    // one should end. With `answer`, the running copy's answer line is put there, empty when none
    // came in time.
    bool Claim(const QByteArray& command, QByteArray* answer = nullptr);
    // Stops listening and gives up the lock, so that a new copy can claim the channel.
    void Release();
    // Sends one command to the copy that owns the channel; false when none takes it in time.
    // With `answer`, waits for the answer line within the same time; it stays empty when none came.
    bool Send(const QByteArray& command, QByteArray* answer = nullptr) const;
    // Answers the request that CommandReceived is handing on, with one line; does nothing at
    // any other time.
    void Answer(const QByteArray& line);
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
    bool SendBefore(const QByteArray& command, const QDeadlineTimer& deadline, QByteArray* answer) const;
    void Listen();
    // Makes way for the socket: anything but a socket a dead copy left there is moved aside.
    // False when something stays in the way.
    bool ClearSocketPath() const;
    void OnNewConnection();
    void ReadRequests(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
    // The connection whose request is being handed on, while it is.
    QLocalSocket* m_asking = nullptr;
    int m_lockFd = -1;
    int m_nameLockFd = -1;
};

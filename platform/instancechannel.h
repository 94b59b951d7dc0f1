#pragma once

#include <QObject>

class QSocketNotifier;

// Keeps one running copy of a program per user. The first copy holds a lock file for its whole
// life and listens on a private local socket; a later copy hands its request to the first and
// ends. Only the lock decides who is first, so two copies started at the same moment cannot both
// win: the socket is touched only by the copy that holds the lock.
class CInstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit CInstanceChannel(const QString& name, QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // True when this process now owns the channel. False when another copy is running: it has
    // been sent `command` (or, when it never starts listening, the command is dropped) and this
    // one should end.
    bool Claim(const QByteArray& command);
    // Stops listening and gives up the lock, so that a new copy can claim the channel.
    void Release();
    // Sends one command to the copy that owns the channel; false when none answers.
    bool Send(const QByteArray& command) const;
    // The socket path, for tests.
    QString ServerName() const;

signals:
    void CommandReceived(const QByteArray& command);

private:
    // False only when another process holds the lock.
    bool TakeLock();
    void Listen();
    void OnNewConnection();

    QString m_serverName;
    // Wakes the program when a later copy connects; owns nothing but the wake-up.
    QSocketNotifier* m_listener = nullptr;
    int m_lockFd = -1;
};

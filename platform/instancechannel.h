#pragma once

#include <QObject>

class QLocalServer;

// Keeps one running copy of a program per user. The first copy listens on a private local
// socket; a later copy hands its request to the first and ends.
class CInstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit CInstanceChannel(const QString& name, QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // True when this process now owns the channel. False when another copy is running: it has
    // been sent `command` and this one should end.
    bool Claim(const QByteArray& command);
    // Stops listening, so that a new copy can claim the channel.
    void Release();
    // Sends one command to the copy that owns the channel; false when none answers.
    bool Send(const QByteArray& command) const;
    // The socket path, for tests.
    QString ServerName() const;

signals:
    void CommandReceived(const QByteArray& command);

private:
    void OnNewConnection();

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

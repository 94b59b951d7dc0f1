#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>

class QTcpSocket;

// How the server sends one path: a status line, headers and the body in timed chunks.
struct stStreamPlan
{
    static constexpr qint64 LengthOfChunks = -1;
    static constexpr qint64 NoLength = -2;

    int nStatus = 200;
    QByteArray extraHeaders;
    QList<QByteArray> chunks;
    int nChunkDelayMs = 0;
    // The announced Content-Length: the chunks' total, none (the close ends the body), or a
    // chosen value such as more than is sent (a cut connection) or more than any installer.
    qint64 nContentLength = LengthOfChunks;
    // After the last chunk the connection stays open and silent instead of closing.
    bool bHoldOpen = false;
};

// An HTTP/1.1 server on the loopback address that sends bodies piece by piece, so tests see a
// download grow, break off, stall or run over.
class CStreamingHttpServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit CStreamingHttpServer(QObject* parent = nullptr);

    QString UrlOf(const QByteArray& path) const;
    void SetPlan(const QByteArray& path, const stStreamPlan& plan);
    // The paths requested so far, in order.
    QList<QByteArray> RequestedPaths() const;

private:
    void OnConnection();
    void OnReadable(QTcpSocket* socket);
    void SendChunk(QTcpSocket* socket, const stStreamPlan& plan, int index);

    QHash<QByteArray, stStreamPlan> m_plans;
    QList<QByteArray> m_requested;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

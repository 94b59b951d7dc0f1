#include "StreamingHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

CStreamingHttpServer::CStreamingHttpServer(QObject* parent)
    : QTcpServer(parent)
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, &CStreamingHttpServer::OnConnection);
}

QString CStreamingHttpServer::UrlOf(const QByteArray& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(QString::fromLatin1(path));
}

void CStreamingHttpServer::SetPlan(const QByteArray& path, const stStreamPlan& plan)
{
    m_plans.insert(path, plan);
}

QList<QByteArray> CStreamingHttpServer::RequestedPaths() const
{
    return m_requested;
}

void CStreamingHttpServer::OnConnection()
{
    while (QTcpSocket* socket = nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void CStreamingHttpServer::OnReadable(QTcpSocket* socket)
{
    QByteArray& buffer = m_pending[socket];
    buffer += socket->readAll();
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray path = buffer.left(buffer.indexOf("\r\n")).split(' ').value(1);
    buffer.clear();
    m_requested << path;

    stStreamPlan missing;
    missing.nStatus = 404;
    missing.chunks = {QByteArray("not here")};
    const stStreamPlan plan = m_plans.value(path, missing);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(plan.nStatus) + " Answer\r\nConnection: close\r\n" + plan.extraHeaders;
    qint64 length = plan.nContentLength;
    if (length == stStreamPlan::LengthOfChunks) {
        length = 0;
        for (const QByteArray& chunk : plan.chunks)
            length += chunk.size();
    }
    if (length != stStreamPlan::NoLength)
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    socket->write(head + "\r\n");
    SendChunk(socket, plan, 0);
}

void CStreamingHttpServer::SendChunk(QTcpSocket* socket, const stStreamPlan& plan, int index)
{
    if (index >= plan.chunks.size()) {
        if (!plan.bHoldOpen)
            socket->disconnectFromHost();
        return;
    }
    socket->write(plan.chunks.at(index));
    socket->flush();
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(plan.nChunkDelayMs, this, [this, guarded, plan, index] {
        if (guarded)
            SendChunk(guarded, plan, index + 1);
    });
}

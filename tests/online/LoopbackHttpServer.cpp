#include "LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

CLoopbackHttpServer::CLoopbackHttpServer(QObject* parent)
    : QTcpServer(parent)
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, &CLoopbackHttpServer::OnConnection);
}

QString CLoopbackHttpServer::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void CLoopbackHttpServer::SetAnswer(const QByteArray& path, const stCannedAnswer& answer)
{
    m_answers.insert(path, answer);
}

QList<stRecordedRequest> CLoopbackHttpServer::Requests() const
{
    return m_requests;
}

QList<stRecordedRequest> CLoopbackHttpServer::RequestsTo(const QByteArray& path) const
{
    QList<stRecordedRequest> matching;
    for (const stRecordedRequest& request : m_requests) {
        if (request.path == path)
            matching << request;
    }
    return matching;
}

void CLoopbackHttpServer::ClearRequests()
{
    m_requests.clear();
}

void CLoopbackHttpServer::OnConnection()
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

void CLoopbackHttpServer::OnReadable(QTcpSocket* socket)
{
    QByteArray& buffer = m_pending[socket];
    buffer += socket->readAll();
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + 4);
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');

    stRecordedRequest request;
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    const int question = request.target.indexOf('?');
    request.path = question < 0 ? request.target : request.target.left(question);
    request.query = question < 0 ? QByteArray() : request.target.mid(question + 1);
    for (int i = 1; i < lines.size(); ++i)
        request.headerNames << lines.at(i).left(lines.at(i).indexOf(':')).trimmed().toLower();
    m_requests << request;

    stCannedAnswer answer;
    answer.nStatus = 404;
    answer = m_answers.value(request.path, answer);
    if (answer.bSilent)
        return;
    if (answer.nDelayMs > 0)
        QTimer::singleShot(answer.nDelayMs, socket, [this, socket, answer] { Answer(socket, answer); });
    else
        Answer(socket, answer);
}

void CLoopbackHttpServer::Answer(QTcpSocket* socket, const stCannedAnswer& answer)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.nStatus) + (answer.nStatus < 400 ? " OK" : " Error")
        + "\r\nConnection: close\r\n";
    if (!answer.bNoLength)
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    socket->write(head + "\r\n" + answer.body);
    socket->disconnectFromHost();
}

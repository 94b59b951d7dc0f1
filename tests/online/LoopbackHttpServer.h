#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>

class QTcpSocket;

// How the server answers one path.
struct stCannedAnswer
{
    int nStatus = 200;
    QByteArray body;
    // Waits this long before answering.
    int nDelayMs = 0;
    // Never answers; the connection stays open until the server goes.
    bool bSilent = false;
    // Sends the body without a length and ends it by closing, as a streaming service would.
    bool bNoLength = false;
};

// What a client sent.
struct stRecordedRequest
{
    QByteArray method;
    // The request target as sent: path and query, still encoded.
    QByteArray target;
    QByteArray path;
    QByteArray query;
    QList<QByteArray> headerNames;
};

// An HTTP/1.1 server on the loopback address for tests: it records each request and answers
// with what the test set for the path (404 for anything else).
class CLoopbackHttpServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit CLoopbackHttpServer(QObject* parent = nullptr);

    // "http://127.0.0.1:PORT", the base address to configure as a service.
    QString BaseUrl() const;
    void SetAnswer(const QByteArray& path, const stCannedAnswer& answer);
    QList<stRecordedRequest> Requests() const;
    // The recorded requests for one path.
    QList<stRecordedRequest> RequestsTo(const QByteArray& path) const;
    void ClearRequests();

private:
    void OnConnection();
    void OnReadable(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const stCannedAnswer& answer);

    QHash<QByteArray, stCannedAnswer> m_answers;
    QList<stRecordedRequest> m_requests;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

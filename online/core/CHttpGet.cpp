#include "CHttpGet.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

stHttpAnswer CHttpGet::Run(const QUrl& url, int timeoutMs, qint64 maxBytes)
{
    stHttpAnswer answer;
    if (!url.isValid() || url.isEmpty())
        return answer;

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = manager.get(request);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        answer.bTimedOut = true;
        reply->abort();
    });
    auto collect = [&] {
        if (answer.bTooLarge || !reply->isOpen())
            return;
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        if ((announced.isValid() && announced.toLongLong() > maxBytes)
            || answer.body.size() + reply->bytesAvailable() > maxBytes) {
            answer.bTooLarge = true;
            reply->abort();
            return;
        }
        answer.body += reply->readAll();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, collect);
    QObject::connect(reply, &QIODevice::readyRead, &loop, collect);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();
    timer.stop();

    // The wait also ends when the application quits: a reply still on its way then is no
    // answer, whatever part of the body has come.
    const bool finished = reply->isFinished();
    if (!finished)
        reply->abort();
    collect();
    answer.nStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.bOk = finished && !answer.bTimedOut && !answer.bTooLarge && reply->error() == QNetworkReply::NoError;
    if (!answer.bOk)
        answer.body.clear();
    delete reply;
    return answer;
}

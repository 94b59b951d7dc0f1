#pragma once

#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// Downloads one file at a time. The body grows in "<target>_tmp" and takes the target's name
// only when it arrived whole with a success status, so a broken download never leaves a file
// that looks like an installer.
class CDownload : public QObject
{
    Q_OBJECT
public:
    // Far above any real installer; a larger body is a broken or hostile answer.
    static constexpr qint64 DefaultMaxBytes = qint64(1) << 30;
    // A download that receives nothing for this long is given up.
    static constexpr int DefaultStallTimeoutMs = 30000;

    explicit CDownload(QObject* parent = nullptr);
    ~CDownload() override;

    void SetLimits(qint64 maxBytes, int stallTimeoutMs);

    // Starts downloading `url` to `targetPath`; ignored while a download runs. An earlier file
    // at the target or temporary path is removed first.
    void Download(const QUrl& url, const QString& targetPath);
    // Stops a running download and removes its temporary file.
    void Abort();
    // Forgets the progress of an earlier address.
    void ResetProgress();

    QUrl Url() const;
    bool IsIdle() const;
    QString TemporaryPath() const;
    qint64 BytesReceived() const;
    qint64 BytesTotal() const;

signals:
    void OnProcess_Signals(qint64 bytesReceived, qint64 bytesTotal);
    // The whole file is at the target path; statusCode is the reply's 2xx status.
    void OnFinished_Signals(int statusCode);
    void OnError_Signals(QString strMessage);

private slots:
    void OnProgress_Slots(qint64 bytesReceived, qint64 bytesTotal);
    void OnReadyRead_Slots();
    void OnFinished_Slots();
    void OnError_Slots(QNetworkReply::NetworkError code);

private:
    void Fail(const QString& message);
    void ReleaseReply();
    void RemoveTemporaryFile() const;
    int StatusCode() const;
    // The Content-Length the answer announced, or -1.
    qint64 AnnouncedLength() const;

    QUrl m_url;
    QString m_targetPath;
    QString m_temporaryPath;
    qint64 m_bytesReceived = 0;
    qint64 m_bytesTotal = 0;
    qint64 m_resumeOffset = 0;
    qint64 m_bytesWritten = 0;
    bool m_idle = true;
    QNetworkReply* m_reply = nullptr;
    QNetworkAccessManager* m_manager = nullptr;
    qint64 m_maxBytes = DefaultMaxBytes;
    int m_stallTimeoutMs = DefaultStallTimeoutMs;
};

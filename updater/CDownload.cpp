#include "CDownload.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

#include "wholefile.h"

namespace {
const QString kTemporarySuffix = QStringLiteral("_tmp");
}

CDownload::CDownload(QObject* parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
}

CDownload::~CDownload()
{
    Abort();
}

void CDownload::SetLimits(qint64 maxBytes, int stallTimeoutMs)
{
    m_maxBytes = maxBytes;
    m_stallTimeoutMs = stallTimeoutMs;
}

void CDownload::Download(const QUrl& url, const QString& targetPath)
{
    if (!m_idle)
        return;
    m_idle = false;
    m_url = url;
    m_targetPath = targetPath;
    m_temporaryPath = targetPath + kTemporarySuffix;
    m_bytesWritten = 0;
    // Nothing is ever resumed, so whatever an earlier run left behind is stale.
    QFile::remove(m_targetPath);
    RemoveTemporaryFile();

    QNetworkRequest request(url);
    // A redirect is not followed: the address the service named is the only one downloaded.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_stallTimeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &CDownload::OnProgress_Slots);
    connect(m_reply, &QNetworkReply::readyRead, this, &CDownload::OnReadyRead_Slots);
    connect(m_reply, &QNetworkReply::finished, this, &CDownload::OnFinished_Slots);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &CDownload::OnError_Slots);
}

void CDownload::Abort()
{
    ReleaseReply();
    m_idle = true;
    m_resumeOffset = 0;
    m_bytesReceived = 0;
    m_bytesTotal = 0;
    RemoveTemporaryFile();
}

void CDownload::ResetProgress()
{
    m_bytesReceived = 0;
    m_bytesTotal = 0;
    m_resumeOffset = 0;
}

QUrl CDownload::Url() const
{
    return m_url;
}

bool CDownload::IsIdle() const
{
    return m_idle;
}

QString CDownload::TemporaryPath() const
{
    return m_temporaryPath;
}

qint64 CDownload::BytesReceived() const
{
    return m_bytesReceived;
}

qint64 CDownload::BytesTotal() const
{
    return m_bytesTotal;
}

void CDownload::OnProgress_Slots(qint64 bytesReceived, qint64 bytesTotal)
{
    if (m_idle)
        return;
    if (bytesTotal > m_maxBytes || bytesReceived > m_maxBytes) {
        Fail(tr("更新文件过大!"));
        return;
    }
    m_bytesReceived = bytesReceived;
    m_bytesTotal = bytesTotal;
    emit OnProcess_Signals(m_bytesReceived + m_resumeOffset, m_bytesTotal + m_resumeOffset);
}

void CDownload::OnReadyRead_Slots()
{
    if (m_idle || !m_reply)
        return;
    const QByteArray bytes = m_reply->readAll();
    // The body of an error or redirect answer is not the installer.
    const int status = StatusCode();
    if (status < 200 || status > 299)
        return;
    if (AnnouncedLength() > m_maxBytes || m_bytesWritten + bytes.size() > m_maxBytes) {
        Fail(tr("更新文件过大!"));
        return;
    }
    QFile file(m_temporaryPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || !WholeFile::WriteAll(file, bytes)) {
        Fail(tr("创建更新临时文件失败!"));
        return;
    }
    m_bytesWritten += bytes.size();
}

void CDownload::OnFinished_Slots()
{
    if (m_idle || !m_reply)
        return;
    OnReadyRead_Slots();
    if (m_idle)
        return;
    const int status = StatusCode();
    const QNetworkReply::NetworkError error = m_reply->error();
    const QString errorText = m_reply->errorString();
    const qint64 announced = AnnouncedLength();
    if (error != QNetworkReply::NoError) {
        Fail(errorText);
        return;
    }
    if (status < 200 || status > 299) {
        Fail(QStringLiteral("HTTP %1").arg(status));
        return;
    }
    // An empty body is no installer either.
    if ((announced >= 0 && announced != m_bytesWritten) || m_bytesWritten == 0 || !QFile::exists(m_temporaryPath)) {
        Fail(tr("更新文件不完整!"));
        return;
    }
    const QString targetPath = m_temporaryPath.left(m_temporaryPath.lastIndexOf(kTemporarySuffix));
    QFile::remove(targetPath);
    if (!QFile::rename(m_temporaryPath, targetPath)) {
        Fail(tr("保存更新文件失败!"));
        return;
    }
    ReleaseReply();
    m_idle = true;
    emit OnFinished_Signals(status);
}

void CDownload::OnError_Slots(QNetworkReply::NetworkError code)
{
    Q_UNUSED(code)
    if (m_idle || !m_reply)
        return;
    // The reply is already ending with this error; aborting it from inside its own error
    // report would report a second one.
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->deleteLater();
    Fail(reply->errorString());
}

void CDownload::Fail(const QString& message)
{
    Abort();
    emit OnError_Signals(message);
}

void CDownload::ReleaseReply()
{
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void CDownload::RemoveTemporaryFile() const
{
    if (!m_temporaryPath.isEmpty() && QFile::exists(m_temporaryPath))
        QFile::remove(m_temporaryPath);
}

qint64 CDownload::AnnouncedLength() const
{
    const QVariant length = m_reply ? m_reply->header(QNetworkRequest::ContentLengthHeader) : QVariant();
    return length.isValid() ? length.toLongLong() : -1;
}

int CDownload::StatusCode() const
{
    return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

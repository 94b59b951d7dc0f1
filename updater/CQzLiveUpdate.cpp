#include "CQzLiveUpdate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimerEvent>
#include <QUrl>
#include <QWindow>

#include "CCommon.h"
#include "CContext.h"
#include "CDownload.h"
#include "CIniSettings.h"
#include "core/CPanelShadow.h"
#include "clock.h"
#include "executable.h"

namespace {
enum Page { PageChecking = 0, PageUpToDate, PageOffered, PageDownloading, PageForced, PageFailed };

QString ReadStyleSheet()
{
    QFile file(QStringLiteral(":/Resources/Skin/LiveUpdate.qss"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
}

CQzLiveUpdate::CQzLiveUpdate(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(tr("检查更新"));
    setWindowIcon(QIcon(QStringLiteral(":/Resources/ZiDozudaz.ico")));
    ui.setupUi(this);
    setStyleSheet(ReadStyleSheet());

    CPanelShadow::Attach(ui.verticalWidget);

    m_loading = new QMovie(QStringLiteral(":/Resources/Skin/Verd/loading.gif"), QByteArray(), this);
    ui.label_loading->setMovie(m_loading);

    connect(ui.btn_close, &QPushButton::clicked, this, &CQzLiveUpdate::OnClose_Click);
    connect(ui.btn_finish, &QPushButton::clicked, this, &CQzLiveUpdate::OnClose_Click);
    connect(ui.btn_skip, &QPushButton::clicked, this, &CQzLiveUpdate::OnSkip_Click);
    connect(ui.btn_update, &QPushButton::clicked, this, &CQzLiveUpdate::OnUpdate_Click);
    connect(ui.btn_autoupdate, &QPushButton::clicked, this, &CQzLiveUpdate::OnAutoUpdate_Click);
    connect(ui.btn_retry, &QPushButton::clicked, this, &CQzLiveUpdate::OnRetry_Click);

    ui.Body->setCurrentIndex(PageChecking);
    m_loading->start();
    StartCheckTimer(CheckDelayMs);
}

CQzLiveUpdate::~CQzLiveUpdate()
{
    // A half-downloaded installer must not outlive the window.
    if (m_download)
        m_download->Abort();
}

QString CQzLiveUpdate::DownloadFolder()
{
    return Executable::Folder() + QStringLiteral("/QzLive");
}

int CQzLiveUpdate::CheckTimerId() const
{
    return m_checkTimerId;
}

int CQzLiveUpdate::CheckTimerDelay() const
{
    return m_checkTimerId ? m_checkTimerDelay : 0;
}

CDownload* CQzLiveUpdate::Download() const
{
    return m_download;
}

void CQzLiveUpdate::OnClose_Click()
{
    if (m_download)
        m_download->Abort();
    close();
}

void CQzLiveUpdate::OnSkip_Click()
{
    CIniSettings::Instance()->SetUpdateTimestamp(CClock::Now());
    close();
}

void CQzLiveUpdate::OnUpdate_Click()
{
    StartDownload();
}

void CQzLiveUpdate::OnAutoUpdate_Click()
{
    if (CContext::Instance()->QueryUpdateInfo())
        StartDownload();
    else
        ShowFailed();
}

void CQzLiveUpdate::OnRetry_Click()
{
    m_loading->start();
    ui.Body->setCurrentIndex(PageChecking);
    StopCheckTimer();
    StartCheckTimer(RetryDelayMs);
}

void CQzLiveUpdate::OnFinished_Slots(int statusCode)
{
    const QString installer = InstallerPath();
    // Only a whole file from a successful answer is an installer; anything else would start
    // whatever an error page or a redirect left behind.
    if (statusCode < 200 || statusCode > 299 || !QFileInfo(installer).isFile()) {
        m_download->Abort();
        return;
    }
    m_loading->start();
    CCommon::Instance()->StartInstaller(installer);
    m_loading->stop();
    QCoreApplication::quit();
}

void CQzLiveUpdate::OnProcess_Slots(qint64 bytesReceived, qint64 bytesTotal)
{
    if (bytesTotal <= 0)
        return;
    // The bar counts in int; larger sizes are scaled down together so the ratio stays.
    int shift = 0;
    while ((bytesTotal >> shift) > INT_MAX)
        ++shift;
    ui.progressBar->setMaximum(static_cast<int>(bytesTotal >> shift));
    ui.progressBar->setValue(static_cast<int>(qBound<qint64>(0, bytesReceived, bytesTotal) >> shift));
    ui.label_progress->setText(tr("更新中...%1%").arg(bytesReceived * 100 / bytesTotal));
}

void CQzLiveUpdate::OnError_Slots(QString strMessage)
{
    Q_UNUSED(strMessage)
    m_download->Abort();
}

void CQzLiveUpdate::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_checkTimerId || m_checkTimerId == 0)
        return;
    StopCheckTimer();
    Check();
}

void CQzLiveUpdate::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        OnClose_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CQzLiveUpdate::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && windowHandle())
        windowHandle()->startSystemMove();
    event->ignore();
}

void CQzLiveUpdate::Check()
{
    CContext* context = CContext::Instance();
    if (!context->QueryUpdateInfo()) {
        ShowFailed();
        return;
    }
    m_loading->stop();
    if (!context->HasNewerVersion()) {
        ui.label_message->setText(tr("已经是最新版本啦！"));
        ui.label_version->setText(tr("版本：v%1").arg(context->CurrentVersion()));
        ui.Body->setCurrentIndex(PageUpToDate);
    } else if (context->IsForced()) {
        ui.Body->setCurrentIndex(PageForced);
    } else {
        ui.label_tips->setText(tr("检测到最新版本v %1").arg(context->Version()));
        ui.textBrowser->setHtml(QStringLiteral("%1").arg(context->Note()));
        ui.Body->setCurrentIndex(PageOffered);
    }
}

void CQzLiveUpdate::StartCheckTimer(int delayMs)
{
    m_checkTimerDelay = delayMs;
    m_checkTimerId = startTimer(delayMs, Qt::CoarseTimer);
}

void CQzLiveUpdate::StopCheckTimer()
{
    if (m_checkTimerId)
        killTimer(m_checkTimerId);
    m_checkTimerId = 0;
}

void CQzLiveUpdate::StartDownload()
{
    // Nothing may be fetched from an address that gives no safe file name.
    if (CContext::Instance()->InstallerFileName().isEmpty()) {
        ShowFailed();
        return;
    }
    ui.Body->setCurrentIndex(PageDownloading);
    const QString url = CContext::Instance()->Url();
    if (!m_download) {
        m_download = new CDownload(this);
        connect(m_download, &CDownload::OnProcess_Signals, this, &CQzLiveUpdate::OnProcess_Slots);
        connect(m_download, &CDownload::OnFinished_Signals, this, &CQzLiveUpdate::OnFinished_Slots);
        connect(m_download, &CDownload::OnError_Signals, this, &CQzLiveUpdate::OnError_Slots);
    }
    if (m_downloadUrl != url)
        m_download->ResetProgress();
    m_downloadUrl = url;
    QDir().mkpath(DownloadFolder());
    m_download->Download(QUrl(url), InstallerPath());
}

void CQzLiveUpdate::ShowFailed()
{
    m_loading->stop();
    ui.Body->setCurrentIndex(PageFailed);
}

QString CQzLiveUpdate::InstallerPath() const
{
    return QStringLiteral("%1/%2").arg(DownloadFolder(), CContext::Instance()->InstallerFileName());
}

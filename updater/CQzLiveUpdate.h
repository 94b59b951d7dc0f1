#pragma once

#include <QWidget>

#include "CQzLiveUpdateClass.h"

class CDownload;
class QMovie;

// The updater's window: checks for a newer version, offers it, downloads the installer with
// its progress and starts it. Pages of `Body`, in order: checking, up to date, offered,
// downloading, forced update, failed.
class CQzLiveUpdate : public QWidget
{
    Q_OBJECT
public:
    static constexpr int CheckDelayMs = 2000;
    static constexpr int RetryDelayMs = 3000;

    explicit CQzLiveUpdate(QWidget* parent = nullptr);
    ~CQzLiveUpdate() override;

    // The folder the installer is saved in: "QzLive" beside the running updater.
    static QString DownloadFolder();

    // The pending check timer's id and delay (0 when none runs).
    int CheckTimerId() const;
    int CheckTimerDelay() const;
    // Null until the first download starts.
    CDownload* Download() const;

public slots:
    void OnClose_Click();
    void OnSkip_Click();
    void OnUpdate_Click();
    void OnAutoUpdate_Click();
    void OnRetry_Click();
    void OnFinished_Slots(int statusCode);
    void OnProcess_Slots(qint64 bytesReceived, qint64 bytesTotal);
    void OnError_Slots(QString strMessage);

protected:
    void timerEvent(QTimerEvent* event) override;
    // Esc closes the window as its close button does.
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Check();
    void StartCheckTimer(int delayMs);
    void StopCheckTimer();
    void StartDownload();
    void ShowFailed();
    QString InstallerPath() const;

    CQzLiveUpdateClass ui;
    QMovie* m_loading = nullptr;
    int m_checkTimerId = 0;
    int m_checkTimerDelay = 0;
    QString m_downloadUrl;
    CDownload* m_download = nullptr;
};

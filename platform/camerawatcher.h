#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QSocketNotifier;

// Tells whether another program holds a camera open: a video device (a `video*` node of the
// device folder) open in a process other than this one. The kernel announces each open and close
// of those nodes, and only then are the processes' open files looked through; the folder itself
// is followed for cameras plugged in or out. Nothing runs while no one touches a camera.
class CCameraWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CCameraWatcher(const QString& deviceFolder = QStringLiteral("/dev"), QObject* parent = nullptr);
    ~CCameraWatcher() override;

    bool IsAvailable() const;
    bool IsInUse() const;

signals:
    void InUseChanged(bool inUse);

private slots:
    void OnEvents();

private:
    void WatchDevices();
    bool AnyDeviceOpen() const;

    QString m_folder;
    int m_inotify = -1;
    QSocketNotifier* m_notifier = nullptr;
    // Each video node's absolute path by its watch.
    QHash<int, QString> m_devices;
    bool m_inUse = false;
};

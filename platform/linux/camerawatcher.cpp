#include "camerawatcher.h"

#include <climits>
#include <cstdlib>

#include <dirent.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSocketNotifier>

namespace {
const QString kVideoPrefix = QStringLiteral("video");
constexpr uint32_t kDeviceEvents = IN_OPEN | IN_CLOSE;
constexpr uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// The file an open descriptor stands for, as the link in /proc names it. Reading the link asks
// nothing of the file's own file system, which a hung network or FUSE mount could stall.
QByteArray LinkTarget(const QByteArray& link)
{
    char target[PATH_MAX];
    const ssize_t length = readlink(link.constData(), target, sizeof target);
    return length > 0 ? QByteArray(target, int(length)) : QByteArray();
}
}

CCameraWatcher::CCameraWatcher(const QString& deviceFolder, QObject* parent)
    : QObject(parent)
    , m_folder(QDir(deviceFolder).canonicalPath())
{
    if (m_folder.isEmpty())
        return;
    m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0)
        return;
    if (inotify_add_watch(m_inotify, QFile::encodeName(m_folder).constData(), kFolderEvents) < 0) {
        close(m_inotify);
        m_inotify = -1;
        return;
    }
    // Only the video nodes themselves are watched for opens: the folder as a whole would wake the
    // program at every open of /dev/null.
    WatchDevices();
    m_notifier = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CCameraWatcher::OnEvents);
    m_inUse = AnyDeviceOpen();
}

CCameraWatcher::~CCameraWatcher()
{
    delete m_notifier;
    if (m_inotify >= 0)
        close(m_inotify);
}

bool CCameraWatcher::IsAvailable() const
{
    return m_inotify >= 0;
}

bool CCameraWatcher::IsInUse() const
{
    return m_inUse;
}

void CCameraWatcher::WatchDevices()
{
    QHash<int, QString> devices;
    const QStringList names = QDir(m_folder).entryList({kVideoPrefix + QLatin1Char('*')}, QDir::System | QDir::Files);
    for (const QString& name : names) {
        const QString path = m_folder + QLatin1Char('/') + name;
        // Adding a watch again returns the one the node already has.
        const int watch = inotify_add_watch(m_inotify, QFile::encodeName(path).constData(), kDeviceEvents);
        if (watch >= 0)
            devices.insert(watch, path);
    }
    for (auto old = m_devices.cbegin(); old != m_devices.cend(); ++old) {
        if (!devices.contains(old.key()))
            inotify_rm_watch(m_inotify, old.key());
    }
    m_devices = devices;
}

void CCameraWatcher::OnEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool devicesChanged = false;
    bool opensChanged = false;
    ssize_t length = 0;
    while ((length = read(m_inotify, buffer, sizeof buffer)) > 0) {
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & kDeviceEvents) {
                opensChanged = true;
            } else if (event->mask & (kFolderEvents | IN_IGNORED)) {
                const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
                devicesChanged |= name.isEmpty() || name.startsWith(kVideoPrefix);
            }
        }
    }
    if (devicesChanged)
        WatchDevices();
    if (!devicesChanged && !opensChanged)
        return;
    const bool inUse = AnyDeviceOpen();
    if (inUse == m_inUse)
        return;
    m_inUse = inUse;
    emit InUseChanged(inUse);
}

bool CCameraWatcher::AnyDeviceOpen() const
{
    if (m_devices.isEmpty())
        return false;
    QSet<QByteArray> devices;
    for (const QString& device : m_devices)
        devices.insert(QFile::encodeName(device));
    const pid_t own = getpid();
    DIR* processes = opendir("/proc");
    if (!processes)
        return false;
    bool open = false;
    while (!open) {
        const dirent* process = readdir(processes);
        if (!process)
            break;
        char* end = nullptr;
        const long pid = strtol(process->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == own)
            continue;
        // Another user's processes cannot be looked into; their cameras are theirs.
        const QByteArray fdFolder = QByteArray("/proc/") + process->d_name + "/fd/";
        DIR* descriptors = opendir(fdFolder.constData());
        if (!descriptors)
            continue;
        while (const dirent* descriptor = readdir(descriptors)) {
            if (descriptor->d_name[0] != '.' && devices.contains(LinkTarget(fdFolder + descriptor->d_name))) {
                open = true;
                break;
            }
        }
        closedir(descriptors);
    }
    closedir(processes);
    return open;
}

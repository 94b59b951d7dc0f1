#include "idlemonitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSocketNotifier>

#include "idle_wayland.h"
#include "xsynccounters.h"

namespace {
const QString kMutterService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kMutterPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kMutterInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");
}

struct CIdleMonitor::Private
{
    int thresholdSecs = 0;
    bool available = false;
    bool idle = false;

    Display* display = nullptr;
    int syncEventBase = 0;
    XSyncCounter idleCounter = None;
    // One alarm goes off when the idle time reaches the threshold, the other when input drops it
    // again; only one of them is armed at a time.
    XSyncAlarm idleAlarm = None;
    XSyncAlarm resetAlarm = None;
    // Armed while someone waits for the next input.
    XSyncAlarm inputAlarm = None;

    QSocketNotifier* notifier = nullptr;

    uint idleWatch = 0;
    uint activeWatch = 0;
    uint inputWatch = 0;

    std::unique_ptr<CWaylandIdle> wayland;

    ~Private()
    {
        delete notifier;
        if (!display)
            return;
        if (idleAlarm != None)
            XSyncDestroyAlarm(display, idleAlarm);
        if (resetAlarm != None)
            XSyncDestroyAlarm(display, resetAlarm);
        if (inputAlarm != None)
            XSyncDestroyAlarm(display, inputAlarm);
        XCloseDisplay(display);
    }

    void ArmIdle()
    {
        // A comparison, not a transition: a user already idle when this is armed counts at once.
        XSyncCounters::Arm(display, idleCounter, idleAlarm, XSyncPositiveComparison,
            XSyncCounters::Milliseconds(qint64(thresholdSecs) * 1000));
    }

    QDBusMessage MutterCall(const QString& method, const QVariantList& arguments = {}) const
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kMutterService, kMutterPath, kMutterInterface, method);
        call.setArguments(arguments);
        return call;
    }
};

CIdleMonitor::CIdleMonitor(int thresholdSecs, QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    d->thresholdSecs = thresholdSecs;
    d->wayland = std::make_unique<CWaylandIdle>([this](bool idle) { SetIdle(idle); });
    if (d->wayland->Start(thresholdSecs)) {
        d->available = true;
        return;
    }
    // In a Wayland session the X server sees only the input its own windows get, so its counter
    // would call a busy user idle. GNOME offers its own monitor on the session bus instead.
    const bool wayland
        = d->wayland->IsConnected() || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    d->wayland.reset();
    d->available = wayland ? StartMutter() : StartXSync();
}

CIdleMonitor::~CIdleMonitor()
{
    for (uint watch : {d->idleWatch, d->activeWatch, d->inputWatch}) {
        if (watch)
            QDBusConnection::sessionBus().call(d->MutterCall(QStringLiteral("RemoveWatch"), {watch}), QDBus::NoBlock);
    }
}

bool CIdleMonitor::IsAvailable() const
{
    return d->available;
}

bool CIdleMonitor::IsIdle() const
{
    return d->idle;
}

int CIdleMonitor::ThresholdSecs() const
{
    return d->thresholdSecs;
}

void CIdleMonitor::WatchNextInput()
{
    if (d->wayland) {
        d->wayland->WatchNextInput([this] { emit InputSeen(); });
    } else if (d->display && d->idleCounter != None) {
        XSyncCounters::ArmNextInput(d->display, d->idleCounter, d->inputAlarm);
    } else if (d->idleWatch) {
        const QDBusReply<uint> watch
            = QDBusConnection::sessionBus().call(d->MutterCall(QStringLiteral("AddUserActiveWatch")));
        if (watch.isValid())
            d->inputWatch = watch.value();
    }
}

void CIdleMonitor::SetIdle(bool idle)
{
    if (idle == d->idle)
        return;
    d->idle = idle;
    if (idle)
        emit IdleStarted();
    else
        emit IdleEnded();
}

bool CIdleMonitor::StartXSync()
{
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return false;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XSyncQueryExtension(d->display, &d->syncEventBase, &errorBase) || !XSyncInitialize(d->display, &major, &minor))
        return false;
    d->idleCounter = XSyncCounters::Find(d->display, "IDLETIME");
    if (d->idleCounter == None)
        return false;

    d->ArmIdle();
    XFlush(d->display);
    d->notifier = new QSocketNotifier(ConnectionNumber(d->display), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &CIdleMonitor::OnDisplayReadable);
    return true;
}

void CIdleMonitor::OnDisplayReadable()
{
    while (XPending(d->display)) {
        XEvent event;
        XNextEvent(d->display, &event);
        if (event.type != d->syncEventBase + XSyncAlarmNotify)
            continue;
        const auto* alarm = reinterpret_cast<const XSyncAlarmNotifyEvent*>(&event);
        if (alarm->alarm == d->idleAlarm && !d->idle) {
            // Fires when the counter falls below the value it had reached, which only input does.
            XSyncCounters::ArmBelow(d->display, d->idleCounter, d->resetAlarm, alarm->counter_value);
            SetIdle(true);
        } else if (alarm->alarm == d->resetAlarm && d->idle) {
            d->ArmIdle();
            SetIdle(false);
        } else if (alarm->alarm == d->inputAlarm) {
            XSyncDestroyAlarm(d->display, d->inputAlarm);
            d->inputAlarm = None;
            emit InputSeen();
        }
    }
}

bool CIdleMonitor::StartMutter()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kMutterService))
        return false;
    bus.connect(kMutterService, kMutterPath, kMutterInterface, QStringLiteral("WatchFired"), this,
        SLOT(OnWatchFired(uint)));
    const QVariant intervalMs = QVariant::fromValue<quint64>(quint64(d->thresholdSecs) * 1000);
    const QDBusReply<uint> watch = bus.call(d->MutterCall(QStringLiteral("AddIdleWatch"), {intervalMs}));
    if (!watch.isValid())
        return false;
    d->idleWatch = watch.value();
    return true;
}

void CIdleMonitor::OnWatchFired(uint id)
{
    if (id == d->idleWatch && !d->idle) {
        // The compositor's active watch fires once, at the next input. Without one the return
        // would never be seen, so the user does not count as idle at all.
        const QDBusReply<uint> watch =
            QDBusConnection::sessionBus().call(d->MutterCall(QStringLiteral("AddUserActiveWatch")));
        if (!watch.isValid())
            return;
        d->activeWatch = watch.value();
        SetIdle(true);
    } else if (id == d->activeWatch && d->activeWatch) {
        d->activeWatch = 0;
        SetIdle(false);
    } else if (id == d->inputWatch && d->inputWatch) {
        d->inputWatch = 0;
        emit InputSeen();
    }
}

#include "gamma_kde.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QHash>
#include <QJsonObject>
#include <QStandardPaths>

#include "kconfigfile.h"

namespace {
constexpr int kBusTimeoutMs = 2000;
constexpr int kMinimumKelvin = 1000;
constexpr int kMaximumKelvin = 6500;
const QString kKWin = QStringLiteral("org.kde.KWin");
const QByteArray kGroup = QByteArrayLiteral("NightColor");
const QByteArray kActive = QByteArrayLiteral("Active");
const QByteArray kMode = QByteArrayLiteral("Mode");
const QByteArray kTemperature = QByteArrayLiteral("NightTemperature");

using ChangedKeys = QHash<QString, QByteArrayList>;

QString SavedPathIn(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/kde-night-color.json");
}

QString KwinRc()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kwinrc");
}

// KConfig's own notification (what KDE's programs send after writing): every KConfig watcher of
// kwinrc, KWin's Night Light among them, reads the named keys again. Sent without waiting.
void Notify(const QByteArrayList& keys)
{
    static const bool registered = qDBusRegisterMetaType<QByteArrayList>() && qDBusRegisterMetaType<ChangedKeys>();
    Q_UNUSED(registered)
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/kwinrc"),
        QStringLiteral("org.kde.kconfig.notify"), QStringLiteral("ConfigChanged"));
    signal << QVariant::fromValue(ChangedKeys{{QString::fromLatin1(kGroup), keys}});
    QDBusConnection::sessionBus().send(signal);
}

bool OffersNightLight(const QString& path, const QString& interface)
{
    QDBusMessage get = QDBusMessage::createMethodCall(kKWin, path, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interface << QStringLiteral("available");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, kBusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

// Each touched key with the user's own value as it stands in kwinrc, or null where kwinrc lacks
// it. False when kwinrc could not be read or the file not written: then nothing may change.
bool SaveUserValues(const QString& path)
{
    CKConfigFile config;
    if (!config.Load(KwinRc()))
        return false;
    QJsonObject saved;
    for (const QByteArray& key : {kActive, kMode, kTemperature}) {
        const std::optional<QByteArray> value = config.Value(kGroup, key);
        saved.insert(QString::fromLatin1(key), value ? QJsonValue(QString::fromUtf8(*value)) : QJsonValue());
    }
    return SavedNightLight::Write(path, saved);
}

// The saved file goes only once every value is back in kwinrc; otherwise the next try has it.
void PutBack(const QString& path)
{
    const std::optional<QJsonObject> saved = SavedNightLight::Read(path);
    if (!saved)
        return;
    CKConfigFile config;
    if (!config.Load(KwinRc()))
        return;
    QByteArrayList keys;
    for (auto entry = saved->begin(); entry != saved->end(); ++entry) {
        const QByteArray key = entry.key().toUtf8();
        if (entry.value().isNull())
            config.RemoveKey(kGroup, key);
        else
            config.SetValue(kGroup, key, entry.value().toString().toUtf8());
        keys << key;
    }
    if (!config.Save(KwinRc()))
        return;
    Notify(keys);
    SavedNightLight::Remove(path);
}
}

CKdeNightColor::CKdeNightColor(const QString& dataFolder)
    : CDesktopNightLight(SavedPathIn(dataFolder))
{
    m_writeTimer.setSingleShot(true);
    QObject::connect(&m_writeTimer, &QTimer::timeout, [this] { WritePending(); });
}

CKdeNightColor::~CKdeNightColor()
{
    PutBackAtEnd();
}

bool CKdeNightColor::Available()
{
    return OffersNightLight(QStringLiteral("/org/kde/KWin/NightLight"), QStringLiteral("org.kde.KWin.NightLight"))
        || OffersNightLight(QStringLiteral("/ColorCorrect"), QStringLiteral("org.kde.kwin.ColorCorrect"));
}

void CKdeNightColor::RestoreLeftover(const QString& dataFolder)
{
    PutBack(SavedPathIn(dataFolder));
}

void CKdeNightColor::SetTemperature(int kelvin, const GammaRampView&)
{
    m_pendingKelvin = qBound(kMinimumKelvin, kelvin, kMaximumKelvin);
    if (m_writeTimer.isActive())
        return;
    const qint64 since = m_sinceWrite.isValid() ? m_sinceWrite.elapsed() : WriteIntervalMs;
    if (since >= WriteIntervalMs)
        WritePending();
    else
        m_writeTimer.start(int(WriteIntervalMs - since));
}

void CKdeNightColor::WritePending()
{
    m_sinceWrite.start();
    const bool saved = SavedNightLight::Read(SavedPath()).has_value();
    if (!saved && !SaveUserValues(SavedPath()))
        return;
    WatchTheEnd();
    CKConfigFile config;
    if (!config.Load(KwinRc()))
        return;
    // Always night: the temperature holds at every hour.
    config.SetValue(kGroup, kActive, QByteArrayLiteral("true"));
    config.SetValue(kGroup, kMode, QByteArrayLiteral("Constant"));
    config.SetValue(kGroup, kTemperature, QByteArray::number(m_pendingKelvin));
    if (config.Save(KwinRc()))
        Notify({kActive, kMode, kTemperature});
}

void CKdeNightColor::Restore(const GammaRampView&)
{
    m_writeTimer.stop();
    PutBack(SavedPath());
}

void CKdeNightColor::FlushRestore()
{
    // The notification is queued on the bus connection; a call answered by the bus itself comes
    // back only after everything sent before it has left.
    const QDBusMessage ping = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    QDBusConnection::sessionBus().call(ping, QDBus::Block, kBusTimeoutMs);
}

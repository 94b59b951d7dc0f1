#include "core/CSystemUtil.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include "SpeekChannel.h"
#include "autostart.h"
#include "clock.h"
#include "executable.h"
#include "safefile.h"
#include "stopchannel.h"

namespace {
CSystemUtil* g_systemUtil = nullptr;
const QString kAppName = QStringLiteral("QzHealthManager");
// A player that does not answer within this time is left to end by itself: a hung player must
// never freeze the tray program, and a healthy one answers within a few milliseconds.
constexpr int kStopWaitMs = 300;
const QByteArray kSigningKey = QByteArrayLiteral("Q7pLmZ2xWcR4nTbY8kVdH3sJfG6aE1uN");
const QString kZeroAddress = QStringLiteral("000000000000");

QString Md5Hex(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}
}

CSystemUtil* CSystemUtil::Instance()
{
    if (!g_systemUtil)
        g_systemUtil = new CSystemUtil;
    return g_systemUtil;
}

QString CSystemUtil::GetProgramFolder()
{
    if (m_programFolder.isEmpty())
        m_programFolder = Executable::Folder();
    return m_programFolder;
}

QString CSystemUtil::DataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString CSystemUtil::LocateDataFile(const QString& relativePath, qint64 largestBytes)
{
    const QString own = DataFolder() + relativePath;
    SafeFile::ReadResult found = QFileInfo::exists(own) ? SafeFile::ReadResult::Read : SafeFile::ReadResult::Missing;
    if (largestBytes > 0)
        found = SafeFile::Inspect(QFile::encodeName(own).toStdString(), size_t(largestBytes));
    if (found == SafeFile::ReadResult::Read)
        return own;
    const QString shared = QStandardPaths::locate(QStandardPaths::GenericDataLocation, kAppName + relativePath);
    if (!shared.isEmpty())
        return shared;
    const QString installed = Instance()->GetProgramFolder() + QStringLiteral("/../../share/") + kAppName + relativePath;
    if (QFileInfo::exists(installed))
        return QFileInfo(installed).canonicalFilePath();
    return found == SafeFile::ReadResult::Missing ? own : QString();
}

void CSystemUtil::SetAutoRun(int mode)
{
    const CAutostart entry(kAppName);
    if (mode == 1 || mode == 2)
        entry.Write(Executable::Path(), {QStringLiteral("boot")});
    else
        entry.Remove();
}

bool CSystemUtil::IsAutoRun() const
{
    return !CAutostart(kAppName).Command().isEmpty();
}

bool CSystemUtil::PlayPromptSound(int kind)
{
    QString sound;
    if (kind == 1)
        sound = QStringLiteral("/qzhealthaudio/drinkwater.spx");
    else if (kind == 2)
        sound = QStringLiteral("/qzhealthaudio/drinkprompt.spx");
    else
        return false;
    // A new prompt cuts off the one still playing.
    CStopChannel::Request(kSpeekChannelName, CStopChannel::kStopCode, kStopWaitMs);
    QProcess::startDetached(GetProgramFolder() + QStringLiteral("/QzHealthSpeek"), {LocateDataFile(sound, 0)});
    return true;
}

QString CSystemUtil::GetProgramVersion()
{
    return QStringLiteral(QZ_PROGRAM_VERSION);
}

QString CSystemUtil::GetOsVersion()
{
    if (m_osVersion.isEmpty()) {
        QString release = m_deviceInfo.KernelRelease();
        while (release.startsWith(QLatin1Char(' ')) || release.startsWith(QLatin1Char('\t')))
            release.remove(0, 1);
        while (release.endsWith(QLatin1Char(' ')) || release.endsWith(QLatin1Char('\t')))
            release.chop(1);
        m_osVersion = release;
    }
    return m_osVersion;
}

QString CSystemUtil::GetMachineUuid() const
{
    return m_deviceInfo.ProductUuid();
}

QString CSystemUtil::GetCpuId() const
{
    return CDeviceInfo::CpuId();
}

QString CSystemUtil::GetMacAddress() const
{
    const QStringList addresses = m_deviceInfo.EthernetAddresses();
    for (const QString& address : addresses) {
        if (address != kZeroAddress)
            return address;
    }
    return addresses.isEmpty() ? QString() : addresses.last();
}

QString CSystemUtil::DeviceIdFrom(const QString& machineUuid, const QString& macAddress, const QString& cpuId)
{
    QString text = machineUuid + QLatin1Char('&') + macAddress + QLatin1Char('&') + cpuId;
    // Placeholder firmware texts are the same on many machines, so they cannot tell one apart.
    if (text.contains(QLatin1String("O.E.M")) || text.contains(QLatin1String("System"))
        || text.contains(QLatin1String("None")))
        text = macAddress;
    // The processor word names a model, not a machine: without a UUID and an adapter there is
    // nothing that identifies this computer, and all such machines share one identity.
    if (text.isEmpty() || (machineUuid.isEmpty() && macAddress.isEmpty()))
        text = QStringLiteral("error");
    return Md5Hex(text).toUpper();
}

QString CSystemUtil::GetDeviceId() const
{
    return DeviceIdFrom(GetMachineUuid(), GetMacAddress(), GetCpuId());
}

QString CSystemUtil::GetReportData()
{
    QJsonObject data;
    data.insert(QStringLiteral("osversion"), GetOsVersion());
    data.insert(QStringLiteral("time"), QString::number(CClock::Now()));
    return QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact));
}

QString CSystemUtil::GetSignature(const QString& deviceId, const QString& macAddress, const QString& data)
{
    return Md5Hex(deviceId + QLatin1Char('&') + macAddress + QLatin1Char('&') + data + QLatin1Char('&')
        + QLatin1String(kSigningKey));
}

void CSystemUtil::SetDeviceInfo(const CDeviceInfo& info)
{
    m_deviceInfo = info;
    m_osVersion.clear();
}

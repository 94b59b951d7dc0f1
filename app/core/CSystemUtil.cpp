#include "CSystemUtil.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "SpeekChannel.h"
#include "autostart.h"
#include "executable.h"
#include "stopchannel.h"

namespace {
CSystemUtil* g_systemUtil = nullptr;
const QString kAppName = QStringLiteral("QzHealthManager");
// A player that does not answer within this time is left to end by itself: a hung player must
// never freeze the tray program, and a healthy one answers within a few milliseconds.
constexpr int kStopWaitMs = 300;
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

QString CSystemUtil::LocateDataFile(const QString& relativePath)
{
    const QString own = DataFolder() + relativePath;
    if (QFileInfo::exists(own))
        return own;
    const QString shared = QStandardPaths::locate(QStandardPaths::GenericDataLocation, kAppName + relativePath);
    if (!shared.isEmpty())
        return shared;
    const QString installed = Instance()->GetProgramFolder() + QStringLiteral("/../../share/") + kAppName + relativePath;
    if (QFileInfo::exists(installed))
        return QFileInfo(installed).canonicalFilePath();
    return own;
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
    QProcess::startDetached(GetProgramFolder() + QStringLiteral("/QzHealthSpeek"), {LocateDataFile(sound)});
    return true;
}

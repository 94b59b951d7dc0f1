#include "gamma_kde.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace {
constexpr int kToolTimeoutMs = 5000;
constexpr int kMinimumKelvin = 1000;
constexpr int kMaximumKelvin = 6500;
const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kActive = QStringLiteral("Active");
const QString kMode = QStringLiteral("Mode");
const QString kTemperature = QStringLiteral("NightTemperature");
// What the reading tool answers for a key the user's configuration lacks.
const QString kAbsent = QStringLiteral("\x01absent");

QString SavedPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/kde-night-color.json");
}

// Plasma 6 names its tools kwriteconfig6 and kreadconfig6.
QString Tool(const QString& action)
{
    for (const QString& version : {QStringLiteral("6"), QStringLiteral("5")}) {
        const QString path = QStandardPaths::findExecutable(QStringLiteral("k%1config%2").arg(action, version));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

QStringList KeyArguments(const QString& key)
{
    return {QStringLiteral("--file"), QStringLiteral("kwinrc"), QStringLiteral("--group"), QStringLiteral("NightColor"),
        QStringLiteral("--key"), key};
}

bool RunTool(const QString& action, const QStringList& arguments, QByteArray* output = nullptr)
{
    const QString tool = Tool(action);
    if (tool.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(tool, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool WriteKey(const QString& key, const QString& value)
{
    return RunTool(QStringLiteral("write"), KeyArguments(key) << value);
}

// KWin reads its configuration again, Night Light included.
void Reconfigure()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kKWin, QStringLiteral("/KWin"), kKWin,
        QStringLiteral("reconfigure"));
    QDBusConnection::sessionBus().call(call, QDBus::Block, kToolTimeoutMs);
}

bool OffersNightLight(const QString& path, const QString& interface)
{
    QDBusMessage get = QDBusMessage::createMethodCall(kKWin, path, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interface << QStringLiteral("available");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, kToolTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

// Each touched key with the user's own value, or null where the configuration lacks it. False
// when a value could not be read or the file not written: then nothing may change.
bool SaveUserValues(const QString& path)
{
    QJsonObject saved;
    for (const QString& key : {kActive, kMode, kTemperature}) {
        QByteArray value;
        if (!RunTool(QStringLiteral("read"), KeyArguments(key) << QStringLiteral("--default") << kAbsent, &value))
            return false;
        const QString text = QString::fromUtf8(value).chopped(value.endsWith('\n') ? 1 : 0);
        saved.insert(key, text == kAbsent ? QJsonValue() : QJsonValue(text));
    }
    return SavedNightLight::Write(path, saved);
}

void PutBack(const QString& path)
{
    const std::optional<QJsonObject> saved = SavedNightLight::Read(path);
    if (!saved)
        return;
    bool complete = true;
    for (auto entry = saved->begin(); entry != saved->end(); ++entry) {
        const QStringList arguments = entry.value().isNull()
            ? KeyArguments(entry.key()) << QStringLiteral("--delete") << QString()
            : KeyArguments(entry.key()) << entry.value().toString();
        complete = RunTool(QStringLiteral("write"), arguments) && complete;
    }
    Reconfigure();
    // Kept for the next try when the tool failed; a file that reads as nothing is dropped.
    if (complete)
        QFile::remove(path);
}
}

CKdeNightColor::CKdeNightColor(const QString& dataFolder)
    : m_savedPath(SavedPath(dataFolder))
{
}

bool CKdeNightColor::Available()
{
    if (Tool(QStringLiteral("write")).isEmpty() || Tool(QStringLiteral("read")).isEmpty())
        return false;
    return OffersNightLight(QStringLiteral("/org/kde/KWin/NightLight"), QStringLiteral("org.kde.KWin.NightLight"))
        || OffersNightLight(QStringLiteral("/ColorCorrect"), QStringLiteral("org.kde.kwin.ColorCorrect"));
}

void CKdeNightColor::RestoreLeftover(const QString& dataFolder)
{
    const QString path = SavedPath(dataFolder);
    if (QFileInfo::exists(path) && !Tool(QStringLiteral("write")).isEmpty())
        PutBack(path);
}

void CKdeNightColor::SetTemperature(int kelvin, const GammaRampView&)
{
    if (!QFileInfo::exists(m_savedPath)) {
        if (!SaveUserValues(m_savedPath))
            return;
        // Always night: the temperature holds at every hour.
        WriteKey(kActive, QStringLiteral("true"));
        WriteKey(kMode, QStringLiteral("Constant"));
    }
    WriteKey(kTemperature, QString::number(qBound(kMinimumKelvin, kelvin, kMaximumKelvin)));
    Reconfigure();
}

void CKdeNightColor::Restore(const GammaRampView&)
{
    if (QFileInfo::exists(m_savedPath))
        PutBack(m_savedPath);
}

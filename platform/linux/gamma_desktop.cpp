#include "gamma_desktop.h"

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "safefile.h"

namespace {
// A few keys of text: anything larger is not our file.
constexpr std::size_t kSavedFileCap = 64 * 1024;

// The backend whose values the end of the process puts back; one lives at a time.
CDesktopNightLight* g_tinting = nullptr;

std::string NativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
}

CDesktopNightLight::CDesktopNightLight(const QString& savedPath)
    : m_savedPath(savedPath)
{
}

CDesktopNightLight::~CDesktopNightLight()
{
    if (g_tinting == this)
        g_tinting = nullptr;
}

QString CDesktopNightLight::SavedPath() const
{
    return m_savedPath;
}

void CDesktopNightLight::HandOver()
{
    m_handedOver = true;
    if (g_tinting == this)
        g_tinting = nullptr;
}

void CDesktopNightLight::WatchTheEnd()
{
    static bool registered = false;
    if (m_handedOver)
        return;
    // Registered after the session bus and GIO were first used, so it runs before their own
    // clean-up at exit.
    if (!registered)
        registered = std::atexit(PutBackAtExit) == 0;
    g_tinting = this;
}

void CDesktopNightLight::PutBackAtEnd()
{
    if (m_handedOver)
        return;
    if (g_tinting == this)
        g_tinting = nullptr;
    if (!QFileInfo::exists(m_savedPath))
        return;
    Restore({});
    FlushRestore();
}

void CDesktopNightLight::PutBackAtExit()
{
    if (g_tinting)
        g_tinting->PutBackAtEnd();
}

namespace SavedNightLight {
bool Write(const QString& path, const QJsonObject& values)
{
    QDir().mkpath(QFileInfo(path).path());
    return SafeFile::Replace(NativePath(path), QJsonDocument(values).toJson().toStdString());
}

std::optional<QJsonObject> Read(const QString& path)
{
    std::string content;
    switch (SafeFile::Read(NativePath(path), kSavedFileCap, content)) {
    case SafeFile::ReadResult::Read:
        return QJsonDocument::fromJson(QByteArray::fromStdString(content)).object();
    case SafeFile::ReadResult::NotRegular:
    case SafeFile::ReadResult::TooLarge:
        // Only the program makes this name; what lies there instead would block every later save.
        SafeFile::Remove(NativePath(path));
        return std::nullopt;
    case SafeFile::ReadResult::Missing:
    case SafeFile::ReadResult::Failed:
        break;
    }
    return std::nullopt;
}

void Remove(const QString& path)
{
    SafeFile::Remove(NativePath(path));
}
}

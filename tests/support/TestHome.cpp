#include "TestHome.h"

#include <QDir>
#include <QFile>

#include "clock.h"

CTestHome::CTestHome()
{
    QDir().mkpath(DataFolder());
    QDir().mkpath(ConfigFolder());
    QDir().mkpath(RuntimeFolder());
    QFile::setPermissions(RuntimeFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_DATA_HOME", DataFolder().toUtf8());
    qputenv("XDG_CONFIG_HOME", ConfigFolder().toUtf8());
    qputenv("XDG_RUNTIME_DIR", RuntimeFolder().toUtf8());
    qputenv("XDG_DATA_DIRS", (m_dir.path() + QStringLiteral("/shared")).toUtf8());
}

CTestHome::~CTestHome()
{
    CClock::Release();
}

QString CTestHome::Path() const
{
    return m_dir.path();
}

QString CTestHome::DataFolder() const
{
    return m_dir.path() + QStringLiteral("/data");
}

QString CTestHome::ConfigFolder() const
{
    return m_dir.path() + QStringLiteral("/config");
}

QString CTestHome::RuntimeFolder() const
{
    return m_dir.path() + QStringLiteral("/run");
}

#include "FakeOpener.h"

#include <QDir>
#include <QFile>

CFakeOpener::CFakeOpener(const QString& folder)
    : m_folder(folder)
    , m_oldPath(qgetenv("PATH"))
{
    QDir().mkpath(folder);
    QFile script(folder + QStringLiteral("/xdg-open"));
    script.open(QIODevice::WriteOnly);
    const QByteArray place = QFile::encodeName(folder);
    // The environment first: a test that sees the file opened reads it at once.
    script.write("#!/bin/sh\nenv > \"" + place + "/environment.log\"\nprintf '%s\\n' \"$*\" >> \"" + place + "/opened.log\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", SearchPath().toLocal8Bit());
}

CFakeOpener::~CFakeOpener()
{
    qputenv("PATH", m_oldPath);
}

QStringList CFakeOpener::Opened() const
{
    QFile log(m_folder + QStringLiteral("/opened.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList CFakeOpener::Environment() const
{
    QFile log(m_folder + QStringLiteral("/environment.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString CFakeOpener::SearchPath() const
{
    return m_folder + QLatin1Char(':') + QString::fromLocal8Bit(m_oldPath);
}

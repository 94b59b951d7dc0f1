#include "CUpdaterStaging.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "privatefolder.h"

CUpdaterStaging::CUpdaterStaging(const QString& programFolder, const QString& stagingFolder)
    : m_programFolder(QDir::cleanPath(programFolder))
    , m_stagingFolder(QDir::cleanPath(stagingFolder))
{
}

QString CUpdaterStaging::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/staging");
}

QString CUpdaterStaging::Stage() const
{
    const QString parent = QFileInfo(m_stagingFolder).absolutePath();
    if (!QDir().mkpath(QFileInfo(parent).absolutePath()) || !PrivateFolder::Ensure(parent))
        return {};
    // The parent is ours alone, so what lies in it was put there by us; a link is still only
    // unlinked, never followed into.
    const QFileInfo earlier(m_stagingFolder);
    if (earlier.isSymLink() || earlier.isFile())
        QFile::remove(m_stagingFolder);
    else if (earlier.exists())
        QDir(m_stagingFolder).removeRecursively();
    if (!PrivateFolder::Ensure(m_stagingFolder))
        return {};
    const QString staged = m_stagingFolder + QLatin1Char('/') + QFileInfo(m_programFolder).fileName();
    if (!QDir().mkdir(staged))
        return {};
    if (!CopyFolder(m_programFolder, staged)) {
        QDir(m_stagingFolder).removeRecursively();
        return {};
    }
    return staged;
}

bool CUpdaterStaging::Start(const QStringList& arguments) const
{
    const QString staged = Stage();
    if (staged.isEmpty())
        return false;
    return QProcess::startDetached(staged + QStringLiteral("/QzLiveUpdate"), arguments, staged);
}

bool CUpdaterStaging::CopyFolder(const QString& source, const QString& target)
{
    QDirIterator entries(source, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        const QString copy = target + QLatin1Char('/') + entry.fileName();
        bool copied = true;
        if (entry.isSymLink())
            copied = QFile::link(entry.symLinkTarget(), copy);
        else if (entry.isDir())
            copied = QDir().mkdir(copy) && CopyFolder(entry.filePath(), copy);
        else if (entry.isFile())
            copied = QFile::copy(entry.filePath(), copy);
        if (!copied)
            return false;
    }
    return true;
}

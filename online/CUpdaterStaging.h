#pragma once

#include <QString>
#include <QStringList>

// The private copy of the program folder that the updater runs from, so that the installer it
// starts may replace the installed programs while the updater is still running.
class CUpdaterStaging
{
public:
    CUpdaterStaging(const QString& programFolder, const QString& stagingFolder);

    // The per-user staging folder inside the user's cache, which nobody else may enter.
    static QString DefaultFolder();

    // Empties the staging folder and copies the program folder into its subfolder of the same
    // name; returns that subfolder, or an empty text when the staging folder cannot be made
    // private or the copy is not complete (a full disk: half an updater must never start).
    QString Stage() const;
    // Stages, then starts the staged updater with `arguments` as a process of its own that
    // outlives the tray program. False when staging or the start failed.
    bool Start(const QStringList& arguments) const;

private:
    static bool CopyFolder(const QString& source, const QString& target);

    QString m_programFolder;
    QString m_stagingFolder;
};

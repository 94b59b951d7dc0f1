#pragma once

#include <QString>
#include <QStringList>

// Puts a stand-in for the desktop's "open with the default program" command first on PATH, so
// a test sees every file that would have been opened and nothing is really started.
class CFakeOpener
{
public:
    explicit CFakeOpener(const QString& folder);
    ~CFakeOpener();

    // The files opened so far, one per call.
    QStringList Opened() const;
    // The environment of the last call, one "NAME=value" a line.
    QStringList Environment() const;
    // The PATH value that finds the stand-in first, for programs the test starts.
    QString SearchPath() const;

private:
    QString m_folder;
    QByteArray m_oldPath;
};

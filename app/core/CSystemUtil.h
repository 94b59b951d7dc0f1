#pragma once

#include <QObject>

// System services of the tray program: where its files are, the start-with-system entry and
// the start of the prompt sound player.
class CSystemUtil : public QObject
{
    Q_OBJECT
public:
    static CSystemUtil* Instance();

    // The folder of the running program (links resolved); the player and the updater lie beside it.
    QString GetProgramFolder();
    // The per-user data folder, which holds QzConfig.ini and the user's own copies of data files.
    static QString DataFolder();
    // A data file the programs only read: the user's own copy, then the desktop's data folders,
    // then the one installed beside the program. When none exists, the path in the user's folder.
    static QString LocateDataFile(const QString& relativePath);

    // Writes the start-with-system entry for the running program for mode 1 or 2; removes it otherwise.
    void SetAutoRun(int mode);
    bool IsAutoRun() const;

    // Starts the sound player for prompt kind 1 (drinking) or 2 (reminder), first cutting off a
    // sound that is still playing; false for other kinds.
    bool PlayPromptSound(int kind);

private:
    CSystemUtil() = default;

    QString m_programFolder;
};

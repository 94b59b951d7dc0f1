#pragma once

#include <QObject>
#include <QString>

// Starts programs on the updater's behalf.
class CCommon : public QObject
{
    Q_OBJECT
public:
    static CCommon* Instance();

    // Opens the downloaded installer with the desktop's default program for it, without
    // waiting for it. True when that program could be started.
    bool StartInstaller(const QString& path);

private:
    CCommon() = default;
};

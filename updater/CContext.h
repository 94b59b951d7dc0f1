#pragma once

#include <QObject>
#include <QString>

#include "CUpdateService.h"

// What the updater knows: the three words the tray program passed on the command line and the
// update service's last description, read by the same rules as in the tray program.
class CContext : public QObject
{
    Q_OBJECT
public:
    static CContext* Instance();

    void SetArguments(const QString& callerName, const QString& currentVersion, const QString& updateFlag);

    // Asks the update service. A description that offers a newer version is only taken when
    // its download address is one the installer may be saved from; otherwise the query counts
    // as failed and the fields stay as they were.
    bool QueryUpdateInfo();
    // True when the description's version is later than the running one.
    bool HasNewerVersion() const;
    bool IsForced() const;
    // The name the installer is saved as; empty when the address must not be downloaded.
    QString InstallerFileName() const;

    QString Update() const;
    QString ForceUpdate() const;
    QString Product() const;
    QString Version() const;
    QString Url() const;
    QString Note() const;
    QString CallerName() const;
    QString CurrentVersion() const;
    QString UpdateFlag() const;

private:
    CContext() = default;

    stUpdateInfo m_info;
    QString m_callerName;
    QString m_currentVersion;
    QString m_updateFlag;
};

#pragma once

#include <QString>
#include <QUrl>

// Where the three online services live. A fresh install knows none of them and then sends
// nothing; the file "QzServices.ini" in the tray program's data folder names them:
//
//   [services]
//   statistics=http://stats.example:8080
//   update=http://update.example
//   ads=https://ads.example/base
//
// Each value is the base address (http or https) that the service's fixed path is appended to.
// The updater reads the same file, so both programs always talk to the same services.
class CServiceEndpoints
{
public:
    // Reads the file as it is now; a missing file or key leaves that service unset.
    static CServiceEndpoints Load();
    // The file's path: the tray program's data folder, whichever of the programs asks.
    static QString ConfigPath();

    // The full request addresses; empty when the service is not set.
    QUrl StatisticsUrl() const;
    QUrl UpdateUrl() const;
    QUrl AdsConfigUrl() const;

private:
    static QUrl Join(const QUrl& base, const QString& path);

    QUrl m_statistics;
    QUrl m_update;
    QUrl m_ads;
};

#pragma once

#include <QObject>
#include <QUrl>

#include "CUpdateService.h"

// Sends usage reports and runs the update check; holds the last update description.
class CUpdateContext : public QObject
{
    Q_OBJECT
public:
    static CUpdateContext* Instance();

    // Reports one usage event. With no statistics endpoint configured nothing leaves the machine.
    void ReportEvent(const QString& name);
    // The report's query before URL encoding: the ten keys in their fixed order.
    QString BuildReportQuery(const QString& name) const;
    // The request address of a report: the endpoint with the query, characters that may not
    // stand in a URL percent-encoded as UTF-8.
    static QUrl ReportUrl(const QUrl& endpoint, const QString& query);

    // Asks the update service for a newer version; on a valid answer reports "manual_update"
    // and starts the updater. Does nothing while another check is still running.
    void CheckForUpdate();
    // Sends the update query and keeps what it answers; false when there is no valid answer.
    bool QueryUpdateInfo();
    // Starts the updater from a private copy of the program folder, or tells the user that it is
    // missing.
    void LaunchUpdater();
    const stUpdateInfo& UpdateInfo() const;

    static constexpr int ReportTimeoutMs = 3000;

signals:
    // Every event handed to ReportEvent, whether or not it could be sent.
    void EventReported(const QString& name);

private:
    CUpdateContext() = default;

    stUpdateInfo m_info;
    bool m_checking = false;
};

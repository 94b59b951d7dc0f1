#pragma once

#include <QObject>

// Sends usage reports and runs the update check.
class CUpdateContext : public QObject
{
    Q_OBJECT
public:
    static CUpdateContext* Instance();

    // Reports one usage event. With no statistics endpoint configured nothing leaves the machine.
    void ReportEvent(const QString& name);
    // Asks the update service for a newer version and starts the updater when there is one.
    void CheckForUpdate();

signals:
    // Every event handed to ReportEvent, whether or not it could be sent.
    void EventReported(const QString& name);

private:
    CUpdateContext() = default;
};

#pragma once

#include <QByteArray>
#include <QString>

// The update service's description of the newest version.
struct stUpdateInfo
{
    QString strUpdate;
    QString strForceUpdate = QStringLiteral("0");
    QString strProduct;
    QString strVersion;
    QString strUrl;
    QString strNote;
};

// Asks the update service for its description. The tray program and the updater both ask, and
// must read the answer by the same rules.
class CUpdateService
{
public:
    // Sends the query and, on a readable answer, fills `info`. False when the service is not set,
    // cannot be reached, answers with an error, too much or too late, or with no JSON.
    static bool Query(stUpdateInfo& info);
    // Reads one answer: string members replace their field, anything else leaves it as it was.
    // A JSON document that is not an object is a valid answer that changes nothing.
    static bool Apply(const QByteArray& body, stUpdateInfo& info);

    static constexpr int TimeoutMs = 5000;
    // Far above any real description, so only a broken or hostile service reaches it.
    static constexpr qint64 MaxBytes = 1024 * 1024;
};

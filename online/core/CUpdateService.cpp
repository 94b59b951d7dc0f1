#include "CUpdateService.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "CHttpGet.h"
#include "CServiceEndpoints.h"

bool CUpdateService::Query(stUpdateInfo& info)
{
    const stHttpAnswer answer = CHttpGet::Run(CServiceEndpoints::Load().UpdateUrl(), TimeoutMs, MaxBytes);
    return answer.bOk && Apply(answer.body, info);
}

bool CUpdateService::Apply(const QByteArray& body, stUpdateInfo& info)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || document.isNull())
        return false;
    if (!document.isObject())
        return true;
    const QJsonObject object = document.object();
    const std::pair<const char*, QString*> fields[] = {{"update", &info.strUpdate},
        {"forceupdate", &info.strForceUpdate}, {"product", &info.strProduct}, {"version", &info.strVersion},
        {"url", &info.strUrl}, {"note", &info.strNote}};
    for (const auto& field : fields) {
        const QJsonValue value = object.value(QLatin1String(field.first));
        if (value.isString())
            *field.second = value.toString();
    }
    return true;
}

#include "CHttpGet.h"
#include "CHttpGetModule.h"

#include <QLibrary>

#include "executable.h"

stHttpAnswer CHttpGet::Run(const QUrl& url, int timeoutMs, qint64 maxBytes)
{
    stHttpAnswer answer;
    if (!url.isValid() || url.isEmpty())
        return answer;
    // Loaded once; later requests find it loaded. The module is never unloaded: Qt Network keeps
    // threads and handlers of its own once it has been used.
    QLibrary module(Executable::Folder() + QStringLiteral("/" QZ_HTTP_GET_MODULE));
    const auto entry = reinterpret_cast<HttpGetEntry>(module.resolve(QZ_HTTP_GET_ENTRY));
    if (!entry) {
        qWarning("No online service can be reached: %s", qPrintable(module.errorString()));
        return answer;
    }
    entry(url, timeoutMs, maxBytes, answer);
    return answer;
}

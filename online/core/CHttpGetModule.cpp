#include "CHttpGet.h"
#include "CHttpGetModule.h"

#include <type_traits>

extern "C" Q_DECL_EXPORT void QzHttpGetRun(const QUrl& url, int timeoutMs, qint64 maxBytes, stHttpAnswer& answer)
{
    answer = CHttpGet::Run(url, timeoutMs, maxBytes);
}

static_assert(std::is_same<decltype(&QzHttpGetRun), HttpGetEntry>::value, "the loader calls the entry through HttpGetEntry");

#pragma once

#include <QtGlobal>

class QUrl;
struct stHttpAnswer;

// The module QzHttpGet, in a folder of its own below the programs' folder, offers CHttpGet::Run
// under a name that can be looked up.
#define QZ_HTTP_GET_MODULE "modules/QzHttpGet.so"
#define QZ_HTTP_GET_ENTRY "QzHttpGetRun"
using HttpGetEntry = void (*)(const QUrl& url, int timeoutMs, qint64 maxBytes, stHttpAnswer& answer);

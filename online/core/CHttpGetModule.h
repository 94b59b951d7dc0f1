#pragma once

#include <QtGlobal>

class QUrl;
struct stHttpAnswer;

// What the module QzHttpGet offers: CHttpGet::Run, under a name that can be looked up.
// In a folder of its own below the programs' folder.
#define QZ_HTTP_GET_MODULE "modules/QzHttpGet.so"
#define QZ_HTTP_GET_ENTRY "QzHttpGetRun"
using HttpGetEntry = void (*)(const QUrl& url, int timeoutMs, qint64 maxBytes, stHttpAnswer& answer);

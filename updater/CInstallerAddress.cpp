#include "CInstallerAddress.h"

#include <QUrl>

QString CInstallerAddress::FileName(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    const QString encodedPath = url.path(QUrl::FullyEncoded);
    const QString lastSegment = encodedPath.mid(encodedPath.lastIndexOf(QLatin1Char('/')) + 1);
    const QString name = QUrl::fromPercentEncoding(lastSegment.toLatin1());
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QChar(0)))
        return {};
    return name;
}

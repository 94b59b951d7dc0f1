#include "timezonedata.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace {
// Where the tz package installs the database on every Linux distribution.
const char* const kFolder = "/usr/share/zoneinfo/";
// The largest of the tables is some hundred kilobytes; anything far beyond is not one of them.
constexpr qint64 kLargestTable = 4 * 1024 * 1024;
}

namespace TimeZoneData {
QByteArray Read(const QString& name)
{
    QFile file(QLatin1String(kFolder) + name);
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > kLargestTable || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kLargestTable);
}
}

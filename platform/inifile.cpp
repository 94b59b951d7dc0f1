#include "inifile.h"

#include <QIODevice>
#include <QMap>

#include "wholefile.h"

namespace {
// Keys outside any group stand under this heading, as in Qt's files.
const QString kGeneral = QStringLiteral("General");

bool Read(QIODevice& device, QSettings::SettingsMap& map)
{
    QString group;
    const QList<QByteArray> lines = device.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            group = QString::fromUtf8(line.mid(1, line.size() - 2).trimmed());
            if (group == kGeneral)
                group.clear();
            continue;
        }
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        // Qt writes the slashes of a key below a group as backslashes.
        const QString key = QString::fromUtf8(line.left(equals).trimmed()).replace(QLatin1Char('\\'), QLatin1Char('/'));
        map.insert(group.isEmpty() ? key : group + QLatin1Char('/') + key, QString::fromUtf8(line.mid(equals + 1).trimmed()));
    }
    return true;
}

bool Write(QIODevice& device, const QSettings::SettingsMap& map)
{
    QMap<QString, QByteArray> groups;
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        const int slash = entry.key().indexOf(QLatin1Char('/'));
        const QString group = slash < 0 ? kGeneral : entry.key().left(slash);
        QString key = entry.key().mid(slash + 1);
        key.replace(QLatin1Char('/'), QLatin1Char('\\'));
        groups[group] += (key + QLatin1Char('=') + entry.value().toString() + QLatin1Char('\n')).toUtf8();
    }
    QByteArray text;
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        if (!text.isEmpty())
            text += '\n';
        text += '[' + group.key().toUtf8() + "]\n" + group.value();
    }
    return WholeFile::WriteAll(device, text);
}
}

namespace IniFile {
QSettings::Format Format()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), Read, Write);
    return format;
}
}

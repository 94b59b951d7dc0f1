#pragma once

#include <QByteArray>

class QString;

namespace TimeZoneData {
// The text of one of the system's time-zone database files ("zone1970.tab", "zone.tab",
// "tzdata.zi"), read only; empty when the system has no such file or it is not a plain file of
// a sensible size.
QByteArray Read(const QString& name);
}

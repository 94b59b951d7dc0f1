#pragma once

#include <optional>

#include "gammabackend.h"

// Declared only: GIO's headers, which the GNOME backend includes after this one, name a field
// after a word Qt's object headers take for a macro.
class QJsonObject;
class QString;

// A desktop that tints its screens itself (its own night light): the program only asks it for a
// colour temperature, and writes no ramps of its own.
class CDesktopNightLight : public CGammaBackend
{
public:
    bool CanTint() const override { return true; }
    void Collect() override { }
    int MonitorCount() const override { return 0; }
};

// The user's own values of the keys a night light backend changes, kept in a file of the data
// folder from the first change until they are put back; a key the user never set is null.
namespace SavedNightLight {
// Writes the file whole or not at all.
bool Write(const QString& path, const QJsonObject& values);
// Nothing when there is no file to read.
std::optional<QJsonObject> Read(const QString& path);
}

#pragma once

#include <optional>

#include <QString>

#include "gammabackend.h"

// Declared only: GIO's headers, which the GNOME backend includes after this one, name a field
// after a word Qt's object headers take for a macro.
class QJsonObject;

// A desktop that tints its screens itself (its own night light): the program only asks it for a
// colour temperature, and writes no ramps of its own. The user's own values of what it changes
// are kept in a file of the data folder from the first change until they are put back, and they
// are put back however the program ends: by Restore, by the destructor, and by an exit handler
// for the ends that skip both (Qt leaves the process from inside its X connection's handler when
// the display goes away). A run that dies anyway leaves the file for the next start.
class CDesktopNightLight : public CGammaBackend
{
public:
    TintAbility Ability() const override { return TintAbility::Can; }
    void Collect() override { }
    int MonitorCount() const override { return 0; }
    void HandOver() override;

    // The file that holds the user's own values while the tint is on.
    QString SavedPath() const;

protected:
    explicit CDesktopNightLight(const QString& savedPath);
    ~CDesktopNightLight() override;

    // Called before the first change: from then on the end of the process puts the values back.
    void WatchTheEnd();
    // What the destructors of the desktops' backends run: puts the values back unless handed over.
    void PutBackAtEnd();
    // Makes sure what Restore sent has left the process, for an end that comes right after.
    virtual void FlushRestore() { }

private:
    static void PutBackAtExit();

    QString m_savedPath;
    bool m_handedOver = false;
};

// The user's own values of the keys a night light backend changes, kept in a file of the data
// folder from the first change until they are put back; a key the user never set is null.
namespace SavedNightLight {
// Writes the file whole or not at all, never through a link planted at its name.
bool Write(const QString& path, const QJsonObject& values);
// Nothing when there is no file to read, or what lies at the name is no such file (then removed).
std::optional<QJsonObject> Read(const QString& path);
// Forgets the file once every value is back.
void Remove(const QString& path);
}

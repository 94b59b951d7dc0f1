#pragma once

#include <QObject>
#include <QVariantMap>

class CBusFlag;

// Tells whether a program keeps the session from going idle, as video players and browsers do
// while they play a film or hold a call: GNOME's session manager with the idle flag among its
// inhibited actions, or the power manager of KDE Plasma and Xfce (HasInhibit of
// org.freedesktop.PowerManagement.Inhibit). Both announce each change; where neither is offered
// the session never counts as kept awake.
class CIdleInhibitWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CIdleInhibitWatcher(QObject* parent = nullptr);

    bool IsInhibited() const;

signals:
    void InhibitedChanged(bool inhibited);

private slots:
    void OnSessionChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void OnHasInhibitChanged(bool inhibited);
    void Update();

private:
    CBusFlag* m_gnome = nullptr;
    CBusFlag* m_powerManager = nullptr;
    bool m_inhibited = false;
};

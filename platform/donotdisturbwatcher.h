#pragma once

#include <memory>

#include <QObject>
#include <QVariantMap>

class CBusFlag;
class CGnomeBanners;
class QDBusVariant;

// Tells whether the user switched on the desktop's Do Not Disturb: GNOME's (its notification
// banners off), that of any notification service that publishes the Inhibited property of
// org.freedesktop.Notifications (KDE Plasma's among them) and Xfce's (its notification daemon's
// setting in xfconf). Each is followed through the change signals of the store that keeps it, so
// nothing runs while nothing changes. Where none of them is offered, it is never on.
class CDoNotDisturbWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CDoNotDisturbWatcher(QObject* parent = nullptr);
    ~CDoNotDisturbWatcher() override;

    bool IsOn() const;

signals:
    void DoNotDisturbChanged(bool on);

private slots:
    void OnNotificationsChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void OnXfconfChanged(const QString& channel, const QString& property, const QDBusVariant& value);
    void OnXfconfRemoved(const QString& channel, const QString& property);

private:
    void Update();

    std::unique_ptr<CGnomeBanners> m_gnome;
    CBusFlag* m_notifications = nullptr;
    CBusFlag* m_xfce = nullptr;
    bool m_on = false;
};

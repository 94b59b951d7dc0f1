#pragma once

#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Tells when this login session becomes the active one again: a switch back from another
// virtual terminal or another user. Without a session manager to ask, it never reports.
class CSessionMonitor : public QObject
{
    Q_OBJECT
public:
    explicit CSessionMonitor(QObject* parent = nullptr);

signals:
    void Activated();

private slots:
    void OnPropertiesChanged(const QString& interfaceName, const QVariantMap& changed, const QStringList& invalidated);

private:
    void Ask(QList<QDBusMessage> questions);
};

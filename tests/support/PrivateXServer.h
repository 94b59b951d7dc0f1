#pragma once

#include <QByteArray>
#include <QStringList>

#include <sys/types.h>

// An Xvfb of one test alone. It picks a free display number itself and says which once it
// accepts clients, so tests running at the same time never share a screen: no other test's
// window lies under a click, and nothing left on the display comes from elsewhere. Started with
// -noreset, so the server's state (such as gamma ramps) survives the moment the last client
// leaves. It can be started before the application object exists.
class CPrivateXServer
{
public:
    // `screens` holds one "WxHxD" per X screen; `options` go to Xvfb as they are.
    explicit CPrivateXServer(
        const QStringList& screens = {QStringLiteral("1280x800x24")}, const QStringList& options = {});
    ~CPrivateXServer();
    CPrivateXServer(const CPrivateXServer&) = delete;
    CPrivateXServer& operator=(const CPrivateXServer&) = delete;

    // ":N", or empty when the server did not come up.
    QByteArray DisplayName() const;

private:
    pid_t m_pid = 0;
    QByteArray m_display;
};

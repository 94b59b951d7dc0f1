#pragma once

#include <QDBusError>
#include <QDBusMessage>
#include <QList>

// How the program finds its own login session in logind.
namespace LogindSession {
// The questions that name the session, best first: the session the desktop was started in names
// itself (XDG_SESSION_ID); a program started outside it (by a service manager, say) is found
// through its own process, and last through logind's own pick for the caller ("auto").
QList<QDBusMessage> Questions();
// True when an answer shows there is no session manager to ask at all: the other questions
// would fail the same way.
bool NoSessionManager(const QDBusError& error);
}

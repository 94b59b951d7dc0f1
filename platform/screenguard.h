#pragma once

#include <string>

// The small companion process that puts the screen back when the tray program ends without
// having done so itself: killed, crashed, or stopped in any other way. The guard waits on a
// socket whose other end only this process holds, so any end of this process reaches it as the
// end of the stream, at once and without polling.
class CScreenGuard
{
public:
    CScreenGuard() = default;
    ~CScreenGuard();
    CScreenGuard(const CScreenGuard&) = delete;
    CScreenGuard& operator=(const CScreenGuard&) = delete;

    // Starts `program` and hands it `record`, which it puts back should this process end first;
    // `restoreFile` is where the same record lies, for a guard that could not be handed it whole.
    // False when the guard could not be started.
    bool Start(const std::string& program, const std::string& restoreFile, const std::string& record);
    bool IsRunning() const;
    // Tells the guard the screen is back as it was: it ends without touching it.
    void Dismiss();

private:
    int m_socket = -1;
    int m_pid = -1;
};

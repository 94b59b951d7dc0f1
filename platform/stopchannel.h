#pragma once

#include <string>

// Lets a newer program stop a running one. The running program listens on a private socket of
// the user, named after it; a request carries a 32-bit code and waits for an acknowledgement,
// which the listener sends once it has stopped what it was doing.
class CStopChannel
{
public:
    // The only code that stops the listener.
    static constexpr int kStopCode = 1;

    explicit CStopChannel(std::string name);
    ~CStopChannel();
    CStopChannel(const CStopChannel&) = delete;
    CStopChannel& operator=(const CStopChannel&) = delete;

    // Starts listening. A socket left behind by a program that died is taken over; a live
    // listener under the same name loses its name to this one. False when no socket could be made.
    bool Listen();
    // Blocks until a stop request arrives (true; the requester now waits for Acknowledge) or
    // until Wake is called (false). Requests with other codes are answered with nothing.
    bool WaitForStop();
    // Tells the requester that the stop is done.
    void Acknowledge();
    // Ends WaitForStop from another thread.
    void Wake();

    // Sends `code` to the listener called `name` and waits at most `timeoutMs` for its
    // acknowledgement. False when no one listens or no acknowledgement came in time.
    static bool Request(const std::string& name, int code, int timeoutMs);
    // The socket file of a listener called `name`, in the user's runtime folder.
    static std::string SocketPath(const std::string& name);

private:
    void CloseListener();

    std::string m_path;
    int m_listenFd = -1;
    int m_wakeFds[2] = {-1, -1};
    int m_requestFd = -1;
    unsigned long long m_device = 0;
    unsigned long long m_inode = 0;
};

#pragma once

#include <QByteArray>
#include <QProcess>

// An X server for one test alone, so that what it clicks or changes meets no window of a test
// running beside it. The server picks a free display number itself and ends with this object.
class CPrivateXServer
{
public:
    CPrivateXServer() = default;
    ~CPrivateXServer();
    CPrivateXServer(const CPrivateXServer&) = delete;
    CPrivateXServer& operator=(const CPrivateXServer&) = delete;

    // Starts the server and waits until it takes clients; its display name (":N"), or empty
    // when it could not be started.
    QByteArray Start();

private:
    QProcess m_process;
};

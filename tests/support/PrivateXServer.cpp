#include "PrivateXServer.h"

#include <QElapsedTimer>

CPrivateXServer::~CPrivateXServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QByteArray CPrivateXServer::Start()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1280x800x24"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp")});
    if (!m_process.waitForStarted(3000))
        return {};
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.endsWith('\n') && !timer.hasExpired(5000) && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(200);
        number += m_process.readAllStandardOutput();
    }
    number = number.trimmed();
    return number.isEmpty() ? QByteArray() : ':' + number;
}

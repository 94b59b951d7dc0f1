#pragma once

#include <vector>

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include "PrivateXServer.h"

// One CRTC's ramps as the X server reports them.
struct stCrtcGamma
{
    QVector<quint16> red;
    QVector<quint16> green;
    QVector<quint16> blue;
};

// A private Xvfb for one test, so the ramps it reads back are the ones this test wrote and no
// other test running at the same time can change them. The ramps survive the moment the last
// client leaves.
class CXGammaServer
{
public:
    // `screens` holds one "WxHxD" per X screen; `options` go to Xvfb as they are.
    explicit CXGammaServer(
        const QStringList& screens = {QStringLiteral("640x480x24")}, const QStringList& options = {});

    // ":N", or empty when the server did not come up.
    QByteArray DisplayName() const;

    // The ramps of every CRTC that drives an output, screen by screen.
    std::vector<stCrtcGamma> ReadGamma() const;
    // Puts the same ramp on every CRTC, as something other than the program would.
    bool WriteGamma(const stCrtcGamma& gamma) const;
    // Switches every monitor off and on again in its own mode, as a display tool would.
    bool SwitchMonitorsOffAndOn() const;

    // The ramps a colour temperature gives, and the untinted ones.
    static stCrtcGamma Expected(int kelvin);
    static stCrtcGamma Linear();
    // A ramp nothing in the program writes, to tell "untouched" from "written". It falls, so the
    // program does not take it for a calibration.
    static stCrtcGamma Marker();
    // A calibration as a colour profile loads it: rising, bent, different in every channel.
    static stCrtcGamma Calibration();
    // A calibration with a colour temperature's tint on top.
    static stCrtcGamma Expected(int kelvin, const stCrtcGamma& calibration);

private:
    CPrivateXServer m_server;
};

bool operator==(const stCrtcGamma& a, const stCrtcGamma& b);
// For QCOMPARE's messages: where the two first differ.
char* toString(const stCrtcGamma& gamma);

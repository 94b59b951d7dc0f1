// How long one step of the strength slider takes: SetColorTemperature with its arithmetic alone,
// and with its write to an X server, beside a bare XRRSetCrtcGamma + XSync of the same ramp on the
// same server in the same run. It starts a private Xvfb so nothing else shares the server.
//
// Targets: the arithmetic under 5 µs per call; the call with its write within 1.2 × the bare write.
// A report, not a test: exits 0 whatever the figures, 1 only when it could not measure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include "core/CCommon.h"
#include "core/CGammaRamp.h"

// Xlib last: its macros would clash with Qt's headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {
constexpr int kRounds = 7;
constexpr int kArithmeticCalls = 100000;
constexpr int kWriteCalls = 1000;
constexpr double kArithmeticTargetUs = 5.0;
constexpr double kWriteTargetRatio = 1.2;

using Clock = std::chrono::steady_clock;

// The kelvin values a drag across the slider passes.
int KelvinAt(int call)
{
    return CGammaRamp::KelvinForStrength(call % 101);
}

double PerCallUs(Clock::time_point start, int calls)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QByteArray StartServer(QProcess& server)
{
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
        QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
        QStringLiteral("tcp")});
    if (!server.waitForStarted(5000))
        return {};
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.endsWith('\n') && !timer.hasExpired(5000) && server.state() == QProcess::Running) {
        server.waitForReadyRead(200);
        number += server.readAllStandardOutput();
    }
    number = number.trimmed();
    return number.isEmpty() ? QByteArray() : ':' + number;
}

// The write the engine does, without the engine: one CRTC, the ramp copied in, set, synced.
class CBareWriter
{
public:
    explicit CBareWriter(const QByteArray& name)
        : m_display(XOpenDisplay(name.constData()))
    {
        if (!m_display)
            return;
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(m_display, DefaultRootWindow(m_display));
        if (resources && resources->ncrtc > 0) {
            m_crtc = resources->crtcs[0];
            const int size = XRRGetCrtcGammaSize(m_display, m_crtc);
            if (size > 0)
                m_gamma = XRRAllocGamma(size);
        }
        if (resources)
            XRRFreeScreenResources(resources);
    }
    ~CBareWriter()
    {
        if (m_gamma)
            XRRFreeGamma(m_gamma);
        if (m_display)
            XCloseDisplay(m_display);
    }
    CBareWriter(const CBareWriter&) = delete;
    CBareWriter& operator=(const CBareWriter&) = delete;

    bool IsReady() const
    {
        return m_gamma && m_gamma->size == CGammaRamp::Size;
    }

    void Write(const CGammaRamp& ramp)
    {
        std::copy(ramp.Red(), ramp.Red() + CGammaRamp::Size, m_gamma->red);
        std::copy(ramp.Green(), ramp.Green() + CGammaRamp::Size, m_gamma->green);
        std::copy(ramp.Blue(), ramp.Blue() + CGammaRamp::Size, m_gamma->blue);
        XRRSetCrtcGamma(m_display, m_crtc, m_gamma);
        XSync(m_display, False);
    }

private:
    Display* m_display = nullptr;
    RRCrtc m_crtc = 0;
    XRRCrtcGamma* m_gamma = nullptr;
};
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QProcess server;
    const QByteArray display = StartServer(server);
    if (display.isEmpty()) {
        std::fprintf(stderr, "bench_gamma: could not start Xvfb\n");
        return 1;
    }
    qputenv("DISPLAY", display);

    int status = 0;
    {
        CCommon* common = CCommon::Instance();
        common->CollectMonitors();
        CBareWriter bare(display);
        if (common->MonitorCount() != 1 || !bare.IsReady()) {
            std::fprintf(stderr, "bench_gamma: the server offers no CRTC gamma of 256 entries\n");
            status = 1;
        } else {
            // Prepared outside the timing: the bare write is given the finished ramp of each step.
            std::vector<CGammaRamp> ramps(101);
            for (int s = 0; s <= 100; ++s)
                ramps[size_t(s)].FillColorTemperature(KelvinAt(s));

            std::vector<double> arithmetic;
            std::vector<double> engine;
            std::vector<double> bareWrite;
            quint64 sink = 0;
            // Rounds take turns, so a slow moment of the machine falls on all three alike.
            for (int round = 0; round < kRounds; ++round) {
                auto start = Clock::now();
                for (int call = 0; call < kArithmeticCalls; ++call) {
                    CGammaRamp ramp;
                    ramp.FillColorTemperature(KelvinAt(call));
                    sink += ramp.Blue()[call % CGammaRamp::Size];
                }
                arithmetic.push_back(PerCallUs(start, kArithmeticCalls));

                start = Clock::now();
                for (int call = 0; call < kWriteCalls; ++call)
                    common->SetColorTemperature(KelvinAt(call));
                engine.push_back(PerCallUs(start, kWriteCalls));

                start = Clock::now();
                for (int call = 0; call < kWriteCalls; ++call)
                    bare.Write(ramps[size_t(call % 101)]);
                bareWrite.push_back(PerCallUs(start, kWriteCalls));
            }
            common->ResetGammaRamp();

            const double arithmeticUs = Median(arithmetic);
            const double engineUs = Median(engine);
            const double bareUs = Median(bareWrite);
            const double ratio = engineUs / bareUs;
            std::printf("medians of %d rounds (checksum %llu)\n", kRounds, static_cast<unsigned long long>(sink % 10));
            std::printf("arithmetic alone             %9.3f us per call   target < %.1f us   %s\n", arithmeticUs,
                kArithmeticTargetUs, arithmeticUs < kArithmeticTargetUs ? "PASS" : "FAIL");
            std::printf("SetColorTemperature + write  %9.3f us per call\n", engineUs);
            std::printf("bare XRRSetCrtcGamma + XSync %9.3f us per call\n", bareUs);
            std::printf("with write / bare write      %9.3f                target <= %.1f     %s\n", ratio,
                kWriteTargetRatio, ratio <= kWriteTargetRatio ? "PASS" : "FAIL");
        }
        CCommon::Destroy();
    }
    server.terminate();
    server.waitForFinished(3000);
    return status;
}

// Measures the cost of one usage report: building it (identity, data text, signature, URL) and
// the whole ReportEvent against a loopback service, and compares both with what the frame's
// one-second tick, which sends the hourly report, may spend without the user noticing.
//   bench_reports [rounds]
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include "CServiceEndpoints.h"
#include "CUpdateContext.h"
#include "LoopbackHttpServer.h"

namespace {
// A tick that takes longer than one frame of a 60 Hz display shows as a stutter.
constexpr double kTickBudgetUs = 16000.0;
constexpr double kBuildTargetUs = 1000.0;

template <typename Work>
double MedianUs(int rounds, Work work)
{
    std::vector<double> samples;
    samples.reserve(size_t(rounds));
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        work();
        samples.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = std::max(10, QCoreApplication::arguments().value(1).toInt() > 0
            ? QCoreApplication::arguments().value(1).toInt() : 500);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    CLoopbackHttpServer server;
    stCannedAnswer answer;
    answer.body = "GIF89a";
    server.SetAnswer("/hm4.gif", answer);
    {
        QSettings services(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
        services.setValue(QStringLiteral("services/statistics"), server.BaseUrl());
    }

    CUpdateContext* context = CUpdateContext::Instance();
    const QUrl endpoint = CServiceEndpoints::Load().StatisticsUrl();
    const double build = MedianUs(rounds * 4, [&] {
        CUpdateContext::ReportUrl(endpoint, context->BuildReportQuery(QStringLiteral("heartbeat")));
    });
    const double send = MedianUs(rounds, [&] { context->ReportEvent(QStringLiteral("heartbeat")); });

    std::printf("rounds: %d build, %d send (%d requests recorded)\n", rounds * 4, rounds, int(server.Requests().size()));
    std::printf("build one report (identity, data, signature, URL): median %.1f us\n", build);
    std::printf("ReportEvent against the loopback service:           median %.1f us\n", send);
    std::printf("share of a %.0f ms tick budget: build %.1f%%, send %.1f%%\n", kTickBudgetUs / 1000.0,
        100.0 * build / kTickBudgetUs, 100.0 * send / kTickBudgetUs);
    std::printf("%s: building a report under %.0f us\n", build < kBuildTargetUs ? "PASS" : "FAIL", kBuildTargetUs);
    return 0;
}

#include <QApplication>
#include <QDeadlineTimer>
#include <QFont>
#include <QProcess>
#include <QThread>

#include "CAdsDataManager.h"
#include "CBaseManager.h"
#include "core/CCommon.h"
#include "CCrashReport.h"
#include "core/CIniSettings.h"
#include "core/CLanguage.h"
#include "CStartupRules.h"
#include "CUpdateContext.h"
#include "clock.h"
#include "crashhandler.h"
#include "executable.h"
#include "glintegration.h"
#include "qtplatform.h"
#include "terminationwatcher.h"

int main(int argc, char* argv[])
{
    QtPlatform::PreferX11OnWayland();
    GlIntegration::KeepOutUnlessChosen();
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    GlIntegration::SettleForThisProcess();
    QtPlatform::SettleForThisProcess();
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"));
    CLanguage::Install(QStringLiteral("QzHealthManager"));

    const QStringList arguments = QCoreApplication::arguments();
    const QString word = arguments.value(1);
    if (word == CCrashReport::Mode)
        return CCrashReport::Run(arguments.value(2), arguments.value(3));

    // A restarted copy starts while the old one is still ending, and a start at log-in while
    // the desktop is still coming up: every start gives them a second first. The style sheet
    // and, for a start that shows the frame, its pictures and fonts, none of which touches
    // anything outside this process, are read meanwhile.
    const QDeadlineTimer pauseEnds(1000);
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    const int launchSource = CStartupRules::LaunchSource(word);
    if (!CStartupRules::StartsHidden(launchSource))
        CBaseManager::PrepareFirstShow();
    QThread::msleep(quint64(pauseEnds.remainingTime()));

    CAdsDataManager::Instance()->FetchConfig();
    CAdsDataManager::Instance()->PrepareImages();
    CStartupRules::WeeklyUpdateCheck();
    QApplication::setQuitOnLastWindowClosed(false);
    CrashHandler::Install(Executable::Path(), {CCrashReport::Mode});

    CCommon* common = CCommon::Instance();
    if (!common->IsFirstInstance())
        return 0;

    // Watching from here on: a SIGTERM while the frame applies the stored tint waits for the
    // loop instead of killing the process with the screen still tinted.
    CTerminationWatcher termination;
    common->CheckNewDay();
    const qint64 startTime = CClock::Now();
    CIniSettings::Instance()->SetDrinkTimestamp(startTime);
    CIniSettings::Instance()->SetRelaxTimestamp(startTime);

    auto* frame = new CBaseManager;
    QObject::connect(&termination, &CTerminationWatcher::TerminationRequested, frame, &CBaseManager::Quit);
    frame->SetLaunchSource(launchSource);
    if (CStartupRules::WakesFrame(launchSource))
        frame->WakeUp();
    else if (!CStartupRules::StartsHidden(launchSource))
        frame->show();

    const QString startEvent = CStartupRules::StartEvent(launchSource);
    if (!startEvent.isEmpty())
        CUpdateContext::Instance()->ReportEvent(startEvent);
    if (launchSource != 4)
        frame->ReportFeatureStates();
    CStartupRules::OfferStartWithSystem(frame);

    // A request to end that came during the start-with-system prompt has already quit.
    const int exitCode = termination.Requested() ? 0 : common->RunEventLoop();
    // The loop also ends without the exit dialog: the session manager's end of the session quits
    // it. The screen goes back then too, unless a restart hands its tint over.
    if (exitCode != CCommon::RestartExitCode)
        common->ResetGammaRamp();
    // Let the new copy claim the single-instance channel before it looks for us.
    common->ReleaseInstance();
    if (exitCode == CCommon::RestartExitCode)
        QProcess::startDetached(Executable::Path(), {QStringLiteral("show")});

    CCommon::Destroy();
    CIniSettings::Destroy();
    delete frame;
    return 0;
}

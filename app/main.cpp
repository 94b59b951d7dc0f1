#include <cstdio>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFont>
#include <QProcess>
#include <QThread>

#include "CAdsDataManager.h"
#include "CBaseManager.h"
#include "CCommandWords.h"
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

namespace {
// Exit codes of a start with command words.
constexpr int kCarriedOut = 0;
constexpr int kNotCarriedOut = 1;
constexpr int kBadWords = 2;

// Tells what was done on the standard output, what was not on the standard error; returns the
// exit code for it.
int Print(bool done, const QString& text)
{
    std::FILE* stream = done ? stdout : stderr;
    std::fprintf(stream, "%s\n", qUtf8Printable(text));
    // This copy may go on running, with its output in a pipe that is only written out when full.
    std::fflush(stream);
    return done ? kCarriedOut : kNotCarriedOut;
}

int PrintAnswer(const QByteArray& answer)
{
    QString text;
    const bool done = CCommandWords::ReadAnswer(answer, &text);
    return Print(done, text);
}
}

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

    // Command words steer the running copy and end with its answer. Without one they start the
    // program in the tray and are carried out there, but "status" has nothing to tell then.
    const bool commanded = CCommandWords::IsCommand(word);
    const CCommandWords command(commanded ? arguments.mid(1) : QStringList());
    if (commanded) {
        if (!command.Error().isEmpty()) {
            Print(false, command.Error());
            return kBadWords;
        }
        QByteArray answer;
        if (CCommon::Instance()->SendToRunningCopy(command.Line(), &answer))
            return PrintAnswer(answer);
        if (command.Which() == CCommandWords::Action::Status)
            return Print(false, CCommandWords::NotRunningText());
    }

    // A restarted copy starts while the old one is still ending, and a start at log-in while
    // the desktop is still coming up: every start gives them a second first. The style sheet
    // and, for a start that shows the frame, its pictures and fonts, none of which touches
    // anything outside this process, are read meanwhile.
    const QDeadlineTimer pauseEnds(1000);
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    const int launchSource = commanded ? CStartupRules::TrayLaunch : CStartupRules::LaunchSource(word);
    if (!CStartupRules::StartsHidden(launchSource))
        CBaseManager::PrepareFirstShow();
    QThread::msleep(quint64(pauseEnds.remainingTime()));

    CAdsDataManager::Instance()->FetchConfig();
    CAdsDataManager::Instance()->PrepareImages();
    CStartupRules::WeeklyUpdateCheck();
    QApplication::setQuitOnLastWindowClosed(false);
    CrashHandler::Install(Executable::Path(), {CCrashReport::Mode});

    CCommon* common = CCommon::Instance();
    if (commanded) {
        // Another copy may have started meanwhile: then it carries the words out.
        QByteArray answer;
        if (!common->IsFirstInstance(command.Line(), &answer))
            return PrintAnswer(answer);
    } else if (!common->IsFirstInstance()) {
        return 0;
    }

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
    if (commanded)
        PrintAnswer(frame->CarryOut(command));
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

// The real program tints a private X server and is then ended from outside: whatever ends it,
// SIGKILL included, the screen must come back as it was before the tint, and the screen guard
// must be gone.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>

#include <sys/stat.h>
#include <memory>

#include "ProgramProcesses.h"
#include "TestHome.h"
#include "XGammaServer.h"

namespace {
constexpr int kStartMs = 10000;
const QStringList kScreens{QStringLiteral("1024x768x24"), QStringLiteral("800x600x24")};

QString ProgramPath()
{
    return QFileInfo(QStringLiteral(QZ_PROGRAM)).canonicalFilePath();
}

QString GuardPath()
{
    return QFileInfo(ProgramPath()).absolutePath() + QStringLiteral("/QzScreenGuard");
}

// Copies of the program this case started, or of another of its programs (the crash helper, the
// screen guard).
QList<pid_t> CaseProcesses(const QString& runtimeFolder, const QString& path = ProgramPath())
{
    return ProgramProcesses(path, runtimeFolder);
}
}

class TestEyeshieldProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void endedFromOutsideLeavesLinearRamp_data();
    void endedFromOutsideLeavesLinearRamp();
    void startAfterUnrestoredEndRestoresFirst();
    void displayChangeRestartKeepsTheTint();
    void oddRuntimeFilesNeverHoldTheStart_data();
    void oddRuntimeFilesNeverHoldTheStart();

private:
    QString RecordPath() const;
    bool WaitForScreen(const stCrtcGamma& wanted, int timeoutMs) const;
    // Starts the program in the tray with these settings, in the case's home.
    bool StartProgram(const QByteArray& settings);

    std::unique_ptr<CXGammaServer> m_server;
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<QProcess> m_program;
};

void TestEyeshieldProgram::initTestCase()
{
    QVERIFY2(QFileInfo(ProgramPath()).isExecutable(), QZ_PROGRAM);
    QVERIFY2(QFileInfo(GuardPath()).isExecutable(), qPrintable(GuardPath()));
    m_server = std::make_unique<CXGammaServer>(kScreens);
    QVERIFY2(!m_server->DisplayName().isEmpty(), "Xvfb did not start");
}

void TestEyeshieldProgram::cleanup()
{
    if (m_home) {
        for (const QString& path : {ProgramPath(), GuardPath()}) {
            for (const pid_t pid : CaseProcesses(m_home->RuntimeFolder(), path))
                ::kill(pid, SIGKILL);
        }
    }
    if (m_program) {
        m_program->waitForFinished(3000);
        m_program.reset();
    }
    m_home.reset();
}

bool TestEyeshieldProgram::WaitForScreen(const stCrtcGamma& wanted, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    do {
        const std::vector<stCrtcGamma> screens = m_server->ReadGamma();
        // Every screen, not none: a server that could not be read gives an empty list.
        const bool all = std::all_of(
            screens.begin(), screens.end(), [&wanted](const stCrtcGamma& gamma) { return gamma == wanted; });
        if (all && screens.size() == size_t(kScreens.size()))
            return true;
        QTest::qWait(50);
    } while (!timer.hasExpired(timeoutMs));
    return false;
}

bool TestEyeshieldProgram::StartProgram(const QByteArray& settings)
{
    const QString folder = m_home->DataFolder() + QStringLiteral("/QzHealthManager");
    QFile config(folder + QStringLiteral("/QzConfig.ini"));
    if (!QDir().mkpath(folder) || !config.open(QIODevice::WriteOnly) || config.write(settings) != settings.size())
        return false;
    config.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_server->DisplayName()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_program = std::make_unique<QProcess>();
    m_program->setProcessEnvironment(environment);
    m_program->setWorkingDirectory(m_home->Path());
    m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program->setStandardOutputFile(QProcess::nullDevice());
    m_program->start(ProgramPath(), {QStringLiteral("showMini")});
    return m_program->waitForStarted(3000);
}

void TestEyeshieldProgram::endedFromOutsideLeavesLinearRamp_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("answeredPrompt");
    QTest::addColumn<bool>("calibrated");
    QTest::newRow("SIGTERM") << SIGTERM << true << false;
    QTest::newRow("SIGINT") << SIGINT << true << false;
    // The start-with-system prompt runs before the main event loop; the request must still end
    // the program and not be lost.
    QTest::newRow("SIGTERM at the start-with-system prompt") << SIGTERM << false << false;
    QTest::newRow("crash") << SIGSEGV << true << false;
    // Nothing in the program runs: the screen guard restores.
    QTest::newRow("SIGKILL") << SIGKILL << true << false;
    // A calibration loaded before the start gets the tint on top and comes back after it.
    QTest::newRow("SIGTERM, calibrated") << SIGTERM << true << true;
    QTest::newRow("crash, calibrated") << SIGSEGV << true << true;
    QTest::newRow("SIGKILL, calibrated") << SIGKILL << true << true;
}

void TestEyeshieldProgram::endedFromOutsideLeavesLinearRamp()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, answeredPrompt);
    QFETCH(bool, calibrated);
    m_home = std::make_unique<CTestHome>();
    const stCrtcGamma before = calibrated ? CXGammaServer::Calibration() : CXGammaServer::Linear();
    QVERIFY(m_server->WriteGamma(before));
    QVERIFY(StartProgram(answeredPrompt ? "[eyeshield]\nstatus=2\nmode=4\n[boot]\nboottips_timestamp=1\n"
                                        : "[eyeshield]\nstatus=2\nmode=4\n"));

    const stCrtcGamma tinted = calibrated ? CXGammaServer::Expected(5640, before) : CXGammaServer::Expected(5640);
    QVERIFY2(WaitForScreen(tinted, kStartMs), "the stored player mode never tinted both screens");
    QTRY_COMPARE(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).size(), 1);
    if (!answeredPrompt)
        QTest::qWait(500);
    QCOMPARE(::kill(pid_t(m_program->processId()), signalNumber), 0);
    QVERIFY2(m_program->waitForFinished(5000), "the program kept running");
    if (signalNumber == SIGSEGV || signalNumber == SIGKILL) {
        QCOMPARE(m_program->exitStatus(), QProcess::CrashExit);
    } else {
        QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program->exitCode(), 0);
    }
    // Within a second of the end, whoever restores: the program, its guard or the crash helper.
    QVERIFY2(WaitForScreen(before, 1000), "the screens stayed tinted");
    QTRY_VERIFY_WITH_TIMEOUT(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).isEmpty(), 1000);
}

// The guard and the program killed together leave the screens tinted and the record of the ramps
// behind: the next start puts the calibration back, even with protection off.
void TestEyeshieldProgram::startAfterUnrestoredEndRestoresFirst()
{
    m_home = std::make_unique<CTestHome>();
    const stCrtcGamma calibration = CXGammaServer::Calibration();
    QVERIFY(m_server->WriteGamma(calibration));
    QVERIFY(StartProgram("[eyeshield]\nstatus=2\nmode=4\n[boot]\nboottips_timestamp=1\n"));
    QVERIFY2(WaitForScreen(CXGammaServer::Expected(5640, calibration), kStartMs), "the program never tinted");
    QTRY_COMPARE(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).size(), 1);
    QCOMPARE(::kill(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).first(), SIGKILL), 0);
    QTRY_VERIFY(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).isEmpty());
    QCOMPARE(::kill(pid_t(m_program->processId()), SIGKILL), 0);
    QVERIFY(m_program->waitForFinished(5000));
    QTest::qWait(500);
    QCOMPARE(m_server->ReadGamma().front(), CXGammaServer::Expected(5640, calibration));

    QVERIFY(StartProgram("[eyeshield]\nstatus=0\nmode=0\n[boot]\nboottips_timestamp=1\n"));
    QVERIFY2(WaitForScreen(calibration, kStartMs), "the start left the screens tinted");
    // Nothing of ours is on the screen, so nothing needs guarding.
    QCOMPARE(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).size(), 0);
}

// A new mode on a monitor restarts the program to lay its windows out afresh: the screens keep the
// tint (over the calibration) the whole time, and the new copy takes it over and gives the
// calibration back when it ends.
void TestEyeshieldProgram::displayChangeRestartKeepsTheTint()
{
    m_home = std::make_unique<CTestHome>();
    const stCrtcGamma calibration = CXGammaServer::Calibration();
    const stCrtcGamma tinted = CXGammaServer::Expected(5640, calibration);
    QVERIFY(m_server->WriteGamma(calibration));
    QVERIFY(StartProgram("[eyeshield]\nstatus=2\nmode=4\n[boot]\nboottips_timestamp=1\n"));
    QVERIFY2(WaitForScreen(tinted, kStartMs), "the program never tinted");
    QTRY_COMPARE(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).size(), 1);
    const pid_t first = pid_t(m_program->processId());

    const QString display = QString::fromLatin1(m_server->DisplayName());
    auto xrandr = [&display](const QStringList& arguments) {
        return QProcess::execute(QStringLiteral("xrandr"), QStringList{QStringLiteral("-d"), display} + arguments);
    };
    QCOMPARE(xrandr({QStringLiteral("--screen"), QStringLiteral("0"), QStringLiteral("--newmode"),
                 QStringLiteral("640x480_test"), QStringLiteral("23.75"), QStringLiteral("640"), QStringLiteral("664"),
                 QStringLiteral("720"), QStringLiteral("800"), QStringLiteral("480"), QStringLiteral("483"),
                 QStringLiteral("487"), QStringLiteral("500")}),
        0);
    QCOMPARE(xrandr({QStringLiteral("--screen"), QStringLiteral("0"), QStringLiteral("--addmode"),
                 QStringLiteral("screen"), QStringLiteral("640x480_test")}),
        0);
    QCOMPARE(xrandr({QStringLiteral("--screen"), QStringLiteral("0"), QStringLiteral("--output"),
                 QStringLiteral("screen"), QStringLiteral("--mode"), QStringLiteral("640x480_test")}),
        0);

    // Sampled through the old copy's end, the new copy's start and a while after.
    QElapsedTimer watched;
    watched.start();
    QList<pid_t> programs;
    int samples = 0;
    while (!watched.hasExpired(6000)) {
        const std::vector<stCrtcGamma> screens = m_server->ReadGamma();
        QCOMPARE(screens.size(), size_t(kScreens.size()));
        for (const stCrtcGamma& screen : screens)
            QVERIFY2(screen == tinted, qPrintable(QStringLiteral("untinted %1 ms after the change").arg(watched.elapsed())));
        ++samples;
        programs = CaseProcesses(m_home->RuntimeFolder());
        QTest::qWait(20);
    }
    QVERIFY(samples > 100);
    QCOMPARE(programs.size(), 1);
    QVERIFY2(programs.front() != first, "the program did not restart");
    QTRY_COMPARE(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).size(), 1);

    QCOMPARE(::kill(programs.front(), SIGTERM), 0);
    QVERIFY2(WaitForScreen(calibration, 5000), "the new copy did not give the calibration back");
    QTRY_VERIFY_WITH_TIMEOUT(CaseProcesses(m_home->RuntimeFolder()).isEmpty(), 5000);
    QVERIFY(!QFileInfo::exists(RecordPath()));
}

QString TestEyeshieldProgram::RecordPath() const
{
    QString display = QString::fromLatin1(m_server->DisplayName());
    display.replace(QLatin1Char(':'), QLatin1Char('_'));
    return m_home->RuntimeFolder() + QStringLiteral("/QzHealthManager-screen") + display;
}

void TestEyeshieldProgram::oddRuntimeFilesNeverHoldTheStart_data()
{
    QTest::addColumn<QString>("odd");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("link to /dev/zero") << QStringLiteral("zero");
    QTest::newRow("link to another file") << QStringLiteral("link");
    QTest::newRow("empty folder") << QStringLiteral("folder");
    // Stays in the way of every record: the guard restores from what it was handed.
    QTest::newRow("folder with a file") << QStringLiteral("full folder");
    QTest::newRow("oversized record") << QStringLiteral("oversized");
    QTest::newRow("link planted at the temporary name") << QStringLiteral("new link");
}

// Whatever lies at the ramp record's name, the program starts in its usual time, tints, never
// writes through a link, and a kill still gives the screens back.
void TestEyeshieldProgram::oddRuntimeFilesNeverHoldTheStart()
{
    QFETCH(QString, odd);
    m_home = std::make_unique<CTestHome>();
    QVERIFY(m_server->WriteGamma(CXGammaServer::Linear()));
    const QString record = RecordPath();
    const QString other = m_home->Path() + QStringLiteral("/someone-elses");
    const QByteArray otherContent = "not the program's\n";
    QFile otherFile(other);
    QVERIFY(otherFile.open(QIODevice::WriteOnly) && otherFile.write(otherContent) == otherContent.size());
    otherFile.close();
    if (odd == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(record).constData(), 0600), 0);
    } else if (odd == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), record));
    } else if (odd == QLatin1String("link")) {
        QVERIFY(QFile::link(other, record));
    } else if (odd == QLatin1String("folder") || odd == QLatin1String("full folder")) {
        QVERIFY(QDir().mkpath(record));
        if (odd == QLatin1String("full folder")) {
            QFile inside(record + QStringLiteral("/inside"));
            QVERIFY(inside.open(QIODevice::WriteOnly));
        }
    } else if (odd == QLatin1String("oversized")) {
        QFile big(record);
        QVERIFY(big.open(QIODevice::WriteOnly));
        const QByteArray line = "randr :0\nmonitor 1 4 1 2 3 4\n";
        for (int written = 0; written < 2 * 1024 * 1024; written += line.size())
            big.write(line);
    } else {
        QVERIFY(QFile::link(other, record + QStringLiteral(".new")));
    }

    QVERIFY(StartProgram("[eyeshield]\nstatus=2\nmode=4\n[boot]\nboottips_timestamp=1\n"));
    QVERIFY2(WaitForScreen(CXGammaServer::Expected(5640), kStartMs), "the program never tinted");
    QTRY_COMPARE(CaseProcesses(m_home->RuntimeFolder(), GuardPath()).size(), 1);
    QCOMPARE(QFileInfo(record).isDir(), odd == QLatin1String("full folder"));
    if (odd != QLatin1String("full folder"))
        QVERIFY(QFileInfo(record).isFile() && !QFileInfo(record).isSymLink());
    QVERIFY(otherFile.open(QIODevice::ReadOnly));
    QCOMPARE(otherFile.readAll(), otherContent);

    QCOMPARE(::kill(pid_t(m_program->processId()), SIGKILL), 0);
    QVERIFY(m_program->waitForFinished(5000));
    QVERIFY2(WaitForScreen(CXGammaServer::Linear(), 1000), "the screens stayed tinted");
}

QTEST_GUILESS_MAIN(TestEyeshieldProgram)
#include "tst_eyeshieldprogram.moc"

// The real program tints a private X server and is then ended from outside: whatever ends it,
// the screen must be left untinted.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>
#include <memory>

#include "TestHome.h"
#include "XGammaServer.h"

namespace {
constexpr int kStartMs = 10000;
const QStringList kScreens{QStringLiteral("1024x768x24"), QStringLiteral("800x600x24")};

QString ProgramPath()
{
    return QFileInfo(QStringLiteral(QZ_PROGRAM)).canonicalFilePath();
}

QByteArray ReadProcFile(const QString& pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid, QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Copies of the program this case started, also those it started itself (the crash helper):
// only they carry the case's runtime folder in their environment.
QList<pid_t> ProgramProcesses(const QString& runtimeFolder)
{
    QList<pid_t> found;
    const QByteArray program = QFile::encodeName(ProgramPath());
    const QByteArray runtime = "XDG_RUNTIME_DIR=" + QFile::encodeName(runtimeFolder);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (numeric && ReadProcFile(entry, "cmdline").split('\0').value(0) == program
            && ReadProcFile(entry, "environ").split('\0').contains(runtime))
            found << pid_t(pid);
    }
    return found;
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

private:
    bool WaitForScreen(const stCrtcGamma& wanted, int timeoutMs) const;

    std::unique_ptr<CXGammaServer> m_server;
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<QProcess> m_program;
};

void TestEyeshieldProgram::initTestCase()
{
    QVERIFY2(QFileInfo(ProgramPath()).isExecutable(), QZ_PROGRAM);
    m_server = std::make_unique<CXGammaServer>(kScreens);
    QVERIFY2(!m_server->DisplayName().isEmpty(), "Xvfb did not start");
}

void TestEyeshieldProgram::cleanup()
{
    if (m_home) {
        for (const pid_t pid : ProgramProcesses(m_home->RuntimeFolder()))
            ::kill(pid, SIGKILL);
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

void TestEyeshieldProgram::endedFromOutsideLeavesLinearRamp_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("answeredPrompt");
    QTest::newRow("SIGTERM") << SIGTERM << true;
    QTest::newRow("SIGINT") << SIGINT << true;
    // The start-with-system prompt runs before the main event loop; the request must still end
    // the program and not be lost.
    QTest::newRow("SIGTERM at the start-with-system prompt") << SIGTERM << false;
    QTest::newRow("crash") << SIGSEGV << true;
}

void TestEyeshieldProgram::endedFromOutsideLeavesLinearRamp()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, answeredPrompt);
    m_home = std::make_unique<CTestHome>();
    const QString folder = m_home->DataFolder() + QStringLiteral("/QzHealthManager");
    QVERIFY(QDir().mkpath(folder));
    QFile config(folder + QStringLiteral("/QzConfig.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[eyeshield]\nstatus=2\nmode=4\n");
    if (answeredPrompt)
        config.write("[boot]\nboottips_timestamp=1\n");
    config.close();
    QVERIFY(m_server->WriteGamma(CXGammaServer::Linear()));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_server->DisplayName()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_program = std::make_unique<QProcess>();
    m_program->setProcessEnvironment(environment);
    m_program->setWorkingDirectory(m_home->Path());
    m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program->setStandardOutputFile(QProcess::nullDevice());
    m_program->start(ProgramPath(), {QStringLiteral("showMini")});
    QVERIFY(m_program->waitForStarted(3000));

    QVERIFY2(WaitForScreen(CXGammaServer::Expected(5640), kStartMs), "the stored player mode never tinted both screens");
    if (!answeredPrompt)
        QTest::qWait(500);
    QCOMPARE(::kill(pid_t(m_program->processId()), signalNumber), 0);
    QVERIFY2(m_program->waitForFinished(5000), "the program kept running");
    if (signalNumber == SIGSEGV) {
        QCOMPARE(m_program->exitStatus(), QProcess::CrashExit);
    } else {
        QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program->exitCode(), 0);
    }
    // After a crash the helper process puts the ramp back.
    QVERIFY2(WaitForScreen(CXGammaServer::Linear(), 5000), "the screens stayed tinted");
}

QTEST_GUILESS_MAIN(TestEyeshieldProgram)
#include "tst_eyeshieldprogram.moc"

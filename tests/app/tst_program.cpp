// Starts the real program the way a user or the desktop does and watches what it does on the
// X display: which windows it maps, which processes it leaves behind, which files it writes.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QTime>
#include <QDateTime>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "MappedLibraries.h"
#include "TestHome.h"

// Xlib last: its macros (None, Bool, Status, ...) would clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

namespace {
const QString kFrameTitle = QStringLiteral("Rezovuvove");
const QString kPromptTitle = QStringLiteral("提示");
const QString kCrashTitle = QStringLiteral("程式崩溃");
const QString kCrashMode = QStringLiteral("--crash-report");
constexpr int kStartMs = 8000;
constexpr int kQuietMs = 2000;

// Windows come and go while we walk the tree; a vanished window is simply skipped.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

QString ProgramPath()
{
    // The program starts its restarted copy and its crash helper by its canonical path.
    return QFileInfo(QStringLiteral(QZ_PROGRAM)).canonicalFilePath();
}

QByteArray ReadProcFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList CommandLine(qint64 pid)
{
    QStringList words;
    const QByteArray raw = ReadProcFile(pid, "cmdline");
    for (const QByteArray& word : raw.split('\0'))
        words << QString::fromLocal8Bit(word);
    if (!words.isEmpty() && raw.endsWith('\0'))
        words.removeLast();
    return words;
}

QByteArray EnvironmentValue(qint64 pid, const QByteArray& name)
{
    const QByteArray prefix = name + '=';
    for (const QByteArray& entry : ReadProcFile(pid, "environ").split('\0')) {
        if (entry.startsWith(prefix))
            return entry.mid(prefix.size());
    }
    return {};
}

// The copies of the program started for one case: the case's runtime folder is in their
// environment, which no other case and no other test shares.
QList<qint64> ProgramProcesses(const QString& runtimeFolder)
{
    QList<qint64> found;
    const QString program = ProgramPath();
    const QByteArray runtime = runtimeFolder.toLocal8Bit();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        if (CommandLine(pid).value(0) == program && EnvironmentValue(pid, "XDG_RUNTIME_DIR") == runtime)
            found << pid;
    }
    return found;
}

QStringList SocketsIn(const QString& folder)
{
    QStringList sockets;
    for (const QString& name : QDir(folder).entryList(QDir::System | QDir::Files | QDir::Hidden)) {
        struct stat info {};
        const QByteArray path = QFile::encodeName(folder + '/' + name);
        if (lstat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode))
            sockets << name;
    }
    return sockets;
}

class CXDisplay
{
public:
    explicit CXDisplay(const QByteArray& name)
        : m_display(XOpenDisplay(name.isEmpty() ? nullptr : name.constData()))
    {
        if (!m_display)
            return;
        m_pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        m_nameAtom = XInternAtom(m_display, "_NET_WM_NAME", False);
        m_utf8Atom = XInternAtom(m_display, "UTF8_STRING", False);
    }
    ~CXDisplay()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    CXDisplay(const CXDisplay&) = delete;
    CXDisplay& operator=(const CXDisplay&) = delete;

    bool IsOpen() const
    {
        return m_display != nullptr;
    }

    // True when a window of process `pid` with this title is mapped and all its ancestors are.
    bool Shows(qint64 pid, const QString& title) const
    {
        return ShowsBelow(DefaultRootWindow(m_display), pid, title, 0);
    }

    // Shrinks the screen to a new mode, as a user changing the resolution does.
    bool ChangeScreenSize(int width, int height) const
    {
        const Window root = DefaultRootWindow(m_display);
        XRRScreenResources* resources = XRRGetScreenResources(m_display, root);
        if (!resources || resources->noutput < 1) {
            if (resources)
                XRRFreeScreenResources(resources);
            return false;
        }
        const RROutput output = resources->outputs[0];
        XRROutputInfo* outputInfo = XRRGetOutputInfo(m_display, resources, output);
        XRRCrtcInfo* crtc = outputInfo ? XRRGetCrtcInfo(m_display, resources, outputInfo->crtc) : nullptr;
        bool changed = false;
        if (crtc) {
            RRMode mode = 0;
            for (int i = 0; i < resources->nmode; ++i) {
                if (int(resources->modes[i].width) == width && int(resources->modes[i].height) == height)
                    mode = resources->modes[i].id;
            }
            if (!mode) {
                QByteArray name = QByteArray::number(width) + 'x' + QByteArray::number(height);
                XRRModeInfo info {};
                info.width = unsigned(width);
                info.height = unsigned(height);
                info.hTotal = unsigned(width);
                info.vTotal = unsigned(height);
                info.dotClock = 60ul * unsigned(width) * unsigned(height);
                info.name = name.data();
                info.nameLength = unsigned(name.size());
                mode = XRRCreateMode(m_display, root, &info);
            }
            XRRAddOutputMode(m_display, output, mode);
            RROutput outputs[] = {output};
            XGrabServer(m_display);
            changed = XRRSetCrtcConfig(m_display, resources, outputInfo->crtc, CurrentTime, 0, 0, mode,
                          crtc->rotation, outputs, 1)
                == RRSetConfigSuccess;
            if (changed) {
                XRRSetScreenSize(m_display, root, width, height, DisplayWidthMM(m_display, DefaultScreen(m_display)),
                    DisplayHeightMM(m_display, DefaultScreen(m_display)));
            }
            XUngrabServer(m_display);
            XSync(m_display, False);
            XRRFreeCrtcInfo(crtc);
        }
        if (outputInfo)
            XRRFreeOutputInfo(outputInfo);
        XRRFreeScreenResources(resources);
        return changed;
    }

private:
    bool ShowsBelow(Window parent, qint64 pid, const QString& title, int depth) const
    {
        Window root = 0;
        Window parentOfParent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, parent, &root, &parentOfParent, &children, &count))
            return false;
        bool viewable = false;
        for (unsigned int i = 0; i < count && !viewable; ++i) {
            const Window window = children[i];
            if (Pid(window) == pid && Title(window) == title) {
                XWindowAttributes attributes {};
                viewable = XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
            } else if (depth < 2) {
                // Under a reparenting window manager the program's window sits inside a frame.
                viewable = ShowsBelow(window, pid, title, depth + 1);
            }
        }
        if (children)
            XFree(children);
        return viewable;
    }

    qint64 Pid(Window window) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long rest = 0;
        unsigned char* data = nullptr;
        qint64 pid = -1;
        if (XGetWindowProperty(m_display, window, m_pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &rest,
                &data)
                == Success
            && data && format == 32 && items == 1)
            pid = qint64(*reinterpret_cast<unsigned long*>(data));
        if (data)
            XFree(data);
        return pid;
    }

    QString Title(Window window) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long rest = 0;
        unsigned char* data = nullptr;
        QString title;
        if (XGetWindowProperty(m_display, window, m_nameAtom, 0, 1024, False, m_utf8Atom, &type, &format, &items,
                &rest, &data)
                == Success
            && data && format == 8)
            title = QString::fromUtf8(reinterpret_cast<const char*>(data), int(items));
        if (data)
            XFree(data);
        if (title.isEmpty()) {
            char* name = nullptr;
            if (XFetchName(m_display, window, &name) && name)
                title = QString::fromUtf8(name);
            if (name)
                XFree(name);
        }
        return title;
    }

    Display* m_display = nullptr;
    Atom m_pidAtom = 0;
    Atom m_nameAtom = 0;
    Atom m_utf8Atom = 0;
};
}

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstStartShowsFrame_data();
    void firstStartShowsFrame();
    void hiddenStartKeepsFrameHidden_data();
    void hiddenStartKeepsFrameHidden();
    void secondStartWakesFirst_data();
    void secondStartWakesFirst();
    void simultaneousStartsLeaveOne_data();
    void simultaneousStartsLeaveOne();
    void startsAfterKilledCopy();
    void screenChangeRestartsOnce();
    void crashWritesDumpAndStartsHelper();
    void startLeavesDrinkHistoryUnread();
    void unusableDrinkHistoryKeepsProgramRunning();
    void shownFrameMapsOnlyWhatItUses_data();
    void shownFrameMapsOnlyWhatItUses();
    void commandWordsSteerRunningCopy_data();
    void commandWordsSteerRunningCopy();

private:
    QProcessEnvironment Environment(const QByteArray& display) const;
    QProcess* Start(const QStringList& arguments, const QByteArray& display = {}, const QString& folder = {});
    void WriteAskedBefore();
    bool WaitForSocket(int timeoutMs) const;
    QList<qint64> WaitForProcesses(const QStringList& arguments, int timeoutMs) const;
    QByteArray StartPrivateServer();

    std::unique_ptr<CXDisplay> m_display;
    std::unique_ptr<CTestHome> m_home;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::unique_ptr<QProcess> m_server;
    // The OpenGL integration the user chose for Qt's X11 platform; empty for none chosen.
    QString m_glIntegration;
    // The language the copies are started in; the test's own when empty.
    QString m_language;
    // A program that starts the tray program, with its arguments before the tray program's path.
    QStringList m_launcher;
};

void TestProgram::initTestCase()
{
    XSetErrorHandler(IgnoreXErrors);
    QVERIFY2(QFileInfo(ProgramPath()).isExecutable(), qPrintable(QStringLiteral("no program at ") + QZ_PROGRAM));
    m_display = std::make_unique<CXDisplay>(qgetenv("DISPLAY"));
    QVERIFY2(m_display->IsOpen(), "these cases need an X display in DISPLAY");
}

void TestProgram::init()
{
    m_home = std::make_unique<CTestHome>();
    m_glIntegration.clear();
    m_launcher.clear();
    m_language.clear();
}

void TestProgram::cleanup()
{
    // Copies the program started itself (the restarted one, the crash helper) are not our
    // children; they are found by the case's runtime folder.
    for (const qint64 pid : ProgramProcesses(m_home->RuntimeFolder()))
        ::kill(pid_t(pid), SIGKILL);
    for (auto& process : m_processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    m_processes.clear();
    if (m_server) {
        m_server->kill();
        m_server->waitForFinished(3000);
        m_server.reset();
    }
    m_home.reset();
}

QProcessEnvironment TestProgram::Environment(const QByteArray& display) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home->DataFolder());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->ConfigFolder());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home->RuntimeFolder());
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), m_home->Path() + QStringLiteral("/shared"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (m_glIntegration.isEmpty())
        environment.remove(QStringLiteral("QT_XCB_GL_INTEGRATION"));
    else
        environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), m_glIntegration);
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    if (!m_language.isEmpty())
        environment.insert(QStringLiteral("LANGUAGE"), m_language);
    return environment;
}

QProcess* TestProgram::Start(const QStringList& arguments, const QByteArray& display, const QString& folder)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(Environment(display));
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setWorkingDirectory(folder.isEmpty() ? m_home->Path() : folder);
    if (m_launcher.isEmpty())
        process->start(ProgramPath(), arguments);
    else
        process->start(m_launcher.first(), m_launcher.mid(1) + QStringList{ProgramPath()} + arguments);
    process->waitForStarted(3000);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

// The start-with-system prompt is only offered when the config has never recorded an answer.
void TestProgram::WriteAskedBefore()
{
    const QString folder = m_home->DataFolder() + QStringLiteral("/QzHealthManager");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/QzConfig.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[boot]\nboottips_timestamp=1\n");
}

// The single-instance socket appears once start-up has reached the point of claiming it.
bool TestProgram::WaitForSocket(int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (SocketsIn(m_home->RuntimeFolder()).isEmpty()) {
        if (timer.hasExpired(timeoutMs))
            return false;
        QTest::qWait(20);
    }
    return true;
}

QList<qint64> TestProgram::WaitForProcesses(const QStringList& arguments, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    QList<qint64> found;
    do {
        found.clear();
        for (const qint64 pid : ProgramProcesses(m_home->RuntimeFolder())) {
            if (CommandLine(pid).mid(1) == arguments)
                found << pid;
        }
        if (!found.isEmpty())
            break;
        QTest::qWait(50);
    } while (!timer.hasExpired(timeoutMs));
    return found;
}

// An X server of this case alone, so that changing its screen disturbs no other test. The
// server picks a free display number itself and reports it once it accepts clients.
QByteArray TestProgram::StartPrivateServer()
{
    m_server = std::make_unique<QProcess>();
    m_server->setProcessChannelMode(QProcess::SeparateChannels);
    m_server->setStandardErrorFile(QProcess::nullDevice());
    m_server->start(QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1280x800x24"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp")});
    if (!m_server->waitForStarted(3000))
        return {};
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.endsWith('\n') && !timer.hasExpired(5000) && m_server->state() == QProcess::Running) {
        m_server->waitForReadyRead(200);
        number += m_server->readAllStandardOutput();
    }
    number = number.trimmed();
    return number.isEmpty() ? QByteArray() : ':' + number;
}

void TestProgram::firstStartShowsFrame_data()
{
    QTest::addColumn<bool>("askedBefore");
    QTest::newRow("fresh config offers start with system") << false;
    QTest::newRow("answered before") << true;
}

void TestProgram::firstStartShowsFrame()
{
    QFETCH(bool, askedBefore);
    if (askedBefore)
        WriteAskedBefore();

    QProcess* program = Start({});
    const qint64 pid = program->processId();
    QVERIFY(pid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(pid, kFrameTitle), kStartMs);

    if (askedBefore) {
        // The prompt comes right after the frame or not at all.
        QElapsedTimer timer;
        timer.start();
        while (!timer.hasExpired(1000)) {
            QVERIFY2(!m_display->Shows(pid, kPromptTitle), "the prompt came although it was answered before");
            QTest::qWait(50);
        }
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(pid, kPromptTitle), kStartMs);
    }
    QCOMPARE(program->state(), QProcess::Running);
    QCOMPARE(ProgramProcesses(m_home->RuntimeFolder()), QList<qint64>{pid});
}

void TestProgram::hiddenStartKeepsFrameHidden_data()
{
    QTest::addColumn<QString>("word");
    QTest::newRow("showMini") << QStringLiteral("showMini");
    QTest::newRow("boot") << QStringLiteral("boot");
}

void TestProgram::hiddenStartKeepsFrameHidden()
{
    QFETCH(QString, word);
    WriteAskedBefore();

    QElapsedTimer sinceStart;
    sinceStart.start();
    QProcess* program = Start({word});
    const qint64 pid = program->processId();
    QVERIFY(pid > 0);
    QVERIFY2(WaitForSocket(kStartMs), "start-up never claimed the single-instance socket");
    // Every start waits a second before it looks for a running copy.
    QVERIFY2(sinceStart.elapsed() >= 950, qPrintable(QStringLiteral("claimed after %1 ms").arg(sinceStart.elapsed())));

    QElapsedTimer timer;
    timer.start();
    while (!timer.hasExpired(kQuietMs)) {
        QVERIFY2(!m_display->Shows(pid, kFrameTitle), "the frame came up");
        QVERIFY2(!m_display->Shows(pid, kPromptTitle), "the prompt came up");
        QTest::qWait(50);
    }
    QCOMPARE(program->state(), QProcess::Running);
}

// Copies started at the same moment race for the single-instance claim; the race is lost or won
// within milliseconds, so each row is one more try at it.
void TestProgram::simultaneousStartsLeaveOne_data()
{
    QTest::addColumn<int>("copies");
    for (int attempt = 1; attempt <= 4; ++attempt)
        QTest::newRow(qPrintable(QStringLiteral("try %1").arg(attempt))) << 3;
}

void TestProgram::simultaneousStartsLeaveOne()
{
    QFETCH(int, copies);
    WriteAskedBefore();
    QList<QProcess*> started;
    for (int i = 0; i < copies; ++i)
        started << Start({QStringLiteral("showMini")});

    auto running = [&started] {
        QList<QProcess*> alive;
        for (QProcess* process : qAsConst(started)) {
            if (process->state() != QProcess::NotRunning)
                alive << process;
        }
        return alive;
    };
    QTRY_VERIFY_WITH_TIMEOUT(running().size() <= 1, 10000);
    QTest::qWait(500);
    const QList<QProcess*> survivors = running();
    QCOMPARE(survivors.size(), 1);
    for (QProcess* process : qAsConst(started)) {
        if (process != survivors.first()) {
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }
    }
    QCOMPARE(ProgramProcesses(m_home->RuntimeFolder()), QList<qint64>{survivors.first()->processId()});
}

void TestProgram::startsAfterKilledCopy()
{
    WriteAskedBefore();
    QProcess* killed = Start({});
    const qint64 killedPid = killed->processId();
    QVERIFY(killedPid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(killedPid, kFrameTitle), kStartMs);
    killed->kill();
    QVERIFY(killed->waitForFinished(3000));
    // What makes this case: the dead copy's socket file is still there.
    QVERIFY2(!SocketsIn(m_home->RuntimeFolder()).isEmpty(), "no socket file was left behind");

    QProcess* next = Start({});
    const qint64 nextPid = next->processId();
    QVERIFY(nextPid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(nextPid, kFrameTitle), kStartMs);
    QTest::qWait(300);
    QCOMPARE(next->state(), QProcess::Running);

    // And it owns the channel now: a later start hands over and ends.
    QProcess* later = Start({});
    QVERIFY(later->waitForFinished(6000));
    QCOMPARE(later->exitStatus(), QProcess::NormalExit);
    QCOMPARE(later->exitCode(), 0);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestProgram::secondStartWakesFirst_data()
{
    // What stands at the single-instance lock's or socket's path before the first start.
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("planted");
    QTest::newRow("nothing in the way") << QString() << QString();
    QTest::newRow("directory at the lock") << QStringLiteral(".lock") << QStringLiteral("directory");
    // As after a start with sudo -E.
    QTest::newRow("lock file of another user") << QStringLiteral(".lock") << QStringLiteral("foreign file");
    QTest::newRow("directory at the socket") << QString() << QStringLiteral("directory");
    QTest::newRow("named pipe at the socket") << QString() << QStringLiteral("fifo");
}

// Whatever stands at the single-instance paths, two starts leave one copy, and the second one
// wakes the first within a second of looking for it.
void TestProgram::secondStartWakesFirst()
{
    QFETCH(QString, suffix);
    QFETCH(QString, planted);
    WriteAskedBefore();
    const QByteArray path = QFile::encodeName(m_home->RuntimeFolder() + QStringLiteral("/QzHealthManager") + suffix);
    if (planted == QLatin1String("directory")) {
        QCOMPARE(mkdir(path.constData(), 0700), 0);
    } else if (planted == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
    } else if (!planted.isEmpty()) {
        QFile file(QFile::decodeName(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(chmod(path.constData(), 0600), 0);
        // Root opens any file: the copies then run without the capabilities that allow it, and
        // meet the file as any user but its owner does.
        if (geteuid() == 0) {
            QCOMPARE(chown(path.constData(), 65534, 65534), 0);
            m_launcher = QStringList{QStringLiteral("setpriv"), QStringLiteral("--bounding-set=-all"),
                QStringLiteral("--inh-caps=-all")};
        } else {
            QCOMPARE(chmod(path.constData(), 0), 0);
        }
    }

    QProcess* first = Start({QStringLiteral("showMini")});
    const qint64 firstPid = first->processId();
    QVERIFY(firstPid > 0);
    QVERIFY2(WaitForSocket(kStartMs), "the first copy never claimed the single-instance socket");
    QVERIFY(!m_display->Shows(firstPid, kFrameTitle));

    QElapsedTimer timer;
    timer.start();
    QProcess* second = Start({});
    QVERIFY2(second->waitForFinished(kStartMs), "the second copy keeps running");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    // The second start pauses a second, looks for the first, wakes it and ends: a second for
    // the wake-up at most, with room for starting Qt on a busy machine.
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QStringLiteral("ended after %1 ms").arg(timer.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(firstPid, kFrameTitle), 3000);
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(ProgramProcesses(m_home->RuntimeFolder()), QList<qint64>{firstPid});
    // What stood in the socket's way is not the program's to delete: it is kept under another name.
    if (suffix.isEmpty() && !planted.isEmpty())
        QVERIFY(QFileInfo::exists(QFile::decodeName(path) + QStringLiteral(".moved-%1").arg(firstPid)));
}

void TestProgram::screenChangeRestartsOnce()
{
    WriteAskedBefore();
    const QByteArray displayName = StartPrivateServer();
    QVERIFY2(!displayName.isEmpty(), "could not start a private X server");
    CXDisplay display(displayName);
    QVERIFY(display.IsOpen());

    QProcess* old = Start({}, displayName);
    const qint64 oldPid = old->processId();
    QVERIFY(oldPid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(display.Shows(oldPid, kFrameTitle), kStartMs);

    QVERIFY2(display.ChangeScreenSize(1024, 768), "the X server refused the new screen size");
    QVERIFY2(old->waitForFinished(5000), "the program kept running after the screen changed");
    QCOMPARE(old->exitStatus(), QProcess::NormalExit);
    QCOMPARE(old->exitCode(), 0);

    const QStringList restartArguments{QStringLiteral("show")};
    const QList<qint64> restarted = WaitForProcesses(restartArguments, 5000);
    QCOMPARE(restarted.size(), 1);
    const qint64 newPid = restarted.first();
    QTRY_VERIFY_WITH_TIMEOUT(display.Shows(newPid, kFrameTitle), kStartMs);

    // Exactly one copy, the restarted one, and it stays: no restart loop, no crash helper.
    QTest::qWait(500);
    QCOMPARE(ProgramProcesses(m_home->RuntimeFolder()), QList<qint64>{newPid});
    QCOMPARE(CommandLine(newPid), (QStringList{ProgramPath(), QStringLiteral("show")}));
}

void TestProgram::crashWritesDumpAndStartsHelper()
{
    WriteAskedBefore();
    const QString folder = m_home->Path() + QStringLiteral("/work");
    QVERIFY(QDir().mkpath(folder));

    QProcess* program = Start({}, {}, folder);
    const qint64 pid = program->processId();
    QVERIFY(pid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(pid, kFrameTitle), kStartMs);

    const QTime crashTime = QTime::currentTime();
    QCOMPARE(::kill(pid_t(pid), SIGSEGV), 0);
    QVERIFY(program->waitForFinished(5000));
    QCOMPARE(program->exitStatus(), QProcess::CrashExit);

    const QStringList dumps = QDir(folder).entryList({QStringLiteral("*.dmp")}, QDir::Files);
    QCOMPARE(dumps.size(), 1);
    static const QRegularExpression namePattern(
        QStringLiteral("^(\\d{2})时(\\d{2})分(\\d{2})秒(\\d{3})\\.dmp$"));
    const QRegularExpressionMatch name = namePattern.match(dumps.first());
    QVERIFY2(name.hasMatch(), qPrintable(dumps.first()));
    // The name is the local time of the crash.
    const QTime named(name.captured(1).toInt(), name.captured(2).toInt(), name.captured(3).toInt(),
        name.captured(4).toInt());
    QVERIFY2(named.isValid(), qPrintable(dumps.first()));
    const int apart = qAbs(crashTime.msecsTo(named));
    QVERIFY2(qMin(apart, 86400000 - apart) < 5000,
        qPrintable(QStringLiteral("%1 named at %2").arg(dumps.first(), crashTime.toString())));

    QFile dump(folder + '/' + dumps.first());
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(dump.readAll());
    QVERIFY2(QRegularExpression(QStringLiteral("^signal: b$"), QRegularExpression::MultilineOption)
                 .match(content)
                 .hasMatch(),
        qPrintable(content.left(200)));
    // A signal sent with kill() carries no fault address; real faults and a stack overflow are
    // crashed in the crash handler's own test.
    QVERIFY2(QRegularExpression(QStringLiteral("^address: 0x0$"), QRegularExpression::MultilineOption)
                 .match(content)
                 .hasMatch(),
        qPrintable(content.left(200)));

    QList<qint64> helpers;
    QElapsedTimer timer;
    timer.start();
    do {
        helpers.clear();
        for (const qint64 candidate : ProgramProcesses(m_home->RuntimeFolder())) {
            if (CommandLine(candidate).value(1) == kCrashMode)
                helpers << candidate;
        }
        if (!helpers.isEmpty())
            break;
        QTest::qWait(50);
    } while (!timer.hasExpired(5000));
    QCOMPARE(helpers.size(), 1);
    const QStringList helperLine = CommandLine(helpers.first());
    QCOMPARE(helperLine, (QStringList{ProgramPath(), kCrashMode, QStringLiteral("b"), QStringLiteral("0")}));
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(helpers.first(), kCrashTitle), kStartMs);
}

// The history is read when a page or a drink first needs it: a day in the tray that never
// shows it holds neither SQLite nor the rows.
void TestProgram::startLeavesDrinkHistoryUnread()
{
    WriteAskedBefore();
    QProcess* program = Start({});
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(program->processId(), kFrameTitle), kStartMs);
    QTest::qWait(300);
    QVERIFY(!QFileInfo::exists(m_home->DataFolder() + QStringLiteral("/QzHealthManager/HealthConfig.db")));
    QFile maps(QStringLiteral("/proc/%1/maps").arg(program->processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libsqlite3"));
}

void TestProgram::unusableDrinkHistoryKeepsProgramRunning()
{
    WriteAskedBefore();
    QFile history(m_home->DataFolder() + QStringLiteral("/QzHealthManager/HealthConfig.db"));
    QVERIFY(history.open(QIODevice::WriteOnly));
    QByteArray noise(32 * 1024, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    history.write(noise);
    history.close();

    QProcess* program = Start({});
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(program->processId(), kFrameTitle), kStartMs);
    QTest::qWait(kQuietMs);
    QCOMPARE(program->state(), QProcess::Running);
    QVERIFY(history.open(QIODevice::ReadOnly));
    QCOMPARE(history.readAll(), noise);
}

void TestProgram::shownFrameMapsOnlyWhatItUses_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("driverMapped");
    QTest::newRow("nothing chosen") << QString() << false;
    // The user's own choice stands; it also shows that this check sees a driver when there is one.
    QTest::newRow("user chose GLX") << QStringLiteral("xcb_glx") << true;
}

// Nothing draws with OpenGL, and its driver stack would stay resident for the whole run; nor
// would the network manager's bearer plugins, with their thread and bus connections, which only
// a configured online service needs.
void TestProgram::shownFrameMapsOnlyWhatItUses()
{
    QFETCH(QString, chosen);
    QFETCH(bool, driverMapped);
    WriteAskedBefore();
    m_glIntegration = chosen;

    QProcess* program = Start({});
    const qint64 pid = program->processId();
    QVERIFY(pid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_display->Shows(pid, kFrameTitle), kStartMs);
    // Past the first paint of the frame and its pages.
    QTest::qWait(300);
    QCOMPARE(program->state(), QProcess::Running);
    const QStringList mapped = OpenGlDriverLibraries(pid);
    QVERIFY2(mapped.isEmpty() != driverMapped, qPrintable(mapped.join(QLatin1Char(' '))));
    // No online service is set, so no network manager is made.
    const QStringList unused = MappedLibraries(pid, QRegularExpression(QStringLiteral("/bearer/[^/]*$")));
    QVERIFY2(unused.isEmpty(), qPrintable(unused.join(QLatin1Char(' '))));
}

void TestProgram::commandWordsSteerRunningCopy_data()
{
    // Settings stored before any copy starts, as "group/key=value"; NOW stands for the time.
    QTest::addColumn<QStringList>("stored");
    // "copy": the program runs; "none": nothing does; "silent": something listens at the
    // program's socket and never answers.
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("words");
    // -1: the start becomes the running program.
    QTest::addColumn<int>("exitCode");
    // Matched against the standard output on success, the standard error otherwise.
    QTest::addColumn<QString>("printed");
    // Settings afterwards, as "group/key=value" (NOW+N within a few seconds), or "shows=TITLE"
    // for a window of the running copy.
    QTest::addColumn<QStringList>("effects");

    const QStringList custom30{QStringLiteral("eyeshield/status=2"), QStringLiteral("eyeshield/mode=5"),
        QStringLiteral("eyeshield/colortemp_number=30")};
    const QStringList drinks45{QStringLiteral("drinks/status=2"), QStringLiteral("drinks/settings_timer_hour=0"),
        QStringLiteral("drinks/settings_timer_minute=45")};
    const QString en = QStringLiteral("en");
    const QString zh = QStringLiteral("zh_CN");
    const QString copy = QStringLiteral("copy");
    const QString none = QStringLiteral("none");
    auto words = [](const char* line) { return QString::fromLatin1(line).split(QLatin1Char(' ')); };

    QTest::newRow("eye N%") << QStringList() << copy << en << words("eye 40%") << 0
                            << "^Blue light filter: on, Custom, 40%; Water reminder: off; Rest reminder: off$"
                            << QStringList{"eyeshield/status=2", "eyeshield/mode=5", "eyeshield/colortemp_number=40"};
    QTest::newRow("eye +N") << custom30 << copy << en << words("eye +15") << 0 << "Custom, 45%;"
                            << QStringList{"eyeshield/colortemp_number=45"};
    QTest::newRow("eye -N stops at 0") << custom30 << copy << en << words("eye -35") << 0 << "Custom, 0%;"
                                       << QStringList{"eyeshield/colortemp_number=0"};
    QTest::newRow("eye off") << custom30 << copy << en << words("eye off") << 0 << "^Blue light filter: off;"
                             << QStringList{"eyeshield/status=0", "eyeshield/mode=0"};
    QTest::newRow("eye on") << QStringList{"eyeshield/status=0"} << copy << en << words("eye on") << 0
                            << "^Blue light filter: on, Smart, \\d+%;"
                            << QStringList{"eyeshield/status=2", "eyeshield/mode=1"};
    QTest::newRow("rest now")
        << QStringList{"relax/status=2", "relax/full_status=2", "relax/settings_timer_hour=1"} << copy << en
        << words("rest now") << 0 << "^Rest started$" << QStringList{"shows=Full-screen rest"};
    QTest::newRow("pause") << drinks45 << copy << en << words("pause 30") << 0
                           << "Water reminder: every 45 min, next at \\d\\d:\\d\\d; Rest reminder: off; "
                              "Reminders paused until \\d\\d:\\d\\d$"
                           << QStringList{"boot/paused_until=NOW+1800"};
    QTest::newRow("resume") << drinks45 + QStringList{"boot/paused_until=NOW+600"} << copy << en << words("resume")
                            << 0 << "every 45 min, next at \\d\\d:\\d\\d; Rest reminder: off$"
                            << QStringList{"boot/paused_until=0"};
    QTest::newRow("status in Chinese") << drinks45 << copy << zh << words("status") << 0
                                       << "^防蓝光：关；喝水提醒：每 45 分钟，下次 \\d\\d:\\d\\d；休息提醒：关$"
                                       << QStringList();
    QTest::newRow("status, nothing runs") << QStringList() << none << en << words("status") << 1
                                          << "^The program is not running$" << QStringList();
    QTest::newRow("eye N%, nothing runs") << QStringList() << none << en << words("eye 40%") << -1
                                          << "Custom, 40%;" << QStringList{"eyeshield/colortemp_number=40"};
    QTest::newRow("copy does not answer") << QStringList() << QStringLiteral("silent") << en << words("status")
                                          << 1 << "^The running program did not answer in time$" << QStringList();

    // Words that are wrong change nothing, whether a copy runs or not.
    QTest::newRow("strength above 100")
        << custom30 << copy << en << words("eye 150%") << 2
        << "^The filter strength must be a whole number from 0 to 100: 150%$"
        << QStringList{"eyeshield/mode=5", "eyeshield/colortemp_number=30"};
    QTest::newRow("unknown eye word") << custom30 << copy << en << words("eye blue") << 2
                                      << "^Unknown command: eye blue\\. The commands are: eye on, "
                                      << QStringList{"eyeshield/status=2", "eyeshield/colortemp_number=30"};
    QTest::newRow("strength of too many digits") << QStringList() << none << en << words("eye +99999999999")
                                                 << 2 << "from 0 to 100: \\+99999999999$" << QStringList();
    QTest::newRow("pause over a day") << QStringList() << none << en << words("pause 1441") << 2
                                      << "^The pause must be a whole number of minutes from 1 to 1440: 1441$"
                                      << QStringList();
    QTest::newRow("pause in Chinese, not a number") << QStringList() << none << zh << words("pause 5m") << 2
                                                    << "^暂停的分钟数应为 1 到 1440 的整数：5m$" << QStringList();
    QTest::newRow("pause without minutes") << QStringList() << none << en << words("pause") << 2
                                           << "^Unknown command: pause\\." << QStringList();
    QTest::newRow("word after status") << QStringList() << none << en << words("status now") << 2
                                       << "^Unknown command: status now\\." << QStringList();
    QTest::newRow("rest later") << QStringList() << none << en << words("rest later") << 2
                                << "^Unknown command: rest later\\." << QStringList();
}

// The command words, from a second start to the running copy over its socket and back: what is
// printed, the exit code, and what changed in the running copy.
void TestProgram::commandWordsSteerRunningCopy()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, running);
    QFETCH(QString, language);
    QFETCH(QStringList, words);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(QStringList, effects);
    m_language = language;

    const QString settingsPath = m_home->DataFolder() + QStringLiteral("/QzHealthManager/QzConfig.ini");
    // "NOW+N": N seconds from the time given.
    auto resolve = [](const QString& value, qint64 now) {
        return value.startsWith(QLatin1String("NOW+")) ? now + value.mid(4).toLongLong() : value.toLongLong();
    };
    // A start that becomes the program is asked nothing about starting with the system either.
    if (running != QLatin1String("none") || exitCode < 0) {
        QSettings settings(settingsPath, QSettings::IniFormat);
        settings.setValue(QStringLiteral("boot/boottips_timestamp"), 1);
        for (const QString& entry : qAsConst(stored)) {
            settings.setValue(entry.section(QLatin1Char('='), 0, 0),
                resolve(entry.section(QLatin1Char('='), 1), QDateTime::currentSecsSinceEpoch()));
        }
    }
    QLocalServer silent;
    qint64 firstPid = 0;
    if (running == QLatin1String("copy")) {
        firstPid = Start({QStringLiteral("showMini")})->processId();
        QVERIFY2(WaitForSocket(kStartMs), "the first copy never claimed the single-instance socket");
    } else if (running == QLatin1String("silent")) {
        QVERIFY(silent.listen(m_home->RuntimeFolder() + QStringLiteral("/QzHealthManager")));
    }

    const qint64 sent = QDateTime::currentSecsSinceEpoch();
    QElapsedTimer timer;
    timer.start();
    auto command = std::make_unique<QProcess>();
    command->setProcessEnvironment(Environment({}));
    command->setWorkingDirectory(m_home->Path());
    command->start(ProgramPath(), words);
    QVERIFY(command->waitForStarted(3000));
    QProcess* process = command.get();
    m_processes.push_back(std::move(command));

    QString output;
    if (exitCode < 0) {
        // It became the program: its answer comes once it is up, and it goes on running.
        QTRY_VERIFY_WITH_TIMEOUT(process->canReadLine(), kStartMs);
        output = QString::fromUtf8(process->readLine()).trimmed();
        QCOMPARE(process->state(), QProcess::Running);
        QCOMPARE(ProgramProcesses(m_home->RuntimeFolder()), QList<qint64>{process->processId()});
    } else {
        QVERIFY2(process->waitForFinished(kStartMs), "the command start keeps running");
        // Qt's start and the second that the running copy has to answer, on a busy machine.
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QStringLiteral("ended after %1 ms").arg(timer.elapsed())));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), exitCode);
        const QByteArray stdOut = process->readAllStandardOutput();
        const QByteArray stdErr = process->readAllStandardError();
        QCOMPARE(exitCode == 0 ? stdErr : stdOut, QByteArray());
        output = QString::fromUtf8(exitCode == 0 ? stdOut : stdErr).trimmed();
        // One copy at most, and only the one that ran before.
        const QList<qint64> left = firstPid ? QList<qint64>{firstPid} : QList<qint64>();
        QCOMPARE(ProgramProcesses(m_home->RuntimeFolder()), left);
    }
    QVERIFY2(!output.contains(QLatin1Char('\n')), qPrintable(output));
    QVERIFY2(QRegularExpression(printed).match(output).hasMatch(), qPrintable(output));

    const qint64 pid = firstPid ? firstPid : process->processId();
    for (const QString& effect : qAsConst(effects)) {
        const QString key = effect.section(QLatin1Char('='), 0, 0);
        const QString expected = effect.section(QLatin1Char('='), 1);
        if (key == QLatin1String("shows")) {
            QTRY_VERIFY2_WITH_TIMEOUT(m_display->Shows(pid, expected), qPrintable(expected), kStartMs);
            continue;
        }
        auto value = [&] { return QSettings(settingsPath, QSettings::IniFormat).value(key).toLongLong(); };
        // A time to the second it was asked for, give or take the seconds the asking took.
        const qint64 slack = expected.startsWith(QLatin1String("NOW+")) ? 5 : 0;
        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(value() - resolve(expected, sent)) <= slack,
            qPrintable(QStringLiteral("%1=%2").arg(key).arg(value())), 3000);
    }
    if (exitCode == 2 && running == QLatin1String("none"))
        QVERIFY(!QFileInfo::exists(settingsPath));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"

// Starts the real updater the way the tray program does, against loopback services, and works
// its window through the X server like a user: what it asks, what it saves, what it opens. The
// clicks land by screen position, so the test runs an X server of its own: no other test's
// window can lie under them.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <csignal>
#include <sys/types.h>

#include "FakeOpener.h"
#include "LoopbackHttpServer.h"
#include "MappedLibraries.h"
#include "PrivateXServer.h"
#include "StreamingHttpServer.h"

// Xlib last: its macros (None, Bool, Status, ...) would clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {
const QString kTitle = QStringLiteral("检查更新");

int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// The one X connection of the test, for finding the updater's window and clicking in it.
class CXPointer
{
public:
    CXPointer()
        : m_display(XOpenDisplay(nullptr))
    {
        XSetErrorHandler(IgnoreXErrors);
    }
    ~CXPointer()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool IsOpen() const { return m_display != nullptr; }

    // The top-left corner on the screen of the viewable window `pid` (any process when 0) shows
    // under `title`, if there is one yet.
    std::optional<QPoint> WindowOrigin(qint64 pid, const QString& title)
    {
        const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        const Atom nameAtom = XInternAtom(m_display, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        Window root = DefaultRootWindow(m_display);
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::optional<QPoint> found;
        if (!XQueryTree(m_display, root, &root, &parent, &children, &count))
            return found;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes {};
            if (!XGetWindowAttributes(m_display, children[i], &attributes) || attributes.map_state != IsViewable)
                continue;
            if (pid != 0 && Property(children[i], pidAtom, XA_CARDINAL).toLongLong() != pid)
                continue;
            if (QString::fromUtf8(Property(children[i], nameAtom, utf8)) != title)
                continue;
            int x = 0;
            int y = 0;
            Window child = 0;
            XTranslateCoordinates(m_display, children[i], root, 0, 0, &x, &y, &child);
            found = QPoint(x, y);
        }
        if (children)
            XFree(children);
        return found;
    }

    void Click(const QPoint& at)
    {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), 0);
        XFlush(m_display);
        QTest::qWait(50);
        XTestFakeButtonEvent(m_display, 1, True, 0);
        XFlush(m_display);
        QTest::qWait(50);
        XTestFakeButtonEvent(m_display, 1, False, 0);
        XFlush(m_display);
    }

private:
    QByteArray Property(Window window, Atom name, Atom type)
    {
        Atom actualType = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        QByteArray value;
        if (XGetWindowProperty(m_display, window, name, 0, 1024, False, type, &actualType, &format, &items, &after, &data)
                == Success
            && data) {
            if (format == 32 && items > 0)
                value = QByteArray::number(static_cast<qlonglong>(*reinterpret_cast<unsigned long*>(data)));
            else if (format == 8)
                value = QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(items));
            XFree(data);
        }
        return value;
    }

    Display* m_display;
};
}

class TestLiveUpdateProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void fewerThanThreeArgumentsShowNothing_data();
    void fewerThanThreeArgumentsShowNothing();
    void offersDownloadsAndOpensTheInstaller();
    void skipStampsTheUpdatersOwnConfiguration();
    void trayProgramStartsTheStagedUpdater();

private:
    QProcessEnvironment Environment() const;
    // The updaters running from this case's folder.
    QList<qint64> StagedUpdaters() const;
    void Start(const QStringList& arguments);
    // Waits for the window and clicks the middle of a button, given by its place on its page.
    bool ClickButton(const QRect& place, qint64 pid);
    void ServeNewerVersion();
    // The program has ended, or ends within `ms`.
    bool Finished(int ms) { return m_process->state() == QProcess::NotRunning || m_process->waitForFinished(ms); }
    QString DownloadFolder() const { return m_stage + QStringLiteral("/QzLive"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CFakeOpener> m_opener;
    std::unique_ptr<CLoopbackHttpServer> m_service;
    std::unique_ptr<CStreamingHttpServer> m_files;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<CPrivateXServer> m_server;
    std::unique_ptr<CXPointer> m_x;
    QString m_stage;
    QString m_dataHome;
};

void TestLiveUpdateProgram::initTestCase()
{
    m_server = std::make_unique<CPrivateXServer>();
    QVERIFY2(!m_server->DisplayName().isEmpty(), "Xvfb did not start");
    // The programs started here inherit it.
    qputenv("DISPLAY", m_server->DisplayName());
    m_x = std::make_unique<CXPointer>();
    QVERIFY(m_x->IsOpen());
}

void TestLiveUpdateProgram::cleanupTestCase()
{
    m_x.reset();
}

void TestLiveUpdateProgram::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_service = std::make_unique<CLoopbackHttpServer>();
    m_files = std::make_unique<CStreamingHttpServer>();
    m_opener = std::make_unique<CFakeOpener>(m_dir->path() + QStringLiteral("/bin"));
    // Started from a copy, as the tray program stages it: the download folder goes beside it.
    m_stage = m_dir->path() + QStringLiteral("/stage/QzHealthManager");
    QDir().mkpath(m_stage);
    QVERIFY(QFile::copy(QStringLiteral(QZ_UPDATER), m_stage + QStringLiteral("/QzLiveUpdate")));
    m_dataHome = m_dir->path() + QStringLiteral("/data");
    QDir().mkpath(m_dir->path() + QStringLiteral("/run"));
    QFile::setPermissions(m_dir->path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(m_dataHome + QStringLiteral("/QzHealthManager"));
    QSettings services(m_dataHome + QStringLiteral("/QzHealthManager/QzServices.ini"), QSettings::IniFormat);
    services.setValue(QStringLiteral("services/update"), m_service->BaseUrl());
}

void TestLiveUpdateProgram::cleanup()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
    m_process.reset();
    // An updater the tray program started is no child of ours; it is found by where it runs from.
    for (qint64 pid : StagedUpdaters())
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    m_opener.reset();
}

QProcessEnvironment TestLiveUpdateProgram::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir->path() + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->path() + QStringLiteral("/run"));
    environment.insert(QStringLiteral("PATH"), m_opener->SearchPath());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("QT_XCB_GL_INTEGRATION"));
    return environment;
}

QList<qint64> TestLiveUpdateProgram::StagedUpdaters() const
{
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!numeric || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QString program = QFile::decodeName(cmdline.readAll().split('\0').first());
        if (program.startsWith(m_dir->path() + QLatin1Char('/')) && program.endsWith(QStringLiteral("/QzLiveUpdate")))
            found << pid;
    }
    return found;
}

void TestLiveUpdateProgram::Start(const QStringList& arguments)
{
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(Environment());
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->start(m_stage + QStringLiteral("/QzLiveUpdate"), arguments);
    QVERIFY(m_process->waitForStarted(5000));
}

bool TestLiveUpdateProgram::ClickButton(const QRect& place, qint64 pid)
{
    std::optional<QPoint> origin;
    for (int i = 0; i < 100 && !origin; ++i) {
        origin = m_x->WindowOrigin(pid, kTitle);
        if (!origin)
            QTest::qWait(50);
    }
    if (!origin)
        return false;
    // The panel sits 5 px inside the window, the pages below its 24 px head bar.
    m_x->Click(*origin + QPoint(5, 5 + 24) + place.center());
    return true;
}

void TestLiveUpdateProgram::ServeNewerVersion()
{
    stCannedAnswer answer;
    answer.body = QJsonDocument(QJsonObject{{"update", "1"}, {"forceupdate", "0"}, {"version", "4.1.0.0"},
                                    {"url", m_files->UrlOf("/dist/setup.deb")}, {"note", "<p>新版本</p>"}})
                      .toJson();
    m_service->SetAnswer("/zr/update", answer);
}

void TestLiveUpdateProgram::fewerThanThreeArgumentsShowNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList();
    QTest::newRow("one") << QStringList{"QzHealthManager"};
    QTest::newRow("two") << QStringList{"QzHealthManager", "4.0.0.0"};
}

void TestLiveUpdateProgram::fewerThanThreeArgumentsShowNothing()
{
    QFETCH(QStringList, arguments);
    ServeNewerVersion();
    Start(arguments);
    QVERIFY(Finished(5000));
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), 255);
    QVERIFY(m_service->Requests().isEmpty());
    QVERIFY(!QFile::exists(DownloadFolder()));
}

void TestLiveUpdateProgram::offersDownloadsAndOpensTheInstaller()
{
    ServeNewerVersion();
    stStreamPlan file;
    file.chunks = {QByteArray(20000, 'a'), QByteArray(20000, 'b'), QByteArray(20000, 'c')};
    file.nChunkDelayMs = 100;
    m_files->SetPlan("/dist/setup.deb", file);

    Start({"QzHealthManager", "4.0.0.0", "1"});
    // The check waits two seconds after the window shows.
    QTRY_COMPARE_WITH_TIMEOUT(m_service->RequestsTo("/zr/update").size(), 1, 8000);
    QTest::qWait(300);
    QVERIFY(m_files->RequestedPaths().isEmpty());
    QVERIFY(ClickButton(QRect(125, 164, 90, 30), m_process->processId()));  // 立即更新
    // Its window is up: the OpenGL driver stack must not have come with it.
    QCOMPARE(OpenGlDriverLibraries(m_process->processId()), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(m_opener->Opened().size(), 1, 8000);
    const QString installer = QFileInfo(m_stage).canonicalFilePath() + QStringLiteral("/QzLive/setup.deb");
    QCOMPARE(m_opener->Opened().first(), installer);
    // Keeping OpenGL out is this program's own business: the installer may well need it.
    const QStringList openerEnvironment = m_opener->Environment();
    QVERIFY(!openerEnvironment.filter(QRegularExpression(QStringLiteral("^PATH="))).isEmpty());
    QCOMPARE(openerEnvironment.filter(QRegularExpression(QStringLiteral("^QT_XCB_GL_INTEGRATION="))), QStringList());
    QVERIFY(Finished(5000));
    QCOMPARE(m_process->exitCode(), 0);
    QFile saved(installer);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.size(), qint64(60000));
    QVERIFY(!QFile::exists(installer + QStringLiteral("_tmp")));
    QCOMPARE(m_files->RequestedPaths(), QList<QByteArray>{"/dist/setup.deb"});
}

void TestLiveUpdateProgram::skipStampsTheUpdatersOwnConfiguration()
{
    const QString trayConfig = m_dataHome + QStringLiteral("/QzHealthManager/QzConfig.ini");
    {
        QSettings tray(trayConfig, QSettings::IniFormat);
        tray.setValue(QStringLiteral("boot/update_timestamp"), QStringLiteral("1000"));
    }
    QFile trayFile(trayConfig);
    QVERIFY(trayFile.open(QIODevice::ReadOnly));
    const QByteArray trayBefore = trayFile.readAll();
    trayFile.close();
    ServeNewerVersion();

    const qint64 before = QDateTime::currentSecsSinceEpoch();
    Start({"QzHealthManager", "4.0.0.0", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(m_service->RequestsTo("/zr/update").size(), 1, 8000);
    QTest::qWait(300);
    QVERIFY(ClickButton(QRect(25, 164, 90, 30), m_process->processId()));  // 暂不考虑
    QVERIFY(Finished(5000));
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    QCOMPARE(m_process->exitCode(), 0);

    QSettings own(m_dataHome + QStringLiteral("/QzLiveUpdate/QzConfig.ini"), QSettings::IniFormat);
    const qint64 stamp = own.value(QStringLiteral("boot/update_timestamp")).toLongLong();
    QVERIFY2(stamp >= before && stamp <= after, qPrintable(QString::number(stamp)));
    QVERIFY(trayFile.open(QIODevice::ReadOnly));
    QCOMPARE(trayFile.readAll(), trayBefore);
    QVERIFY(m_files->RequestedPaths().isEmpty());
    QVERIFY(m_opener->Opened().isEmpty());
}

void TestLiveUpdateProgram::trayProgramStartsTheStagedUpdater()
{
    // A week since the last check: the tray program checks at start, stages its folder and
    // starts the updater from there with its name, its version and the update flag.
    {
        QSettings tray(m_dataHome + QStringLiteral("/QzHealthManager/QzConfig.ini"), QSettings::IniFormat);
        tray.setValue(QStringLiteral("boot/update_timestamp"), QStringLiteral("1000"));
        // Already asked about starting with the system: that prompt would cover the updater.
        tray.setValue(QStringLiteral("boot/boottips_timestamp"), QStringLiteral("1"));
    }
    ServeNewerVersion();
    stStreamPlan file;
    file.chunks = {QByteArray(30000, 'd')};
    m_files->SetPlan("/dist/setup.deb", file);

    QVERIFY2(!m_x->WindowOrigin(0, kTitle), "an updater window of another run is on the display");
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(Environment());
    // The updater it starts inherits its output; a pipe held open by that would keep the test
    // runner waiting after the test.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start(QStringLiteral(QZ_TRAY_PROGRAM), {QStringLiteral("showMini")});
    QVERIFY(m_process->waitForStarted(5000));

    // The tray program asks once, the updater once more by itself.
    QTRY_COMPARE_WITH_TIMEOUT(m_service->RequestsTo("/zr/update").size(), 2, 12000);
    QTest::qWait(300);
    QVERIFY(ClickButton(QRect(125, 164, 90, 30), 0));  // 立即更新
    QTRY_COMPARE_WITH_TIMEOUT(m_opener->Opened().size(), 1, 8000);
    const QString installer = m_opener->Opened().first();
    QVERIFY2(installer.startsWith(m_dir->path() + QStringLiteral("/cache/")), qPrintable(installer));
    QVERIFY(installer.endsWith(QStringLiteral("/QzHealthManager/QzLive/setup.deb")));
    QCOMPARE(QFileInfo(installer).size(), qint64(30000));
    // Exactly one updater ran, and it has ended; the tray program runs on.
    QTRY_VERIFY_WITH_TIMEOUT(StagedUpdaters().isEmpty(), 5000);
    QVERIFY(!m_x->WindowOrigin(0, kTitle));
    QCOMPARE(m_service->RequestsTo("/zr/update").size(), 2);
    QCOMPARE(m_process->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestLiveUpdateProgram)
#include "tst_liveupdateprogram.moc"

// What a screen reader finds in every window and pop-up of the window tour, in both languages:
// the program runs on an X server and a message bus of the test's own, with the desktop's real
// accessibility registry, and a walker reads its accessibility tree through the registry as
// assistive technology does. No focusable or clickable object may be without a name.
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "CAccessibleFactory.h"
#include "CWindowTour.h"
#include "PrivateXServer.h"
#include "TestHome.h"
#include "core/CCommon.h"
#include "core/CLanguage.h"

namespace {
// Run as a child: the language and the accessibility bridge are chosen once, at the start.
const char* const kChildWord = "--tour";
constexpr int kWalkMs = 60000;

// The walker on the other side of the registry: told each state as the window shows it, it
// answers with what it found unnamed.
class CRegistryWalker
{
public:
    CRegistryWalker()
    {
        m_walker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_walker.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(QZ_ATSPI_WALK), QString::number(QCoreApplication::applicationPid())});
    }
    ~CRegistryWalker()
    {
        m_walker.closeWriteChannel();
        if (!m_walker.waitForFinished(5000))
            m_walker.kill();
    }

    // The event loop keeps running while the walker reads: the program answers it from there.
    void Walk(QWidget* window, const QString& state)
    {
        // A widget the tour draws on its own is walked where the program shows it, in its page.
        if (state.startsWith(QLatin1String("widget-")))
            return;
        const bool wasShown = window->isVisible();
        window->show();
        QCoreApplication::processEvents();
        ++m_states;
        m_walker.write((state + QLatin1Char('\n')).toUtf8());
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&m_walker, &QProcess::readyReadStandardOutput, &loop, [this, &loop] {
            while (m_walker.canReadLine()) {
                const QString line = QString::fromUtf8(m_walker.readLine()).trimmed();
                if (line == QLatin1String("done"))
                    loop.quit();
                else
                    m_problems << line;
            }
        });
        QObject::connect(&m_walker, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
            &QEventLoop::quit);
        deadline.start(kWalkMs);
        loop.exec();
        if (!deadline.isActive())
            m_problems << state + QStringLiteral(": the walker did not answer");
        if (!wasShown)
            window->hide();
    }

    int States() const { return m_states; }
    const QStringList& Problems() const { return m_problems; }

private:
    QProcess m_walker;
    QStringList m_problems;
    int m_states = 0;
};

int RunTour()
{
    CTestHome home;
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"));
    CLanguage::Install(QStringLiteral("QzHealthManager"));
    CAccessibleFactory::Install();
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    CRegistryWalker walker;
    CWindowTour tour([&walker](QWidget* window, const QString& state) { walker.Walk(window, state); },
        CWindowTour::LongestTexts);
    tour.Run();
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    out.write(QStringLiteral("%1 states\n").arg(walker.States()).toUtf8());
    for (const QString& problem : walker.Problems())
        out.write((problem + QLatin1Char('\n')).toUtf8());
    return 0;
}
}

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void everyControlIsNamed_data();
    void everyControlIsNamed();
};

void TestAccessibility::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese") << QStringLiteral("zh_CN.UTF-8");
    QTest::newRow("English") << QStringLiteral("en_GB.UTF-8");
}

void TestAccessibility::everyControlIsNamed()
{
    QFETCH(QString, language);
    CPrivateXServer xServer;
    QVERIFY(!xServer.DisplayName().isEmpty());
    // The session bus starts the accessibility bus and its registry when the program asks for
    // them, with this environment.
    QTemporaryDir runtime;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(xServer.DisplayName()));
    variables.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    variables.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess bus;
    bus.setProcessEnvironment(variables);
    bus.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    QVERIFY(bus.waitForReadyRead(5000));
    const QString busAddress = QString::fromUtf8(bus.readLine()).trimmed();
    QVERIFY(!busAddress.isEmpty());
    // The accessibility bus and its registry are started before the program, which asks for them
    // once, at its start: on a loaded machine their start can take longer than the program waits.
    QProcess accessibilityBus;
    accessibilityBus.start(QStringLiteral("dbus-send"),
        {QStringLiteral("--bus=") + busAddress, QStringLiteral("--print-reply"), QStringLiteral("--reply-timeout=60000"),
            QStringLiteral("--dest=org.a11y.Bus"), QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus.GetAddress")});
    QVERIFY(accessibilityBus.waitForFinished(60000));
    QCOMPARE(accessibilityBus.exitCode(), 0);

    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        variables.remove(QLatin1String(name));
    variables.insert(QStringLiteral("LANG"), language);
    variables.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    variables.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(variables);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildWord)});
    const bool finished = child.waitForFinished(300000);
    bus.terminate();
    bus.waitForFinished();
    QVERIFY(finished);
    QCOMPARE(child.exitCode(), 0);

    QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    // The walk went through the screenshot tool's whole set of windows.
    QVERIFY2(lines.takeFirst().section(QLatin1Char(' '), 0, 0).toInt() > 40, "the tour stopped short");
    QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
}

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], kChildWord) == 0) {
        QApplication app(argc, argv);
        return RunTour();
    }
    QCoreApplication app(argc, argv);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_accessibility.moc"

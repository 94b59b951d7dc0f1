// Which Qt platform the programs start on, from the session they find.
#include <QTest>

#include "qtplatform.h"

class TestQtPlatform : public QObject
{
    Q_OBJECT
private slots:
    void platform_data();
    void platform();
};

void TestQtPlatform::platform_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("platform");
    QTest::newRow("x11") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray("x11") << QByteArray();
    QTest::newRow("wayland with XWayland") << QByteArray() << QByteArray(":0") << QByteArray("wayland-0")
                                           << QByteArray("wayland") << QByteArray("xcb");
    QTest::newRow("wayland socket, no session type") << QByteArray() << QByteArray(":1") << QByteArray("wayland-1")
                                                     << QByteArray() << QByteArray("xcb");
    QTest::newRow("wayland session type alone") << QByteArray() << QByteArray(":0") << QByteArray()
                                                << QByteArray("wayland") << QByteArray("xcb");
    QTest::newRow("wayland without XWayland") << QByteArray() << QByteArray() << QByteArray("wayland-0")
                                              << QByteArray("wayland") << QByteArray();
    QTest::newRow("user's choice stays") << QByteArray("wayland") << QByteArray(":0") << QByteArray("wayland-0")
                                         << QByteArray("wayland") << QByteArray("wayland");
}

void TestQtPlatform::platform()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, platform);
    const auto set = [](const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    set("QT_QPA_PLATFORM", chosen);
    set("DISPLAY", display);
    set("WAYLAND_DISPLAY", waylandDisplay);
    set("XDG_SESSION_TYPE", sessionType);
    QtPlatform::PreferX11OnWayland();
    QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platform);
    // What the programs we start inherit: the user's choice, never ours.
    QtPlatform::SettleForThisProcess();
    QCOMPARE(qgetenv("QT_QPA_PLATFORM"), chosen);
}

QTEST_APPLESS_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"

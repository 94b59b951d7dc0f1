// The floor for bench/idle.sh: the least a tray program that reminds the user can be. A widget
// that stays hidden, a tray icon and a one-second timer, so that what the real program costs
// above it stands out.
//   MinimalQt          stays hidden, as the tray program does at rest
//   MinimalQt show     shows its widget, for timing the start to a window
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    // A program of this kind draws nothing with OpenGL, so the floor keeps Qt's X11 platform
    // from loading the driver stack for its window, unless the caller chose otherwise.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget window;
    // idle.sh waits for a window of this name to be mapped.
    window.setWindowTitle(QStringLiteral("MinimalQt"));
    window.resize(290, 450);
    if (QCoreApplication::arguments().value(1) == QLatin1String("show"))
        window.show();

    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x2e, 0x86, 0xde));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(2, 2, 28, 28);
    }
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();

    // Stands for the reminders' clock: wake up once a second and do next to nothing.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { tray.setToolTip(QString::number(++ticks)); });
    timer.start(1000);

    return app.exec();
}

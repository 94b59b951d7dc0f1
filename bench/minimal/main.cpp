// A baseline for bench/idle.sh: a small window, a tray icon and a one-second timer, the least a
// tray program that reminds the user can be, so that what the real one costs above it stands out.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    // idle.sh waits for a window of this name to be mapped.
    window.setWindowTitle(QStringLiteral("MinimalQt"));
    window.resize(240, 120);
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

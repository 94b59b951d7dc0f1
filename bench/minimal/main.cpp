// The floor for bench/idle.sh: the least a tray program that reminds the user can be. A widget
// that stays hidden, a tray icon and a one-second timer, so that what the real program costs
// above it stands out. Shown, the widget draws a line of Chinese and Latin text in the default
// font, so that the floor pays for the fonts it draws as the tray program does.
//   MinimalQt            stays hidden, as the tray program does at rest
//   MinimalQt show       shows its widget, for timing the start to a window
//   MinimalQt commands   shows its widget on a line "show" on its standard input and hides it
//                        on "hide", for following the tray program through its states
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <unistd.h>

int main(int argc, char *argv[])
{
    // A program of this kind draws nothing with OpenGL, so the floor keeps Qt's X11 platform
    // from loading the driver stack for its window, unless the caller chose otherwise.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString word = QCoreApplication::arguments().value(1);

    QWidget window;
    // idle.sh waits for a window of this name to be mapped.
    window.setWindowTitle(QStringLiteral("MinimalQt"));
    window.resize(290, 450);
    // Clear of the tray program's frame, which opens in the middle of the screen: idle.sh
    // clicks into that.
    window.move(0, 0);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("喝水提醒 Drink reminder 09:30")));
    if (word == QLatin1String("show"))
        window.show();

    // idle.sh writes one line at a time; the end of the input ends the listening.
    QByteArray pending;
    if (word == QLatin1String("commands")) {
        auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
        QObject::connect(input, &QSocketNotifier::activated, [&window, &pending, input] {
            char chunk[256];
            const ssize_t count = read(STDIN_FILENO, chunk, sizeof chunk);
            if (count <= 0) {
                input->setEnabled(false);
                return;
            }
            pending.append(chunk, int(count));
            int end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(end).trimmed();
                pending.remove(0, end + 1);
                if (line == "show")
                    window.show();
                else if (line == "hide")
                    window.hide();
            }
        });
    }

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

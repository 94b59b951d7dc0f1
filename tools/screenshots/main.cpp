// Renders every window of the shell into PNG files, for checking the looks by eye, in the
// language the locale asks for (LANGUAGE=en for English):
//   screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPainter>
#include <QWidget>
#include <QTemporaryDir>

#include "CWindowTour.h"
#include "core/CCommon.h"
#include "core/CLanguage.h"

int main(int argc, char* argv[])
{
    // A private home: the windows are drawn over a sample history that must never land in the
    // user's own files.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"));
    CLanguage::Install(QStringLiteral("QzHealthManager"));
    const QString folder = app.arguments().value(1, QStringLiteral("."));
    QDir().mkpath(folder);
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));

    // Windows with a translucent background are laid on the desktop colour, as a compositor would.
    CWindowTour tour(
        [&folder](QWidget* window, const QString& state) {
            const QPixmap shot = window->grab();
            QPixmap canvas(shot.size());
            canvas.fill(QColor(0x5a, 0x6b, 0x78));
            QPainter painter(&canvas);
            painter.drawPixmap(0, 0, shot);
            painter.end();
            canvas.save(folder + QLatin1Char('/') + state + QStringLiteral(".png"));
        },
        CWindowTour::LongestTexts);
    tour.Run();
    return 0;
}

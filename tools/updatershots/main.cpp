// Renders the six pages of the updater's window into PNG files, for checking the looks by eye, in
// the language the locale asks for (LANGUAGE=en for English):
//   updatershots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>

#include "CContext.h"
#include "CQzLiveUpdate.h"
#include "core/CLanguage.h"

namespace {
// The window's background is translucent; it is laid on a desktop colour, as a compositor would.
void Save(QWidget* widget, const QString& path)
{
    const QPixmap shot = widget->grab();
    QPixmap canvas(shot.size());
    canvas.fill(QColor(0x5a, 0x6b, 0x78));
    QPainter painter(&canvas);
    painter.drawPixmap(0, 0, shot);
    painter.end();
    canvas.save(path);
}
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("微软雅黑"), QStringLiteral("WenQuanYi Micro Hei"));
    CLanguage::Install(QStringLiteral("QzLiveUpdate"));
    const QString folder = app.arguments().value(1, QStringLiteral("."));
    QDir().mkpath(folder);
    CContext::Instance()->SetArguments(QStringLiteral("QzHealthManager"), QStringLiteral("4.0.0.0"), QStringLiteral("1"));

    CQzLiveUpdate window;
    window.show();
    // A few frames into the animation, so the picture shows it running.
    QEventLoop wait;
    QTimer::singleShot(250, &wait, &QEventLoop::quit);
    wait.exec();
    auto* body = window.findChild<QStackedWidget*>(QStringLiteral("Body"));
    Save(&window, folder + QStringLiteral("/updater-0-checking.png"));

    window.findChild<QLabel*>(QStringLiteral("label_version"))->setText(QCoreApplication::translate("CQzLiveUpdate", "版本：v%1").arg(QStringLiteral("4.0.0.0")));
    body->setCurrentIndex(1);
    Save(&window, folder + QStringLiteral("/updater-1-uptodate.png"));

    window.findChild<QLabel*>(QStringLiteral("label_tips"))->setText(QCoreApplication::translate("CQzLiveUpdate", "检测到最新版本v %1").arg(QStringLiteral("4.1.0.0")));
    window.findChild<QTextBrowser*>(QStringLiteral("textBrowser"))
        ->setHtml(QStringLiteral("<p><b>新版本更新内容：</b></p><ol><li>喝水提醒可按时间段暂停</li>"
                                 "<li>护眼模式切换更平滑</li><li>修复若干已知问题</li></ol>"));
    body->setCurrentIndex(2);
    Save(&window, folder + QStringLiteral("/updater-2-offered.png"));

    window.OnProcess_Slots(100, 100);
    body->setCurrentIndex(3);
    Save(&window, folder + QStringLiteral("/updater-3-downloading.png"));

    body->setCurrentIndex(4);
    Save(&window, folder + QStringLiteral("/updater-4-forced.png"));

    body->setCurrentIndex(5);
    Save(&window, folder + QStringLiteral("/updater-5-failed.png"));
    return 0;
}

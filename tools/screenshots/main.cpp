// Renders every window of the shell into PNG files, for checking the looks by eye:
//   screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "CBaseManager.h"
#include "CBootTip.h"
#include "CColortempTips.h"
#include "CCommon.h"
#include "CDrinksWindow.h"
#include "CIniSettings.h"
#include "CMessageShow.h"
#include "CSystemTray.h"

namespace {
QString g_folder;

// Windows with a translucent background are laid on the desktop colour, as a compositor would.
void Save(QWidget* widget, const QString& name)
{
    const QPixmap shot = widget->grab();
    QPixmap canvas(shot.size());
    canvas.fill(QColor(0x5a, 0x6b, 0x78));
    QPainter painter(&canvas);
    painter.drawPixmap(0, 0, shot);
    painter.end();
    canvas.save(g_folder + '/' + name + QStringLiteral(".png"));
}

void Hover(QWidget* widget)
{
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &enter);
}

void Leave(QWidget* widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"));
    g_folder = app.arguments().value(1, QStringLiteral("."));
    QDir().mkpath(g_folder);
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    CIniSettings::Instance()->SetDrinksStatus(2);
    CIniSettings::Instance()->SetDrinkTimestamp(QDateTime::currentSecsSinceEpoch());

    CBaseManager frame;
    frame.show();
    QCoreApplication::processEvents();
    Save(&frame, QStringLiteral("frame"));
    const char* const cards[][2] = {{"btn_drinks", "CDrinksTask"}, {"btn_relax", "CRelaxTask"},
        {"btn_eyeshield", "CEyeshieldTask"}};
    for (const auto& card : cards) {
        Hover(frame.findChild<QPushButton*>(QLatin1String(card[0])));
        Save(&frame, QStringLiteral("frame-") + QLatin1String(card[1]));
        Leave(frame.findChild<QWidget*>(QLatin1String(card[1])));
    }
    frame.OnDrinksRecord_Click();
    Save(&frame, QStringLiteral("frame-page"));
    frame.OnDrinksSettings_Click();
    Save(&frame, QStringLiteral("frame-drinks-settings"));
    frame.OnDrinkNow_Click();
    Save(&frame, QStringLiteral("frame-drink-now"));
    frame.OnMain_Click();

    frame.OnDrinksTipsShow();
    auto* drinks = frame.findChild<CDrinksWindow*>();
    Save(drinks, QStringLiteral("popup-drinks"));
    drinks->OnDrinks_Click();
    Save(drinks, QStringLiteral("popup-drinks-drunk"));
    drinks->hide();

    // The eye-protection page off, in each preset, in automatic and in custom mode.
    frame.OnEyeshield_Click();
    Save(&frame, QStringLiteral("eyeshield-off"));
    for (const char* mode : {"btn_automatic", "btn_working", "btn_game", "btn_player"}) {
        frame.findChild<QPushButton*>(QLatin1String(mode))->click();
        Save(&frame, QStringLiteral("eyeshield-") + QLatin1String(mode).mid(4));
    }
    auto* slider = frame.findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    const QPoint point(150, slider->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, point, slider->mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, slider->mapToGlobal(point), Qt::LeftButton, Qt::NoButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &release);
    Save(&frame, QStringLiteral("eyeshield-custom"));
    frame.findChild<QCheckBox*>(QStringLiteral("check_status"))->setChecked(false);
    frame.OnMain_Click();

    auto* notice = new CColortempTips;
    notice->show();
    Save(notice, QStringLiteral("notice-colortemp"));
    notice->close();

    QMenu* frameMenu = frame.findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu();
    frameMenu->popup(QPoint(0, 0));
    frameMenu->setActiveAction(frameMenu->actions().at(1));
    Save(frameMenu, QStringLiteral("menu-frame"));
    frameMenu->hide();

    QMenu* trayMenu = frame.SystemTray()->Menu();
    trayMenu->popup(QPoint(0, 0));
    Save(trayMenu, QStringLiteral("menu-tray"));
    trayMenu->hide();

    CMessageShow::Instance()->show();
    Save(CMessageShow::Instance(), QStringLiteral("dialog-exit"));
    CBootTip::Instance()->show();
    Save(CBootTip::Instance(), QStringLiteral("dialog-boot"));
    return 0;
}

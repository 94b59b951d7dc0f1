// Renders every window of the shell into PNG files, for checking the looks by eye, in the
// language the locale asks for (LANGUAGE=en for English):
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
#include <QtPlugin>
#include <QTemporaryDir>
#include <QTimer>

#include "CBaseManager.h"
#include "core/CBootTip.h"
#include "CColortempTips.h"
#include "core/CCommon.h"
#include "CDrinkSampleHistory.h"
#include "CDrinkStatistics.h"
#include "CDrinkTotalRecord.h"
#include "CDrinksWindow.h"
#include "CHistoryNotice.h"
#include "core/CIniSettings.h"
#include "core/CLanguage.h"
#include "core/CMessageShow.h"
#include "CRelaxFullShowSettings.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxSettingsWindow.h"
#include "CRelaxShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "CRestHistory.h"
#include "CSystemTray.h"
#include "GaugeRange.h"
#include "Tumbler.h"
#include "clock.h"

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

// The rest prompt at three times of day, the countdown window, each full-screen content and
// both rest settings forms.
void SaveRelaxWindows(CBaseManager& frame)
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxFullStatus(2);
    settings->SetRelaxSleepTimer(25);
    settings->SetRelaxTimerMinute(45);
    frame.OnRelaxTipsShow();
    auto* tips = frame.findChild<CRelaxTipsWindow*>();
    const int hours[] = {8, 15, 23};
    for (int hour : hours) {
        CClock::SetLocal(QDateTime(QDate(2026, 12, 7), QTime(hour, 30)));
        tips->GreetingTick();
        tips->CountdownTick();
        Save(tips, QStringLiteral("relax-tips-%1").arg(hour, 2, 10, QLatin1Char('0')));
    }
    tips->OnRelaxShow();
    CRelaxShowWindow* countdown = tips->ShowWindows().first();
    countdown->CountdownTick();
    Save(countdown, QStringLiteral("relax-show"));
    countdown->OnRelaxOver_Click();
    tips->hide();
    CClock::Release();

    const char* const kinds[] = {"quiz", "quotation", "exercises"};
    for (int kind = 0; kind < 3; ++kind) {
        CRelaxFullShowWindow window(nullptr);
        window.SetContentKind(kind);
        if (kind == CRelaxFullShowWindow::Exercises)
            window.OnRight_Click();
        window.setGeometry(0, 0, 1280, 800);
        window.show();
        QCoreApplication::processEvents();
        Save(&window, QStringLiteral("relax-full-") + QLatin1String(kinds[kind]));
        if (kind == CRelaxFullShowWindow::Quiz) {
            QMenu* menu = window.findChild<QPushButton*>(QStringLiteral("btn_settings_menu"))->menu();
            menu->popup(QPoint(0, 0));
            menu->setActiveAction(menu->actions().at(1));
            Save(menu, QStringLiteral("relax-full-menu"));
            menu->hide();
        }
    }

    settings->SetRelaxTimestamp(CClock::Now() - 600);
    CRelaxFullShowSettings popup(nullptr);
    popup.show();
    Save(&popup, QStringLiteral("relax-settings-popup"));
    frame.OnRelaxSettings_Click();
    frame.findChild<CRelaxSettingsWindow*>()->RefreshSchedule();
    Save(&frame, QStringLiteral("frame-relax-settings"));
    frame.OnMain_Click();
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

// Ten days of rests before now: most taken, some put off, ended early or skipped, and a few
// hours at the screen each day; the clock is left at now.
void WriteSampleRests(CRestHistory& rests, const QDateTime& now)
{
    const stRestData::Outcome outcomes[] = {stRestData::Taken, stRestData::Taken, stRestData::Postponed,
        stRestData::Taken, stRestData::EndedEarly, stRestData::Away, stRestData::Skipped};
    for (int back = 9; back >= 0; --back) {
        const QDate day = now.date().addDays(-back);
        const int count = 3 + (day.day() * 7) % 5;
        for (int i = 0; i < count; ++i) {
            CClock::SetLocal(QDateTime(day, QTime(9 + i, 30)));
            const stRestData::Outcome outcome = outcomes[(day.day() + i) % 7];
            rests.Record(i % 2 == 0 ? stRestData::Popup : stRestData::FullScreen, outcome,
                outcome == stRestData::Postponed ? 45 : 0);
        }
        const int seconds = 60 * (40 + (day.day() * 37) % 140);
        for (int second = 0; second <= seconds; ++second)
            rests.CountActive(QDateTime(day, QTime(9, 0)).addSecs(second).toSecsSinceEpoch());
    }
    CClock::SetLocal(now);
    rests.WaitUntilSaved(30000);
}

// The records page over the sample history: its four views, a page back, the chart while
// dragged, the rest views, and the gauge on its own in both styles.
void SaveRecords(CBaseManager& frame)
{
    frame.OnDrinksRecord_Click();
    auto* records = frame.findChild<CDrinkTotalRecord*>();
    Save(&frame, QStringLiteral("records-total"));
    for (const char* tab : {"btn_day", "btn_week", "btn_month"}) {
        records->findChild<QPushButton*>(QLatin1String(tab))->click();
        Save(&frame, QStringLiteral("records-") + QLatin1String(tab).mid(4));
    }
    records->findChild<QPushButton*>(QStringLiteral("btn_day"))->click();
    records->findChild<QPushButton*>(QStringLiteral("btn_leftpage"))->click();
    Save(&frame, QStringLiteral("records-day-paged"));

    auto* chart = records->findChild<Tumbler*>();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(139, 80), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(156, 80), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &move);
    Save(&frame, QStringLiteral("records-day-dragged"));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(156, 80), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &release);

    records->findChild<QPushButton*>(QStringLiteral("btn_rests"))->click();
    CDrinkStatistics::Instance()->WaitUntilSaved(10000);
    for (const char* period : {"btn_rest_day", "btn_rest_week", "btn_rest_month"}) {
        records->findChild<QPushButton*>(QLatin1String(period))->click();
        Save(&frame, QStringLiteral("records-rests-") + QLatin1String(period).mid(9));
    }

    GaugeRange gauge;
    gauge.resize(gauge.sizeHint());
    gauge.setMaxValue(150);
    gauge.setCurrentRange(20, 110);
    Save(&gauge, QStringLiteral("widget-gaugerange"));
    gauge.setRangeStyle(GaugeRange::RangeStyle_Tick);
    gauge.setFreeColor(QColor(220, 236, 230));
    Save(&gauge, QStringLiteral("widget-gaugerange-ticks"));
}
}

// The pictures are read as the tray program reads them.
Q_IMPORT_PLUGIN(CPngReaderPlugin)

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
    g_folder = app.arguments().value(1, QStringLiteral("."));
    QDir().mkpath(g_folder);
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    CIniSettings::Instance()->SetDrinksStatus(2);
    CIniSettings::Instance()->SetDrinksTarget(1500);
    CDrinkSampleHistory::Write(*CDrinkStatistics::Instance(), CClock::LocalNow(), 100);
    WriteSampleRests(*CRestHistory::Instance(), CClock::LocalNow());
    CClock::Release();
    CIniSettings::Instance()->SetDrinkTimestamp(CClock::Now());

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
    SaveRecords(frame);
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
    auto* historyNotice = new CHistoryNotice;
    historyNotice->show();
    Save(historyNotice, QStringLiteral("notice-history"));
    historyNotice->close();

    QMenu* frameMenu = frame.findChild<QPushButton*>(QStringLiteral("btn_menu"))->menu();
    frameMenu->popup(QPoint(0, 0));
    frameMenu->setActiveAction(frameMenu->actions().at(1));
    Save(frameMenu, QStringLiteral("menu-frame"));
    frameMenu->hide();

    QMenu* trayMenu = frame.SystemTray()->Menu();
    trayMenu->popup(QPoint(0, 0));
    Save(trayMenu, QStringLiteral("menu-tray"));
    trayMenu->hide();

    SaveRelaxWindows(frame);

    CMessageShow::Instance()->show();
    Save(CMessageShow::Instance(), QStringLiteral("dialog-exit"));
    CBootTip::Instance()->show();
    Save(CBootTip::Instance(), QStringLiteral("dialog-boot"));
    return 0;
}

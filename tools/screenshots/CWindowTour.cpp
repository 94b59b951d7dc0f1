#include "CWindowTour.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "CAutomaticSettings.h"
#include "CBaseManager.h"
#include "CColortempTips.h"
#include "CConsiderateGate.h"
#include "CDrinkForm.h"
#include "CDrinkSampleHistory.h"
#include "CDrinkStatistics.h"
#include "CDrinkTotalRecord.h"
#include "CDrinksWindow.h"
#include "CHealthDatabase.h"
#include "CHistoryNotice.h"
#include "CMindQuizSettings.h"
#include "CPausingProgramsSettings.h"
#include "CRelaxFullShowSettings.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxGreeting.h"
#include "CRelaxSettingsWindow.h"
#include "CRelaxShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "CRestHistory.h"
#include "CSystemTray.h"
#include "GaugeRange.h"
#include "Tumbler.h"
#include "clock.h"
#include "core/CBootTip.h"
#include "core/CIniSettings.h"
#include "core/CMessageShow.h"

namespace {
// A Monday in September: the longest month name, a two-digit day and week number in the titles.
const QDateTime kNow(QDate(2026, 9, 28), QTime(20, 0));
// A heavy day's total: the longest number the drink forms show.
constexpr int kLongestDayTotal = 10000;
// Long enough for the history thread to take a page of rows on a slow machine.
constexpr int kHistoryWaitMs = 10000;

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

void Click(QWidget* widget, const QPoint& point)
{
    QMouseEvent press(QEvent::MouseButtonPress, point, widget->mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, widget->mapToGlobal(point), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

QPushButton* Button(const QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

// Ten days of rests before now: most taken, some put off, ended early or skipped, and a few
// hours at the screen each day, ticked a second at a time; the clock is left at now.
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
        const qint64 from = QDateTime(day, QTime(9, 0)).toSecsSinceEpoch();
        const int seconds = 60 * (40 + (day.day() * 37) % 140);
        for (int second = 0; second <= seconds; ++second)
            rests.CountActive(from + second);
    }
    CClock::SetLocal(now);
    rests.WaitUntilSaved(kHistoryWaitMs);
}
}

CWindowTour::CWindowTour(Visit visit, Extent extent)
    : m_visit(std::move(visit))
    , m_extent(extent)
{
}

void CWindowTour::Run()
{
    CClock::SetLocal(kNow);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinksTarget(1500);
    CDrinkSampleHistory::Write(*CDrinkStatistics::Instance(), kNow, 100);
    WriteSampleRests(*CRestHistory::Instance(), kNow);
    CClock::SetLocal(kNow);
    settings->SetDrinkTimestamp(CClock::Now());

    CBaseManager frame;
    frame.show();
    QCoreApplication::processEvents();
    m_visit(&frame, QStringLiteral("frame"));
    Cards(frame);
    DrinkPages(frame);
    Records(frame);
    RestRecords(frame);
    DrinkPopup(frame);
    Eyeshield(frame);
    Menus(frame);
    RestPrompt(frame);
    FullScreenRests();
    RestSettings(frame);
    Dialogs();
    CClock::Release();
}

QList<int> CWindowTour::Chosen(const QStringList& texts, const QWidget* shownIn) const
{
    QList<int> chosen;
    if (m_extent == EveryText) {
        for (int i = 0; i < texts.size(); ++i)
            chosen << i;
        return chosen;
    }
    const QFontMetrics metrics = shownIn->fontMetrics();
    int widest = 0;
    int widestIndex = 0;
    for (int i = 0; i < texts.size(); ++i) {
        for (const QString& line : texts.at(i).split(QLatin1Char('\n'))) {
            if (metrics.horizontalAdvance(line) > widest) {
                widest = metrics.horizontalAdvance(line);
                widestIndex = i;
            }
        }
    }
    return {widestIndex};
}

void CWindowTour::Cards(CBaseManager& frame)
{
    const char* const cards[][2] = {{"btn_drinks", "CDrinksTask"}, {"btn_relax", "CRelaxTask"},
        {"btn_eyeshield", "CEyeshieldTask"}};
    for (const auto& card : cards) {
        Hover(Button(&frame, card[0]));
        m_visit(&frame, QStringLiteral("frame-") + QLatin1String(card[1]));
        Leave(frame.findChild<QWidget*>(QLatin1String(card[1])));
    }
}

// The settings page, and the drink-now page before and after today's target, with the longest
// number it shows.
void CWindowTour::DrinkPages(CBaseManager& frame)
{
    frame.OnDrinksRecord_Click();
    m_visit(&frame, QStringLiteral("frame-page"));
    frame.OnDrinksSettings_Click();
    m_visit(&frame, QStringLiteral("frame-drinks-settings"));
    frame.OnDrinkNow_Click();
    m_visit(&frame, QStringLiteral("frame-drink-now"));
    CIniSettings::Instance()->SetAlreadyDrinksNumber(kLongestDayTotal);
    frame.OnMain_Click();
    frame.OnDrinkNow_Click();
    m_visit(&frame, QStringLiteral("frame-drink-now-reached"));
    CIniSettings::Instance()->SetAlreadyDrinksNumber(0);
    frame.OnMain_Click();
}

// The records page over the sample history: its four views, a page back, the chart while
// dragged, the totals of ten years, and the gauge on its own in both styles.
void CWindowTour::Records(CBaseManager& frame)
{
    frame.OnDrinksRecord_Click();
    auto* records = frame.findChild<CDrinkTotalRecord*>();
    m_visit(&frame, QStringLiteral("records-total"));
    for (const char* tab : {"btn_day", "btn_week", "btn_month"}) {
        Button(records, tab)->click();
        m_visit(&frame, QStringLiteral("records-") + QLatin1String(tab).mid(4));
    }
    Button(records, "btn_day")->click();
    Button(records, "btn_leftpage")->click();
    m_visit(&frame, QStringLiteral("records-day-paged"));

    auto* chart = records->findChild<Tumbler*>();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(139, 80), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(156, 80), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &move);
    m_visit(&frame, QStringLiteral("records-day-dragged"));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(156, 80), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &release);

    // Ten years of two litres a day, most days on target.
    stTotalsData tenYears;
    tenYears.nTotalDays = 3652;
    tenYears.nTotalDrinkNum = 3652 * 2000;
    tenYears.nTotalPassDay = 3300;
    tenYears.nAverDrink = 2000;
    stTotalsData sampleTotals;
    CDrinkStatistics::Instance()->GetTotals(sampleTotals);
    // Written past the statistics, as another copy of the history would be, then read back by them.
    CHealthDatabase store(QStringLiteral("HealthConfigTour"));
    store.OpenDatabase();
    auto showTotals = [&store](const stTotalsData& totals) {
        store.ReplaceTotals({totals});
        CDrinkStatistics::Instance()->LoadAll();
        CDrinkStatistics::Instance()->WaitUntilSaved(kHistoryWaitMs);
    };
    showTotals(tenYears);
    Button(records, "btn_total")->click();
    m_visit(&frame, QStringLiteral("records-total-ten-years"));
    showTotals(sampleTotals);
    frame.OnMain_Click();

    GaugeRange gauge;
    gauge.resize(gauge.sizeHint());
    gauge.setMaxValue(150);
    gauge.setCurrentRange(20, 110);
    m_visit(&gauge, QStringLiteral("widget-gaugerange"));
    gauge.setRangeStyle(GaugeRange::RangeStyle_Tick);
    gauge.setFreeColor(QColor(220, 236, 230));
    m_visit(&gauge, QStringLiteral("widget-gaugerange-ticks"));
}

// The rest tab of the records page over the sample rests: days, weeks and months.
void CWindowTour::RestRecords(CBaseManager& frame)
{
    frame.OnDrinksRecord_Click();
    auto* records = frame.findChild<CDrinkTotalRecord*>();
    Button(records, "btn_rests")->click();
    CDrinkStatistics::Instance()->WaitUntilSaved(kHistoryWaitMs);
    QCoreApplication::processEvents();
    for (const char* period : {"btn_rest_day", "btn_rest_week", "btn_rest_month"}) {
        Button(records, period)->click();
        m_visit(&frame, QStringLiteral("records-rests-") + QLatin1String(period).mid(9));
    }
    frame.OnMain_Click();
}

// The reminder pop-up before and after today's target, and after a drink with its health tips.
void CWindowTour::DrinkPopup(CBaseManager& frame)
{
    frame.OnDrinksTipsShow();
    auto* drinks = frame.findChild<CDrinksWindow*>();
    m_visit(drinks, QStringLiteral("popup-drinks"));
    drinks->hide();
    CIniSettings::Instance()->SetAlreadyDrinksNumber(kLongestDayTotal);
    frame.OnDrinksTipsShow();
    m_visit(drinks, QStringLiteral("popup-drinks-reached"));
    drinks->hide();
    CIniSettings::Instance()->SetAlreadyDrinksNumber(0);

    frame.OnDrinksTipsShow();
    drinks->OnDrinks_Click();
    auto* tip = drinks->findChild<QLabel*>(QStringLiteral("label_warm_prompt"));
    const QStringList tips = CDrinkForm::HealthTips();
    for (int i : Chosen(tips, tip)) {
        tip->setText(tips.at(i));
        m_visit(drinks, m_extent == EveryText ? QStringLiteral("popup-drinks-tip-%1").arg(i)
                                              : QStringLiteral("popup-drinks-drunk"));
    }
    drinks->hide();
}

// The eye-protection page off, in each preset, in automatic and in custom mode, and its notice.
void CWindowTour::Eyeshield(CBaseManager& frame)
{
    frame.OnEyeshield_Click();
    m_visit(&frame, QStringLiteral("eyeshield-off"));
    for (const char* mode : {"btn_automatic", "btn_working", "btn_game", "btn_player"}) {
        Button(&frame, mode)->click();
        m_visit(&frame, QStringLiteral("eyeshield-") + QLatin1String(mode).mid(4));
    }
    auto* slider = frame.findChild<QSlider*>(QStringLiteral("slider_colortemp"));
    Click(slider, QPoint(150, slider->height() / 2));
    m_visit(&frame, QStringLiteral("eyeshield-custom"));
    AutomaticSettings(frame);
    frame.findChild<QCheckBox*>(QStringLiteral("check_status"))->setChecked(false);
    frame.OnMain_Click();

    auto* notice = new CColortempTips;
    notice->show();
    m_visit(notice, QStringLiteral("notice-colortemp"));
    notice->close();
    auto* historyNotice = new CHistoryNotice;
    historyNotice->show();
    m_visit(historyNotice, QStringLiteral("notice-history"));
    historyNotice->close();
}

// The automatic mode's day and night, opened from the eye-protection page: by the sun at the
// time zone's city, then by fixed times.
void CWindowTour::AutomaticSettings(CBaseManager& frame)
{
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Asia/Shanghai");
    Button(&frame, "btn_automatic_settings")->click();
    auto* settings = frame.findChild<CAutomaticSettings*>();
    settings->findChild<QCheckBox*>(QStringLiteral("check_daynight_status"))->setChecked(true);
    m_visit(settings, QStringLiteral("eyeshield-automatic-settings-sun"));
    settings->findChild<QRadioButton*>(QStringLiteral("radio_clock"))->click();
    m_visit(settings, QStringLiteral("eyeshield-automatic-settings-clock"));
    settings->close();
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
}

void CWindowTour::Menus(CBaseManager& frame)
{
    QMenu* frameMenu = Button(&frame, "btn_menu")->menu();
    frameMenu->popup(QPoint(0, 0));
    frameMenu->setActiveAction(frameMenu->actions().at(1));
    m_visit(frameMenu, QStringLiteral("menu-frame"));
    frameMenu->hide();

    QMenu* trayMenu = frame.SystemTray()->Menu();
    trayMenu->popup(QPoint(0, 0));
    m_visit(trayMenu, QStringLiteral("menu-tray"));
    trayMenu->hide();

    CIniSettings::Instance()->SetConsideratePrograms(
        {QStringLiteral("firefox"), QStringLiteral("zoom"), QStringLiteral("libreoffice-impress")});
    CPausingProgramsSettings programs;
    programs.show();
    m_visit(&programs, QStringLiteral("dialog-pausing-programs"));
    CIniSettings::Instance()->SetConsideratePrograms({});
}

// Each reason a reminder can wait for, the strongest last.
QStringList CWindowTour::WaitReasons()
{
    CIniSettings::Instance()->SetConsideratePrograms({QStringLiteral("libreoffice-impress")});
    CConsiderateGate gate;
    QStringList reasons{gate.WaitReason(false)};
    gate.SetLocked(true);
    reasons << gate.WaitReason(true);
    gate.SetKeptAwake(true);
    reasons << gate.WaitReason(true);
    gate.SetDoNotDisturb(true);
    reasons << gate.WaitReason(true);
    gate.SetCameraInUse(true);
    reasons << gate.WaitReason(true);
    gate.SetProgramInFront({QStringLiteral("libreoffice-impress")});
    reasons << gate.WaitReason(true);
    gate.SetFullscreenInFront(true);
    reasons << gate.WaitReason(true);
    CIniSettings::Instance()->SetConsideratePrograms({});
    return reasons;
}

// The rest prompt with the greeting of each time of day, and the countdown window.
void CWindowTour::RestPrompt(CBaseManager& frame)
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxFullStatus(2);
    settings->SetRelaxSleepTimer(25);
    settings->SetRelaxTimerMinute(45);
    frame.OnRelaxTipsShow();
    auto* tips = frame.findChild<CRelaxTipsWindow*>();

    // One hour for each greeting; the pictures' names keep the hours they always had.
    QList<int> hours;
    QStringList greetings;
    for (int hour = 0; hour < 24; ++hour) {
        if (!greetings.contains(CRelaxGreeting::GreetingOf(hour))) {
            hours << hour;
            greetings << CRelaxGreeting::GreetingOf(hour);
        }
    }
    QList<int> shown{8, 15, 23};
    for (int i : Chosen(greetings, tips->findChild<QLabel*>(QStringLiteral("label_tips")))) {
        if (!shown.contains(hours.at(i)))
            shown << hours.at(i);
    }
    if (m_extent == EveryText)
        shown = hours;
    for (int hour : qAsConst(shown)) {
        CClock::SetLocal(QDateTime(kNow.date(), QTime(hour, 30)));
        tips->GreetingTick();
        tips->CountdownTick();
        m_visit(tips, QStringLiteral("relax-tips-%1").arg(hour, 2, 10, QLatin1Char('0')));
    }
    CClock::SetLocal(kNow);
    tips->OnRelaxShow();
    CRelaxShowWindow* countdown = tips->ShowWindows().first();
    countdown->CountdownTick();
    m_visit(countdown, QStringLiteral("relax-show"));
    countdown->OnRelaxOver_Click();
    tips->hide();
}

// Each content of the full-screen rest: the quizzes, the quotation and the neck exercises.
void CWindowTour::FullScreenRests()
{
    QStringList quizzes;
    for (int number = 0; number < CRelaxFullShowWindow::QuizCount; ++number) {
        const QString section = QStringLiteral("MindQuiz%1").arg(number);
        quizzes << CMindQuizSettings::Instance()->GetQuiz(section) + CMindQuizSettings::Instance()->GetAnswer(section);
    }
    const char* const kinds[] = {"quiz", "quotation", "exercises"};
    for (int kind = 0; kind < 3; ++kind) {
        CRelaxFullShowWindow window(nullptr);
        window.SetContentKind(kind);
        window.setGeometry(0, 0, 1280, 800);
        window.show();
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("relax-full-") + QLatin1String(kinds[kind]);
        if (kind == CRelaxFullShowWindow::Quiz) {
            // The quiz turned sideways is as long as its count of characters.
            QList<int> numbers;
            int longest = 0;
            for (int number = 0; number < quizzes.size(); ++number) {
                if (m_extent == EveryText)
                    numbers << number;
                else if (quizzes.at(number).size() > quizzes.at(longest).size())
                    longest = number;
            }
            if (m_extent == LongestTexts)
                numbers << longest;
            for (int number : qAsConst(numbers)) {
                window.ShowQuiz(number);
                m_visit(&window, m_extent == EveryText ? name + QStringLiteral("-%1").arg(number) : name);
            }
            QMenu* menu = Button(&window, "btn_settings_menu")->menu();
            menu->popup(QPoint(0, 0));
            menu->setActiveAction(menu->actions().at(1));
            m_visit(menu, QStringLiteral("relax-full-menu"));
            menu->hide();
        } else if (kind == CRelaxFullShowWindow::Exercises) {
            const int sections = m_extent == EveryText ? CRelaxFullShowWindow::ExerciseCount : 2;
            for (int section = 1; section <= sections; ++section) {
                if (section > 1)
                    window.OnRight_Click();
                if (m_extent == EveryText || section == sections)
                    m_visit(&window, m_extent == EveryText ? name + QStringLiteral("-%1").arg(section) : name);
            }
        } else {
            m_visit(&window, name);
        }
    }
}

void CWindowTour::RestSettings(CBaseManager& frame)
{
    CIniSettings::Instance()->SetRelaxTimestamp(CClock::Now() - 600);
    CRelaxFullShowSettings popup(nullptr);
    popup.show();
    m_visit(&popup, QStringLiteral("relax-settings-popup"));
    frame.OnRelaxSettings_Click();
    auto* page = frame.findChild<CRelaxSettingsWindow*>();
    page->RefreshSchedule();
    m_visit(&frame, QStringLiteral("frame-relax-settings"));
    const QStringList reasons = WaitReasons();
    for (int i : Chosen(reasons, page)) {
        page->ShowWaitReason(reasons.at(i));
        m_visit(&frame, QStringLiteral("frame-relax-settings-waiting-%1").arg(i));
    }
    page->ShowWaitReason(QString());
    frame.OnMain_Click();
}

void CWindowTour::Dialogs()
{
    CMessageShow::Instance()->show();
    m_visit(CMessageShow::Instance(), QStringLiteral("dialog-exit"));
    CMessageShow::Instance()->hide();
    CBootTip::Instance()->show();
    m_visit(CBootTip::Instance(), QStringLiteral("dialog-boot"));
    CBootTip::Instance()->hide();
}

// Every window by keyboard alone: from the control the window starts with, Tab visits the
// expected controls in order and comes back round, and the key a keyboard user presses on each
// (Enter on a button, Space on a switch) does what a click does. Each press is made on a window
// freshly opened, since it may leave the page or close the window.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "CAutomaticSettings.h"
#include "CBaseManager.h"
#include "CColortempTips.h"
#include "CDrinksWindow.h"
#include "CHistoryNotice.h"
#include "CRelaxFullShowSettings.h"
#include "CRelaxFullShowWindow.h"
#include "CRelaxTipsWindow.h"
#include "CSystemTray.h"
#include "TestHome.h"
#include "core/CBootTip.h"
#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "core/CMessageShow.h"

namespace {
constexpr int kMaxStops = 40;

// One window as the test opens it, over settings of its own: the frame it belongs to, when it
// has one, lives as long.
struct COpenWindow
{
    ~COpenWindow()
    {
        const bool shared = window && !own && !frame;
        own.reset();
        frame.reset();
        if (shared) {
            window->hide();
            QCoreApplication::processEvents();
        }
        CIniSettings::Destroy();
        CCommon::Destroy();
    }

    CTestHome home;
    std::unique_ptr<CBaseManager> frame;
    std::unique_ptr<QWidget> own;
    QWidget* window = nullptr;
};

using Opener = std::function<void(COpenWindow&)>;

void FramePage(COpenWindow& open, void (CBaseManager::*page)())
{
    open.frame = std::make_unique<CBaseManager>();
    open.frame->show();
    if (page)
        (open.frame.get()->*page)();
    open.window = open.frame.get();
}

const QMap<QString, Opener>& Openers()
{
    static const QMap<QString, Opener> openers{
        {QStringLiteral("home"), [](COpenWindow& open) { FramePage(open, nullptr); }},
        {QStringLiteral("drinks-settings"),
            [](COpenWindow& open) { FramePage(open, &CBaseManager::OnDrinksSettings_Click); }},
        {QStringLiteral("records"), [](COpenWindow& open) { FramePage(open, &CBaseManager::OnDrinksRecord_Click); }},
        {QStringLiteral("records-by-day"),
            [](COpenWindow& open) {
                FramePage(open, &CBaseManager::OnDrinksRecord_Click);
                open.frame->findChild<QPushButton*>(QStringLiteral("btn_day"))->click();
            }},
        {QStringLiteral("drink-now"), [](COpenWindow& open) { FramePage(open, &CBaseManager::OnDrinkNow_Click); }},
        {QStringLiteral("eyeshield"), [](COpenWindow& open) { FramePage(open, &CBaseManager::OnEyeshield_Click); }},
        {QStringLiteral("relax-settings"),
            [](COpenWindow& open) { FramePage(open, &CBaseManager::OnRelaxSettings_Click); }},
        {QStringLiteral("automatic-settings"),
            [](COpenWindow& open) {
                FramePage(open, &CBaseManager::OnEyeshield_Click);
                open.frame->findChild<QPushButton*>(QStringLiteral("btn_automatic_settings"))->click();
                open.window = open.frame->findChild<CAutomaticSettings*>();
            }},
        {QStringLiteral("drink-reminder"),
            [](COpenWindow& open) {
                FramePage(open, nullptr);
                open.frame->OnDrinksTipsShow();
                open.window = open.frame->findChild<CDrinksWindow*>();
            }},
        {QStringLiteral("rest-prompt"),
            [](COpenWindow& open) {
                CIniSettings::Instance()->SetRelaxStatus(2);
                FramePage(open, nullptr);
                open.frame->OnRelaxTipsShow();
                open.window = open.frame->findChild<CRelaxTipsWindow*>();
            }},
        {QStringLiteral("rest-full-screen"),
            [](COpenWindow& open) {
                auto* rest = new CRelaxFullShowWindow(nullptr);
                rest->SetContentKind(CRelaxFullShowWindow::Quiz);
                rest->ShowQuiz(0);
                rest->setGeometry(0, 0, 1280, 800);
                open.own.reset(rest);
                open.window = rest;
            }},
        {QStringLiteral("rest-settings-popup"),
            [](COpenWindow& open) {
                open.own = std::make_unique<CRelaxFullShowSettings>(nullptr);
                open.window = open.own.get();
            }},
        {QStringLiteral("blue-light-notice"),
            [](COpenWindow& open) {
                open.own = std::make_unique<CColortempTips>();
                open.window = open.own.get();
            }},
        {QStringLiteral("history-notice"),
            [](COpenWindow& open) {
                open.own = std::make_unique<CHistoryNotice>();
                open.own->setAttribute(Qt::WA_DeleteOnClose, false);
                open.window = open.own.get();
            }},
        {QStringLiteral("exit-question"), [](COpenWindow& open) { open.window = CMessageShow::Instance(); }},
        {QStringLiteral("start-with-system"), [](COpenWindow& open) { open.window = CBootTip::Instance(); }},
    };
    return openers;
}

// Closes whatever the press opened that waits for an answer (a menu, a file dialog), so the
// test goes on; says whether a menu was among them.
class CPopupCloser : public QObject
{
public:
    CPopupCloser() { m_timer = startTimer(20); }
    bool SawMenu() const { return m_sawMenu; }

protected:
    void timerEvent(QTimerEvent*) override
    {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            m_sawMenu |= qobject_cast<QMenu*>(popup) != nullptr;
            popup->close();
        }
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    }

private:
    int m_timer = 0;
    bool m_sawMenu = false;
};
}

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void tabOrderAndKeys_data();
    void tabOrderAndKeys();
    void trayMenuByKeys();

private:
    // Opens the window afresh and puts it in front, with the keyboard where it starts.
    bool Open(const QString& name, COpenWindow& open);
    static QString FocusName();
};

bool TestKeyboard::Open(const QString& name, COpenWindow& open)
{
    Openers().value(name)(open);
    if (!open.window)
        return false;
    // The frame comes to the front first, then the window over it.
    if (open.frame && !QTest::qWaitForWindowActive(open.frame.get()))
        return false;
    open.window->show();
    // The reminders come without the keyboard; the user brings them to the front.
    open.window->activateWindow();
    // A dialog shown again is still the platform's focus window, which then tells nothing new.
    QApplication::setActiveWindow(open.window);
    return QTest::qWaitFor([&open] { return QApplication::activeWindow() == open.window; });
}

QString TestKeyboard::FocusName()
{
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("(none)");
}

void TestKeyboard::tabOrderAndKeys_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("stops");
    const auto row = [](const char* window, const char* stops) {
        QTest::newRow(window) << QString::fromLatin1(window) << QString::fromLatin1(stops).split(QLatin1Char(' '));
    };
    row("home", "btn_menu btn_close btn_DrinksRecord btn_DrinksSettings btn_DrinkNow btn_RelaxSettings btn_EyeshieldSettings");
    row("drinks-settings", "btn_back btn_menu btn_close checkbox_drinks_status checkbox_drinks_water checkbox_drinks_prompt lineEdit_day_target lineEdit_time_target comboBox_hour comboBox_minute");
    // The four views are one stop, the one shown; the day's chart comes between its pages, and
    // only the totals are exported.
    row("records", "btn_back btn_menu btn_close btn_total btn_export");
    row("records-by-day", "btn_back btn_menu btn_close btn_day btn_leftpage record_tumbler btn_rightpage");
    row("drink-now", "btn_back btn_menu btn_close verticalSlider lineEdit_num btn_click_drinks btn_click_nodrinks");
    row("eyeshield", "btn_back btn_menu btn_close check_status btn_automatic_settings slider_colortemp btn_automatic");
    row("relax-settings", "btn_back btn_menu btn_close checkbox_relax_status checkbox_relax_prompt comboBox_second_fullscreen lineEdit_sleep_timer comboBox_hour comboBox_minute");
    row("automatic-settings", "btn_close check_daynight_status radio_sun spin_latitude spin_longitude spin_day_strength spin_night_strength");
    row("drink-reminder", "btn_menu btn_close verticalSlider lineEdit_num btn_click_drinks btn_click_nodrinks");
    row("rest-prompt", "btn_menu btn_close btn_click_start_relax btn_click_start_norelax");
    row("rest-full-screen", "btn_settings_menu btn_left btn_right pushButton");
    row("rest-settings-popup", "btn_menu btn_close checkbox_relax_status checkbox_relax_full_status comboBox_second_fullscreen lineEdit_sleep_timer comboBox_hour comboBox_minute");
    row("blue-light-notice", "btn_reset");
    row("history-notice", "btn_notice_close");
    row("exit-question", "btn_close btn_Yes btn_No");
    row("start-with-system", "btn_close chk_Boot btn_Confirm");
}

void TestKeyboard::tabOrderAndKeys()
{
    QFETCH(QString, window);
    QFETCH(QStringList, stops);

    // The order, all the way round.
    {
        COpenWindow open;
        QVERIFY(Open(window, open));
        QStringList visited{FocusName()};
        for (int i = 0; i < kMaxStops; ++i) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : open.window, Qt::Key_Tab);
            if (FocusName() == visited.first())
                break;
            visited << FocusName();
        }
        QCOMPARE(visited.join(QLatin1Char(' ')), stops.join(QLatin1Char(' ')));
    }

    // Each stop reached by Tab alone in a fresh window, then pressed.
    for (int stop = 0; stop < stops.size(); ++stop) {
        COpenWindow open;
        QVERIFY(Open(window, open));
        for (int i = 0; i < stop; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        QCOMPARE(FocusName(), stops.at(stop));
        if (!button)
            continue;
        const bool toggle = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        auto* push = qobject_cast<QPushButton*>(button);
        const bool hasMenu = push && push->menu();
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        CPopupCloser closer;
        QTest::keyClick(button, toggle ? Qt::Key_Space : Qt::Key_Return);
        if (hasMenu) {
            QTRY_VERIFY2(closer.SawMenu(), qPrintable(stops.at(stop)));
            QCOMPARE(clicked.count(), 0);
        } else {
            QVERIFY2(clicked.count() == 1, qPrintable(stops.at(stop)));
        }
    }
}

// The tray menu's entries are drawn by the program: the arrow keys still move between them and
// Enter triggers the one reached, as a click does.
void TestKeyboard::trayMenuByKeys()
{
    COpenWindow open;
    FramePage(open, nullptr);
    CSystemTray* tray = open.frame->SystemTray();
    QSignalSpy drinkNow(tray, &CSystemTray::OnDrinksNowAct_Signals);
    QSignalSpy records(tray, &CSystemTray::OnDrinksScoreAct_Signals);
    QMenu* menu = tray->Menu();
    menu->popup(QPoint(0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : menu, Qt::Key_Down);
    QCOMPARE(menu->activeAction()->text(), QStringLiteral("喝水成绩"));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : menu, Qt::Key_Return);
    QCOMPARE(records.count(), 1);
    QCOMPARE(drinkNow.count(), 0);
    QTRY_VERIFY(!menu->isVisible());
}

int main(int argc, char* argv[])
{
    // The eye-protection page's modes are pressed too: no real screen may be tinted by them.
    qunsetenv("DISPLAY");
    QApplication app(argc, argv);
    TestKeyboard test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_keyboard.moc"

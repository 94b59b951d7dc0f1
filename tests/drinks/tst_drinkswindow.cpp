// The reminder pop-up and the drink-now page: the cup and the number field, the progress
// sentence, a recorded drink with its countdown and emptying cup, declining, and the slide-in.
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include "CAdsDataManager.h"
#include "core/CCommon.h"
#include "CDrinkForm.h"
#include "CDrinkNowWindow.h"
#include "CDrinkStatistics.h"
#include "CDrinksSettingsWindow.h"
#include "CDrinksWindow.h"
#include "core/CIniSettings.h"
#include "CServiceEndpoints.h"
#include "core/CSystemUtil.h"
#include "LoopbackHttpServer.h"
#include "TestHome.h"
#include "clock.h"

namespace {
const char* const kTips[] = {
    "充足的水分能够让皮肤更有弹性，更\n明亮，更少脂肪，保持年轻和亮丽",
    "水，是最有益于健康的饮料",
    "研究表明，抑郁和慢性疲劳等许多\n与社会压力有关的症状与大脑脱水有关",
    "水可以增加机体细胞代谢，\n促进体内毒素的排出",
    "充足的水分能够让皮肤更有弹性，\n更明亮，更少脂肪，保持年轻和亮丽",
    "平时饮水多、爱喝茶的人高血压\n及动脉硬化发病率就低",
    "不知道何时起，我喜欢上了喝水，\n因为我知道它可以稀释一切难受",
};
}

class TestDrinksWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void widgetsAsLaidOut();
    void freshConfigurationShowsDefaults();
    void reachedTargetShowsDrunk();
    void columnFollowsAmount_data();
    void columnFollowsAmount();
    void typedAmountIsCutToCup_data();
    void typedAmountIsCutToCup();
    void emptyFieldGetsStoredAmountBack();
    void storedAmountIsCutToCup_data();
    void storedAmountIsCutToCup();
    void guideUntilFirstAmountByHand();
    void drinkRecordsAndCountsDown();
    void notNowRecordsNothing_data();
    void notNowRecordsNothing();
    void recordsLinkLeavesPopup();
    void slidePath_data();
    void slidePath();
    void slidesInOnScreen();
    void pageDrinkReturnsHome();
    void pageNotNowAndRecords();
    // Last: the slots, once fetched, stay for the rest of the process.
    void advertisementSlot();

private:
    QLabel* Label(QWidget* window, const char* name) const;
    QPushButton* Button(QWidget* window, const char* name) const;
    QPair<int, int> TimesRows() const;
    // The usage events the statistics endpoint has received.
    QStringList ReceivedEvents() const;

    CTestHome* m_home = nullptr;
    CLoopbackHttpServer* m_server = nullptr;
};

void TestDrinksWindow::initTestCase()
{
    // The history file stays open for the whole process, so one home serves every case.
    m_home = new CTestHome;
    CDrinkStatistics::Instance()->LoadAll();
    m_server = new CLoopbackHttpServer(this);
    QVERIFY(m_server->isListening());
    QSettings services(CServiceEndpoints::ConfigPath(), QSettings::IniFormat);
    services.setValue(QStringLiteral("services/statistics"), m_server->BaseUrl());
    services.setValue(QStringLiteral("services/ads"), m_server->BaseUrl());
    services.sync();
    CClock::SetLocal(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
}

void TestDrinksWindow::init()
{
    CIniSettings::Destroy();
    QFile::remove(CIniSettings::Instance()->FileName());
    CIniSettings::Destroy();
    CClock::Advance(60);
    m_server->ClearRequests();
}

void TestDrinksWindow::cleanup()
{
    CIniSettings::Destroy();
}

void TestDrinksWindow::cleanupTestCase()
{
    CCommon::Destroy();
    delete m_home;
}

QLabel* TestDrinksWindow::Label(QWidget* window, const char* name) const
{
    return window->findChild<QLabel*>(QLatin1String(name));
}

QPushButton* TestDrinksWindow::Button(QWidget* window, const char* name) const
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

QStringList TestDrinksWindow::ReceivedEvents() const
{
    QStringList events;
    for (const stRecordedRequest& request : m_server->RequestsTo("/hm4.gif")) {
        for (const QByteArray& pair : request.query.split('&')) {
            if (pair.startsWith("event="))
                events << QString::fromUtf8(pair.mid(6));
        }
    }
    return events;
}

// Number of drinks in the history file and their sum, once it holds every drink recorded.
QPair<int, int> TestDrinksWindow::TimesRows() const
{
    QPair<int, int> result(-1, -1);
    if (!CDrinkStatistics::Instance()->WaitUntilSaved(10000))
        return result;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(CSystemUtil::DataFolder() + QStringLiteral("/HealthConfig.db"));
        if (raw.open()) {
            QSqlQuery query(raw);
            if (query.exec(QStringLiteral("select count(*), coalesce(sum(drinknum), 0) from times")) && query.next())
                result = qMakePair(query.value(0).toInt(), query.value(1).toInt());
        }
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return result;
}

void TestDrinksWindow::widgetsAsLaidOut()
{
    CDrinksWindow popup;
    CDrinkNowWindow page;
    QCOMPARE(popup.size(), QSize(290, 450));
    QVERIFY(popup.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(popup.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(popup.windowTitle(), QStringLiteral("喝水提醒"));
    QCOMPARE(popup.findChild<QWidget*>(QStringLiteral("verticalWidget"))->geometry(), QRect(5, 85, 280, 360));
    QCOMPARE(popup.findChild<QWidget*>(QStringLiteral("TopWidget"))->geometry(), QRect(0, 0, 280, 32));
    QCOMPARE(Label(&popup, "label_name")->text(), QStringLiteral("喝水提醒"));
    QCOMPARE(Button(&popup, "btn_close")->toolTip(), QStringLiteral("最小化"));
    QCOMPARE(page.findChild<QWidget*>(QStringLiteral("TopWidget")), nullptr);
    QCOMPARE(page.findChild<QWidget*>(QStringLiteral("adsWidget")), nullptr);

    struct Expected { const char* name; QRect geometry; const char* text; };
    const Expected widgets[] = {
        {"label_drinks_tips_day", QRect(66, 54, 150, 14), nullptr},
        {"label_tips_milliliter", QRect(162, 89, 24, 12), "毫升"},
        {"btn_drinks_cup", QRect(90, 128, 122, 124), nullptr},
        {"verticalSlider", QRect(104, 134, 74, 111), nullptr},
        {"lineEdit_num", QRect(45, 168, 35, 20), nullptr},
        {"btn_edit_pen", QRect(77, 174, 9, 9), nullptr},
        {"label_guide", QRect(140, 220, 115, 50), nullptr},
        {"btn_click_drinks", QRect(96, 272, 90, 30), "点我喝水"},
        {"btn_click_nodrinks", QRect(96, 302, 90, 30), "暂不喝水"},
        {"label_warm_prompt", QRect(30, 265, 220, 42), nullptr},
        {"label_timer", QRect(58, 312, 9, 16), "5"},
        {"label_timer_tips", QRect(69, 314, 72, 12), "秒后自动关闭"},
        {"label_line", QRect(150, 315, 6, 12), "|"},
        {"btn_click_record", QRect(170, 314, 48, 12), "我的成绩"},
    };
    for (const Expected& e : widgets) {
        QWidget* onPopup = popup.findChild<QWidget*>(QLatin1String(e.name));
        QWidget* onPage = page.findChild<QWidget*>(QLatin1String(e.name));
        QVERIFY2(onPopup && onPage, e.name);
        QCOMPARE(onPopup->geometry(), e.geometry);
        QCOMPARE(onPage->geometry(), e.geometry.translated(0, -32));
        if (e.text) {
            const QString text = qobject_cast<QLabel*>(onPopup) ? qobject_cast<QLabel*>(onPopup)->text()
                                                                : qobject_cast<QPushButton*>(onPopup)->text();
            QCOMPARE(text, QString::fromUtf8(e.text));
        }
    }
    QCOMPARE(Label(&popup, "label")->geometry(), QRect(37, 189, 50, 12));
    QCOMPARE(Label(&page, "label")->geometry(), QRect(34, 157, 50, 12));
    QCOMPARE(Label(&popup, "label")->text(), QStringLiteral("毫升/次"));

    QSlider* slider = popup.findChild<QSlider*>();
    QCOMPARE(slider->orientation(), Qt::Vertical);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 500);
    QCOMPARE(slider->pageStep(), 1);
    QCOMPARE(popup.findChild<QLineEdit*>()->maxLength(), 4);
}

void TestDrinksWindow::freshConfigurationShowsDefaults()
{
    // The settings page, made with the frame, writes the target and amount defaults.
    CDrinksSettingsWindow settings;
    CDrinksWindow popup;
    popup.OnResetSetting();
    QCOMPARE(popup.findChild<QLineEdit*>()->text(), QStringLiteral("100"));
    QCOMPARE(popup.findChild<QSlider*>()->value(), 100);
    const QRect column = Label(&popup, "label_drinks_color")->geometry();
    QCOMPARE(column.bottom(), 245);
    QCOMPARE(column.top(), 244 - 21);
    QCOMPARE(Label(&popup, "label_drinks_tips_day")->text(), QStringLiteral("今天距达成目标还有"));
    QCOMPARE(Label(&popup, "label_drinks_num")->text(), QStringLiteral("1000"));
    QVERIFY(!Button(&popup, "btn_click_drinks")->isHidden());
    QVERIFY(Label(&popup, "label_warm_prompt")->isHidden());
}

void TestDrinksWindow::reachedTargetShowsDrunk()
{
    CIniSettings::Instance()->SetAlreadyDrinksNumber(250);
    CDrinkNowWindow page;
    page.OnResetSetting();
    QCOMPARE(Label(&page, "label_drinks_tips_day")->text(), QStringLiteral("今天的目标已达成，已喝水"));
    QCOMPARE(Label(&page, "label_drinks_num")->text(), QStringLiteral("250"));
}

void TestDrinksWindow::columnFollowsAmount_data()
{
    QTest::addColumn<bool>("onPage");
    QTest::addColumn<int>("amount");
    QTest::addColumn<int>("height");
    QTest::newRow("pop-up 100") << false << 100 << 21;
    QTest::newRow("pop-up 500") << false << 500 << 107;
    QTest::newRow("pop-up 0") << false << 0 << 0;
    QTest::newRow("pop-up 250") << false << 250 << 53;
    QTest::newRow("page 100") << true << 100 << 21;
    QTest::newRow("page 500") << true << 500 << 106;
    QTest::newRow("page 0") << true << 0 << 0;
}

void TestDrinksWindow::columnFollowsAmount()
{
    QFETCH(bool, onPage);
    QFETCH(int, amount);
    QFETCH(int, height);
    CDrinksWindow popup;
    CDrinkNowWindow page;
    QWidget* window = onPage ? static_cast<QWidget*>(&page) : &popup;
    const int dy = onPage ? -32 : 0;
    window->findChild<QSlider*>()->setValue(amount == 100 ? 101 : 100);
    window->findChild<QSlider*>()->setValue(amount);
    QCOMPARE(window->findChild<QLineEdit*>()->text(), QString::number(amount));
    QCOMPARE(Label(window, "label_drinks_color")->geometry(),
        QRect(QPoint(91, 244 - height + dy), QPoint(210, 245 + dy)));
    QCOMPARE(Label(window, "label_drinks_top")->geometry(),
        QRect(QPoint(90, 236 - height + dy), QPoint(190, 244 + dy)));
}

void TestDrinksWindow::typedAmountIsCutToCup_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("amount");
    QTest::newRow("above the cup") << QStringLiteral("800") << 500;
    QTest::newRow("small") << QStringLiteral("40") << 40;
    QTest::newRow("the field's limit") << QStringLiteral("5000") << 500;
    QTest::newRow("more than the field takes") << QStringLiteral("50001") << 500;
}

void TestDrinksWindow::typedAmountIsCutToCup()
{
    QFETCH(QString, typed);
    QFETCH(int, amount);
    CDrinksWindow popup;
    popup.OnResetSetting();
    QLineEdit* field = popup.findChild<QLineEdit*>();
    field->selectAll();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), QString::number(amount));
    QCOMPARE(popup.findChild<QSlider*>()->value(), amount);
    QVERIFY(Button(&popup, "btn_edit_pen")->isHidden());
    QVERIFY(field->styleSheet().contains(QStringLiteral("rgba(160,217,195,1)")));

    // Showing the pop-up again brings back the display look.
    popup.OnResetSetting();
    QVERIFY(!Button(&popup, "btn_edit_pen")->isHidden());
    QVERIFY(field->styleSheet().contains(QStringLiteral("rgba(0,210,153,1)")));
}

void TestDrinksWindow::emptyFieldGetsStoredAmountBack()
{
    CIniSettings::Instance()->SetDrinksTimeTarget(250);
    CDrinksWindow popup;
    popup.OnResetSetting();
    popup.show();
    QApplication::setActiveWindow(&popup);
    QVERIFY(QTest::qWaitForWindowActive(&popup));
    QLineEdit* field = popup.findChild<QLineEdit*>();
    field->setFocus();
    QVERIFY(field->hasFocus());
    field->setText(QString());
    field->clearFocus();
    QCOMPARE(field->text(), QStringLiteral("250"));
    QCOMPARE(popup.findChild<QSlider*>()->value(), 250);
}

void TestDrinksWindow::storedAmountIsCutToCup_data()
{
    QTest::addColumn<bool>("onPage");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("amount");
    QTest::newRow("pop-up, above the cup") << false << 800 << 500;
    QTest::newRow("pop-up, below empty") << false << -20 << 0;
    QTest::newRow("page, above the cup") << true << 5000 << 500;
    QTest::newRow("page, within") << true << 350 << 350;
}

// The amount shown must be the amount that a click records.
void TestDrinksWindow::storedAmountIsCutToCup()
{
    QFETCH(bool, onPage);
    QFETCH(int, stored);
    QFETCH(int, amount);
    CIniSettings::Instance()->SetDrinksTimeTarget(stored);
    CDrinksWindow popup;
    CDrinkNowWindow page;
    QWidget* window = onPage ? static_cast<QWidget*>(&page) : &popup;
    if (onPage)
        page.OnResetSetting();
    else
        popup.OnResetSetting();
    QCOMPARE(window->findChild<QLineEdit*>()->text(), QString::number(amount));
    QCOMPARE(window->findChild<QSlider*>()->value(), amount);
    const int dy = onPage ? -32 : 0;
    QCOMPARE(Label(window, "label_drinks_color")->geometry().top(), 244 - (onPage ? page.Form() : popup.Form())->ColumnHeight(amount) + dy);

    const QPair<int, int> before = TimesRows();
    Button(window, "btn_click_drinks")->click();
    QCOMPARE(TimesRows(), qMakePair(before.first + 1, before.second + amount));
}

void TestDrinksWindow::guideUntilFirstAmountByHand()
{
    CDrinksWindow popup;
    popup.OnResetSetting();
    QVERIFY(!Label(&popup, "label_guide")->isHidden());
    QCOMPARE(CIniSettings::Instance()->GetDrinksGuide(), 0);
    popup.findChild<QSlider*>()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(Label(&popup, "label_guide")->isHidden());
    QCOMPARE(CIniSettings::Instance()->GetDrinksGuide(), 1);
    CDrinkNowWindow page;
    page.OnResetSetting();
    QVERIFY(Label(&page, "label_guide")->isHidden());

    // A drink of the amount offered dismisses it as well.
    CIniSettings::Instance()->SetDrinksGuide(0);
    page.OnResetSetting();
    QVERIFY(!Label(&page, "label_guide")->isHidden());
    page.OnDrinks_Click();
    QVERIFY(Label(&page, "label_guide")->isHidden());
    QCOMPARE(CIniSettings::Instance()->GetDrinksGuide(), 1);
}

void TestDrinksWindow::drinkRecordsAndCountsDown()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksTarget(1500);
    settings->SetAlreadyDrinksNumber(1200);
    const QPair<int, int> before = TimesRows();

    CDrinksWindow popup;
    popup.OnResetSetting();
    popup.show();
    popup.findChild<QSlider*>()->setValue(300);
    Button(&popup, "btn_click_drinks")->click();

    QCOMPARE(settings->GetAlreadyDrinksNumber(), 1500);
    QCOMPARE(settings->GetDrinksTimeTarget(), 300);
    QCOMPARE(Label(&popup, "label_drinks_tips_day")->text(), QStringLiteral("今天的目标已达成，已喝水"));
    QCOMPARE(Label(&popup, "label_drinks_num")->text(), QStringLiteral("1500"));
    QCOMPARE(ReceivedEvents(), QStringList{QStringLiteral("drinks_click_report")});

    QVERIFY(Button(&popup, "btn_click_drinks")->isHidden());
    QVERIFY(Button(&popup, "btn_click_nodrinks")->isHidden());
    QLabel* tip = Label(&popup, "label_warm_prompt");
    QVERIFY(!tip->isHidden());
    QStringList tips;
    for (const char* text : kTips)
        tips << QString::fromUtf8(text);
    QVERIFY2(tips.contains(tip->text()), qPrintable(tip->text()));
    QVERIFY(!Button(&popup, "btn_click_record")->isHidden());

    // The cup empties at 2 ml per 5 ms step while the number counts down with it. (The
    // report's wait for its answer may already have let a few steps pass.)
    CDrinkForm* form = popup.Form();
    const int level = popup.findChild<QLineEdit*>()->text().toInt();
    QVERIFY(level > 200 && level <= 300);
    for (int step = 0; step < 50; ++step)
        form->DrainTick();
    QCOMPARE(popup.findChild<QLineEdit*>()->text(), QString::number(level - 100));
    QCOMPARE(Label(&popup, "label_drinks_color")->geometry().top(), 244 - form->ColumnHeight(level - 100));
    for (int step = 0; step < 200; ++step)
        form->DrainTick();
    QCOMPARE(popup.findChild<QLineEdit*>()->text(), QStringLiteral("0"));

    QLabel* number = Label(&popup, "label_timer");
    const QStringList shown = {QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"),
        QStringLiteral("1")};
    QCOMPARE(number->text(), QStringLiteral("5"));
    for (const QString& expected : shown) {
        form->CountdownTick();
        QCOMPARE(number->text(), expected);
        QVERIFY(popup.isVisible());
    }
    form->CountdownTick();
    QVERIFY(!popup.isVisible());
    QCOMPARE(form->Remaining(), CDrinkForm::Idle);
    QVERIFY(!Button(&popup, "btn_click_drinks")->isHidden());
    QVERIFY(tip->isHidden());
    QCOMPARE(TimesRows(), qMakePair(before.first + 1, before.second + 300));

    // The amount drunk is the next reminder's default.
    CClock::Advance(5);
    popup.OnResetSetting();
    QCOMPARE(popup.findChild<QSlider*>()->value(), 300);
}

void TestDrinksWindow::notNowRecordsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("暂不喝水") << QStringLiteral("btn_click_nodrinks");
    QTest::newRow("close") << QStringLiteral("btn_close");
}

void TestDrinksWindow::notNowRecordsNothing()
{
    QFETCH(QString, button);
    const QPair<int, int> before = TimesRows();
    CDrinksWindow popup;
    popup.OnResetSetting();
    popup.show();
    // The report may wait for the network: the pop-up is gone before it leaves.
    QList<bool> shownAtReport;
    connect(m_server, &QTcpServer::newConnection, &popup, [&] { shownAtReport << popup.isVisible(); });
    popup.findChild<QPushButton*>(button)->click();
    QVERIFY(!popup.isVisible());
    QCOMPARE(ReceivedEvents(), QStringList{QStringLiteral("pausedrink")});
    QCOMPARE(shownAtReport, QList<bool>{false});
    QCOMPARE(TimesRows(), before);
    QCOMPARE(CIniSettings::Instance()->GetAlreadyDrinksNumber(), 0);
    QCOMPARE(popup.Form()->Remaining(), CDrinkForm::Idle);
}

void TestDrinksWindow::recordsLinkLeavesPopup()
{
    QSignalSpy records(CCommon::Instance(), &CCommon::SwitchDrinksRecord_PanelSignal);
    CDrinksWindow popup;
    popup.OnResetSetting();
    popup.show();
    popup.OnDrinks_Click();
    Button(&popup, "btn_click_record")->click();
    QCOMPARE(records.count(), 1);
    QVERIFY(!popup.isVisible());
    QCOMPARE(popup.Form()->Remaining(), CDrinkForm::Idle);
}

void TestDrinksWindow::slidePath_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("end");
    QTest::newRow("full HD, panel below") << QRect(0, 0, 1920, 1040) << QPoint(1610, 1035) << QPoint(1610, 595);
    QTest::newRow("panel above and left") << QRect(64, 30, 1216, 770) << QPoint(970, 795) << QPoint(970, 355);
}

void TestDrinksWindow::slidePath()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, start);
    QFETCH(QPoint, end);
    const QSize size(290, 450);
    QCOMPARE(CDrinksWindow::SlideStart(available, size), start);
    QCOMPARE(CDrinksWindow::SlideEnd(available, size), end);
    // What the user sees, the content under the advertisement strip, ends inside the area.
    const QRect content = QRect(end, size).adjusted(5, 85, -5, -5);
    QVERIFY(available.contains(content));
    QVERIFY(!available.contains(QRect(start, size).adjusted(5, 85, -5, -5)));
}

void TestDrinksWindow::slidesInOnScreen()
{
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    CDrinksWindow popup;
    popup.OnResetSetting();
    QCOMPARE(popup.pos(), CDrinksWindow::SlideStart(available, popup.size()));
    popup.show();
    QTRY_COMPARE_WITH_TIMEOUT(popup.pos(), CDrinksWindow::SlideEnd(available, popup.size()), 10000);
}

void TestDrinksWindow::pageDrinkReturnsHome()
{
    QSignalSpy home(CCommon::Instance(), &CCommon::SwitchMain_PanelSignal);
    CDrinkNowWindow page;
    page.OnResetSetting();
    page.show();
    page.findChild<QSlider*>()->setValue(150);
    Button(&page, "btn_click_drinks")->click();
    QCOMPARE(CIniSettings::Instance()->GetAlreadyDrinksNumber(), 150);
    for (int tick = 0; tick < 5; ++tick)
        page.Form()->CountdownTick();
    QCOMPARE(home.count(), 0);
    page.Form()->CountdownTick();
    QCOMPARE(home.count(), 1);
}

void TestDrinksWindow::pageNotNowAndRecords()
{
    QSignalSpy home(CCommon::Instance(), &CCommon::SwitchMain_PanelSignal);
    QSignalSpy records(CCommon::Instance(), &CCommon::SwitchDrinksRecord_PanelSignal);
    CDrinkNowWindow page;
    page.OnResetSetting();
    QList<int> homeAtReport;
    connect(m_server, &QTcpServer::newConnection, &page, [&] { homeAtReport << home.count(); });
    Button(&page, "btn_click_nodrinks")->click();
    QCOMPARE(home.count(), 1);
    QCOMPARE(ReceivedEvents(), QStringList{QStringLiteral("pausedrink")});
    QCOMPARE(homeAtReport, QList<int>{1});
    QCOMPARE(page.Form()->Remaining(), CDrinkForm::Idle);
    page.OnDrinks_Click();
    page.OnRecord_Click();
    QCOMPARE(records.count(), 1);
    QCOMPARE(page.Form()->Remaining(), CDrinkForm::Idle);
}

void TestDrinksWindow::advertisementSlot()
{
    CDrinksWindow popup;
    auto* ads = popup.findChild<QWidget*>(QStringLiteral("adsWidget"));
    popup.OnResetSetting();
    popup.show();
    QVERIFY(ads->isHidden());
    popup.hide();

    QImage picture(280, 80, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    stCannedAnswer image;
    QBuffer buffer(&image.body);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    m_server->SetAnswer("/img/drink.png", image);
    stCannedAnswer config;
    const QByteArray picturePath = m_server->BaseUrl().toUtf8() + "/img/drink.png";
    config.body = "[{\"ads_pos\":1,\"ads_status\":0,\"ads_imageurl\":\"" + picturePath + "\"},"
                  "{\"ads_pos\":2,\"ads_status\":1,\"ads_imageurl\":\"" + picturePath
        + "\",\"ads_linkurl\":\"https://example.org/\"}]";
    m_server->SetAnswer("/zr/getAdsConfig", config);
    QVERIFY(CAdsDataManager::Instance()->FetchConfig());
    CAdsDataManager::Instance()->PrepareImages();

    popup.OnResetSetting();
    popup.show();
    QVERIFY(!ads->isHidden());
    QCOMPARE(ads->geometry(), QRect(0, 0, 280, 80));
    QCOMPARE(ads->mapTo(&popup, QPoint(0, 0)), QPoint(5, 5));
}

QTEST_MAIN(TestDrinksWindow)
#include "tst_drinkswindow.moc"

// The records page over a history recorded through the statistics model.
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "CDrinkStatistics.h"
#include "CDrinkTotalRecord.h"
#include "CHealthDatabase.h"
#include "core/CIniSettings.h"
#include "GaugeRange.h"
#include "TestHome.h"
#include "Tumbler.h"
#include "clock.h"

namespace {
// A Wednesday in week 50 of 2026.
const QDateTime kNow = QDateTime(QDate(2026, 12, 16), QTime(20, 0));
}

class TestDrinkTotalRecord : public QObject
{
    Q_OBJECT
private:
    void Drink(const QDateTime& moment, int amount)
    {
        CClock::SetLocal(moment);
        m_stats->RecordDrink(amount);
    }
    void Drink(int daysBack, const QTime& time, int amount)
    {
        Drink(QDateTime(kNow.date().addDays(-daysBack), time), amount);
    }
    // Back at the present, as at the next start of the program.
    void Settle()
    {
        CClock::SetLocal(kNow);
        m_stats->LoadAll();
        QVERIFY(m_stats->WaitUntilSaved(10000));
    }
    CDrinkTotalRecord* MakePage()
    {
        m_page = std::make_unique<CDrinkTotalRecord>(nullptr, m_stats.get());
        return m_page.get();
    }
    QString Text(const char* name) const
    {
        auto* label = m_page->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }
    // Title, amount, unit, left caption, left figure, average caption, average figure.
    QStringList Figures() const
    {
        return {Text("label_drink_amount"), Text("label_drink_totalamount"), Text("label_drinkunit_totalamount"),
            Text("label_goaltext_dayamount"), Text("label_goal_dayamount"), Text("label_averunit_drinkamount"),
            Text("label_aver_drinkamount")};
    }
    QWidget* Child(const char* name) const
    {
        return m_page->findChild<QWidget*>(QLatin1String(name));
    }
    Tumbler* Chart() const
    {
        return m_page->findChild<Tumbler*>(QStringLiteral("record_tumbler"));
    }
    GaugeRange* Gauge() const
    {
        return m_page->findChild<GaugeRange*>(QStringLiteral("record_gaugerange"));
    }
    void Click(const char* button)
    {
        QTest::mouseClick(m_page->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }
    // The target dot's colour, as drawn.
    QColor DotColour() const
    {
        QWidget* dot = Child("label_goal_picture");
        return dot->grab().toImage().pixelColor(5, 5);
    }
    bool Shown(const char* name) const
    {
        return !Child(name)->isHidden();
    }
    void WriteTotals(int days)
    {
        stTotalsData totals;
        totals.nTotalDays = days;
        totals.nTotalDrinkNum = days * 1200;
        totals.nTotalPassDay = days / 2;
        totals.nAverDrink = 1200;
        {
            CHealthDatabase db(QStringLiteral("direct"));
            db.Init();
            QVERIFY(db.ReplaceTotals({totals}));
        }
        Settle();
    }

private slots:
    void init()
    {
        m_home = std::make_unique<CTestHome>();
        CIniSettings::Destroy();
        CIniSettings::Instance()->SetDrinksTarget(1500);
        CClock::SetLocal(kNow);
        m_stats = std::make_unique<CDrinkStatistics>();
        Settle();
    }
    void cleanup()
    {
        m_page.reset();
        m_stats.reset();
        CIniSettings::Destroy();
        CClock::Release();
        m_home.reset();
    }

    void builtAsDescribed()
    {
        MakePage();
        QCOMPARE(m_page->objectName(), QStringLiteral("CDrinkTotalRecord"));
        QCOMPARE(m_page->size(), QSize(282, 328));
        const QList<QPair<const char*, QRect>> geometry{{"SubPanelWidget", QRect(0, 0, 280, 328)},
            {"btn_day", QRect(28, 4, 56, 24)}, {"btn_week", QRect(83, 4, 56, 24)}, {"btn_month", QRect(138, 4, 56, 24)},
            {"btn_total", QRect(193, 4, 56, 24)}, {"record_tumbler", QRect(1, 29, 278, 162)},
            {"record_gaugerange", QRect(1, 37, 278, 154)}, {"btn_leftpage", QRect(1, 106, 18, 40)},
            {"btn_rightpage", QRect(261, 106, 18, 40)}, {"m_pWidghtBottom", QRect(1, 191, 278, 135)},
            {"label_drink_amount", QRect(12, 9, 110, 12)}, {"label_goal_picture", QRect(219, 9, 10, 10)},
            {"label_drink_totalamount", QRect(60, 37, 161, 24)}, {"label_aver_drinkamount", QRect(195, 105, 60, 18)}};
        for (const auto& entry : geometry) {
            QVERIFY2(Child(entry.first), entry.first);
            QCOMPARE(Child(entry.first)->geometry(), entry.second);
        }
        QStringList tabs;
        for (const char* name : {"btn_day", "btn_week", "btn_month", "btn_total"}) {
            auto* tab = m_page->findChild<QPushButton*>(QLatin1String(name));
            QVERIFY(tab->isCheckable() && tab->autoExclusive());
            tabs << tab->text();
        }
        QCOMPARE(tabs, (QStringList{"日", "周", "月", "总"}));

        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(Child("btn_leftpage"), &enter);
        QCOMPARE(Child("btn_leftpage")->cursor().shape(), Qt::PointingHandCursor);
    }

    // Monday 30 November 2000 ml; this Monday 1700 ml in two drinks (reached), Tuesday 500 ml,
    // today 2400 ml in three drinks.
    void viewsOfSeededHistory()
    {
        Drink(QDateTime(QDate(2026, 11, 30), QTime(9, 0)), 2000);
        Drink(2, QTime(9, 0), 800);
        Drink(2, QTime(15, 0), 900);
        Drink(1, QTime(10, 0), 500);
        Drink(0, QTime(8, 0), 600);
        Drink(0, QTime(12, 0), 800);
        Drink(0, QTime(18, 0), 1000);
        Settle();
        MakePage();

        Click("btn_day");
        QCOMPARE(Chart()->mode(), int(Tumbler::Mode_Day));
        QCOMPARE(Chart()->currentIndex(), m_stats->DayCount() - 4);
        QCOMPARE(Figures(), (QStringList{"12月16日喝水量", "2400", "毫升", "当天喝水(次)", "3", "平均每次(毫升)", "800"}));
        QCOMPARE(Text("label_goal_text"), QStringLiteral("已达标"));
        QCOMPARE(DotColour(), QColor(45, 206, 222));
        QVERIFY(Shown("record_tumbler") && Shown("btn_leftpage") && Shown("btn_rightpage") && Shown("label_goal_text"));
        QVERIFY(!Shown("record_gaugerange"));

        Chart()->setCurrentIndex(Chart()->currentIndex() - 1);
        QCOMPARE(Figures(), (QStringList{"12月15日喝水量", "500", "毫升", "当天喝水(次)", "1", "平均每次(毫升)", "500"}));
        QCOMPARE(Text("label_goal_text"), QStringLiteral("未达标"));
        QCOMPARE(DotColour(), QColor(255, 198, 70));
        Chart()->setCurrentIndex(Chart()->currentIndex() - 2);
        QCOMPARE(Figures(), (QStringList{"12月13日喝水量", "0", "毫升", "当天喝水(次)", "0", "平均每次(毫升)", "0"}));

        Click("btn_week");
        QVERIFY(m_page->findChild<QPushButton*>(QStringLiteral("btn_week"))->isChecked());
        QCOMPARE(Figures(), (QStringList{"第50周喝水量", "4600", "毫升", "达标天数", "2", "平均每天(毫升)", "1533"}));
        QCOMPARE(Text("label_goal_text"), QStringLiteral("已达标"));
        Chart()->setCurrentIndex(Chart()->currentIndex() - 1);
        QCOMPARE(Figures(), (QStringList{"第49周喝水量", "0", "毫升", "达标天数", "0", "平均每天(毫升)", "0"}));
        QCOMPARE(Text("label_goal_text"), QStringLiteral("未达标"));
        Chart()->setCurrentIndex(Chart()->currentIndex() - 1);
        QCOMPARE(Figures(), (QStringList{"第48周喝水量", "2000", "毫升", "达标天数", "1", "平均每天(毫升)", "2000"}));

        Click("btn_month");
        QCOMPARE(Figures(), (QStringList{"12月喝水量", "4600", "毫升", "达标天数", "2", "平均每天(毫升)", "1533"}));
        Click("btn_leftpage");
        QCOMPARE(Figures(), (QStringList{"11月喝水量", "2000", "毫升", "达标天数", "1", "平均每天(毫升)", "2000"}));
        QCOMPARE(Text("label_goal_text"), QStringLiteral("已达标"));

        Click("btn_total");
        QCOMPARE(Figures(), (QStringList{"累计喝水量", "6600", "毫升", "达标天数", "3", "平均每天(毫升)", "1650"}));
        QCOMPARE(Gauge()->rightValue(), 4);
        QCOMPARE(Gauge()->maxValue(), 50);
        QVERIFY(Shown("record_gaugerange"));
        for (const char* hidden : {"record_tumbler", "btn_leftpage", "btn_rightpage", "label_goal_text", "label_goal_picture"})
            QVERIFY2(!Shown(hidden), hidden);
    }

    // 30 days: paging moves seven at a time and stops with the first day, or today, in the centre.
    void pagingStopsAtTheEnds()
    {
        for (int back = 29; back >= 0; --back)
            Drink(back, QTime(10, 0), 300 + back);
        Settle();
        MakePage();
        Click("btn_day");
        QCOMPARE(Chart()->itemCount(), 30);
        QList<int> indices;
        for (int i = 0; i < 6; ++i) {
            Click("btn_leftpage");
            indices << Chart()->currentIndex();
        }
        QCOMPARE(indices, (QList<int>{19, 12, 5, -2, -3, -3}));
        QCOMPARE(Text("label_drink_amount"), QStringLiteral("11月17日喝水量"));
        QCOMPARE(Text("label_drink_totalamount"), QStringLiteral("329"));
        indices.clear();
        for (int i = 0; i < 6; ++i) {
            Click("btn_rightpage");
            indices << Chart()->currentIndex();
        }
        QCOMPARE(indices, (QList<int>{4, 11, 18, 25, 26, 26}));
        QCOMPARE(Text("label_drink_amount"), QStringLiteral("12月16日喝水量"));
    }

    void amountUnits_data()
    {
        QTest::addColumn<int>("amount");
        QTest::addColumn<QString>("figure");
        QTest::addColumn<QString>("unit");
        QTest::newRow("0") << 0 << "0" << "毫升";
        QTest::newRow("10000") << 10000 << "10000" << "毫升";
        QTest::newRow("10001") << 10001 << "10.0" << "升";
        QTest::newRow("12500") << 12500 << "12.5" << "升";
        QTest::newRow("10960") << 10960 << "11.0" << "升";
    }
    void amountUnits()
    {
        QFETCH(int, amount);
        QFETCH(QString, figure);
        QFETCH(QString, unit);
        if (amount > 0)
            Drink(0, QTime(9, 0), amount);
        Settle();
        MakePage();
        Click("btn_day");
        QCOMPARE(Text("label_drink_totalamount"), figure);
        QCOMPARE(Text("label_drinkunit_totalamount"), unit);
        Click("btn_total");
        QCOMPARE(Text("label_drink_totalamount"), figure);
        QCOMPARE(Text("label_drinkunit_totalamount"), unit);
    }

    void gaugeMaximumSteps_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maximum");
        QTest::newRow("49") << 49 << 49 << 50;
        QTest::newRow("50") << 50 << 50 << 150;
        QTest::newRow("149") << 149 << 149 << 150;
        QTest::newRow("450") << 450 << 450 << 1350;
        QTest::newRow("12149") << 12149 << 12149 << 12150;
        QTest::newRow("12150") << 12150 << 12150 << 36450;
        QTest::newRow("36450") << 36450 << 36450 << 36450;
        QTest::newRow("beyond the last step: a full ring") << 40000 << 36450 << 36450;
    }
    void gaugeMaximumSteps()
    {
        QFETCH(int, days);
        QFETCH(int, value);
        QFETCH(int, maximum);
        WriteTotals(days);
        MakePage();
        QCOMPARE(Gauge()->maxValue(), maximum);
        QCOMPARE(Gauge()->rightValue(), value);
        QCOMPARE(Text("label_goal_dayamount"), QString::number(days / 2));
    }

    // Smaller histories after larger ones on the same gauge: the maximum goes down with them.
    void gaugeFollowsTheTotals()
    {
        WriteTotals(200);
        MakePage();
        QCOMPARE((QList<int>{Gauge()->rightValue(), Gauge()->maxValue()}), (QList<int>{200, 450}));
        WriteTotals(20);
        Click("btn_total");
        QCOMPARE((QList<int>{Gauge()->rightValue(), Gauge()->maxValue()}), (QList<int>{20, 50}));
    }

    void emptyHistory()
    {
        MakePage();
        QCOMPARE(Figures(), (QStringList{"累计喝水量", "0", "毫升", "达标天数", "0", "平均每天(毫升)", "0"}));
        QCOMPARE((QList<int>{Gauge()->rightValue(), Gauge()->maxValue()}), (QList<int>{1, 50}));
        Click("btn_day");
        QCOMPARE(Figures(), (QStringList{"12月16日喝水量", "0", "毫升", "当天喝水(次)", "0", "平均每次(毫升)", "0"}));
        QCOMPARE(Text("label_goal_text"), QStringLiteral("未达标"));
        QCOMPARE(DotColour(), QColor(255, 198, 70));
        Click("btn_leftpage");
        Click("btn_rightpage");
        QCOMPARE(Text("label_drink_amount"), QStringLiteral("12月16日喝水量"));
        Click("btn_week");
        QCOMPARE(Text("label_drink_amount"), QStringLiteral("第50周喝水量"));
        Click("btn_month");
        QCOMPARE(Text("label_drink_amount"), QStringLiteral("12月喝水量"));
    }

    void everyShowOpensOnTheTotals()
    {
        Drink(0, QTime(9, 0), 700);
        Settle();
        MakePage();
        m_page->show();
        Click("btn_month");
        QVERIFY(Shown("record_tumbler"));
        m_page->hide();
        Drink(0, QTime(19, 0), 900);
        m_page->show();
        QVERIFY(m_page->findChild<QPushButton*>(QStringLiteral("btn_total"))->isChecked());
        QVERIFY(Shown("record_gaugerange") && !Shown("record_tumbler"));
        QCOMPARE(Text("label_drink_totalamount"), QStringLiteral("1600"));
    }

private:
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<CDrinkStatistics> m_stats;
    std::unique_ptr<CDrinkTotalRecord> m_page;
};

QTEST_MAIN(TestDrinkTotalRecord)
#include "tst_drinktotalrecord.moc"

// The bar chart over a real history: its layout, index rules, scale, wheel, dragging and paint.
#include <QDateTime>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

#include "CDrinkStatistics.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "Tumbler.h"
#include "clock.h"

namespace {
const QColor kBackground(239, 252, 247);
const QColor kReached(45, 206, 222);
const QColor kMissed(255, 198, 70);
const QColor kMarker(255, 255, 255);
const QDateTime kNow = QDateTime(QDate(2026, 12, 16), QTime(20, 0));

// Slot s's bar starts here on the records page's 278 × 162 chart.
int SlotX(int slot)
{
    return 37 * slot + 20;
}
}

class TestTumbler : public QObject
{
    Q_OBJECT
private:
    // One drink a day for the given amounts, the last one today.
    void SeedDays(const QVector<int>& amounts, const QDateTime& now = kNow)
    {
        for (int i = 0; i < amounts.size(); ++i) {
            CClock::SetLocal(now.addDays(i - amounts.size() + 1).addSecs(-3600));
            m_stats->RecordDrink(amounts.at(i));
        }
        CClock::SetLocal(now);
        m_stats->ComputeRanges();
    }
    Tumbler* MakeChart(int mode)
    {
        m_chart = std::make_unique<Tumbler>();
        m_chart->SetStatistics(m_stats.get());
        m_chart->resize(278, 162);
        m_chart->SetMode(mode);
        return m_chart.get();
    }
    QImage Render()
    {
        QImage image(m_chart->size(), QImage::Format_ARGB32);
        m_chart->render(&image);
        return image;
    }
    void Mouse(QEvent::Type type, int x)
    {
        QMouseEvent event(type, QPointF(x, 80), Qt::LeftButton,
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_chart.get(), &event);
    }
    void Wheel(const QPoint& angleDelta)
    {
        QWheelEvent event(QPointF(100, 80), QPointF(100, 80), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
            Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(m_chart.get(), &event);
    }

private slots:
    void init()
    {
        m_home = std::make_unique<CTestHome>();
        CIniSettings::Destroy();
        CIniSettings::Instance()->SetDrinksTarget(1500);
        CClock::SetLocal(kNow);
        m_stats = std::make_unique<CDrinkStatistics>();
        m_stats->LoadAll();
        QVERIFY(m_stats->WaitUntilSaved(10000));
    }
    void cleanup()
    {
        m_chart.reset();
        m_stats.reset();
        CIniSettings::Destroy();
        CClock::Release();
        m_home.reset();
    }

    void setModeLaysOutSlots_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("expected"); // item count, bar space, marker x, marker top
        QTest::newRow("records page, days") << QSize(278, 162) << 0 << QList<int>{20, 20, 139, 155};
        QTest::newRow("records page, weeks") << QSize(278, 162) << 1 << QList<int>{4, 20, 139, 155};
        QTest::newRow("records page, months") << QSize(278, 162) << 2 << QList<int>{2, 20, 139, 155};
        QTest::newRow("wider and taller") << QSize(350, 200) << 0 << QList<int>{20, 32, 175, 193};
        QTest::newRow("unknown mode") << QSize(278, 162) << 7 << QList<int>{0, 20, 139, 155};
    }
    void setModeLaysOutSlots()
    {
        QFETCH(QSize, size);
        QFETCH(int, mode);
        QFETCH(QList<int>, expected);
        // 20 days from 27 November to 16 December: four weeks, two months.
        SeedDays(QVector<int>(20, 800));
        Tumbler chart;
        chart.SetStatistics(m_stats.get());
        chart.resize(size);
        chart.SetMode(mode);
        QCOMPARE(chart.mode(), mode);
        QCOMPARE((QList<int>{chart.itemCount(), chart.barSpace(), chart.markerX(), chart.markerTop()}), expected);
    }

    void setCurrentIndexRule_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("announced");
        QTest::newRow("today in the centre") << -3 << -2 << -2 << 1;
        QTest::newRow("the first day in the centre") << -2 << -3 << -3 << 0;
        QTest::newRow("past today: refused") << -2 << -1 << -2 << 1;
        QTest::newRow("far past today: refused") << -2 << 5 << -2 << 1;
        QTest::newRow("before the first day: the centre stays") << -3 << -4 << -3 << 0;
    }
    void setCurrentIndexRule()
    {
        QFETCH(int, start);
        QFETCH(int, requested);
        QFETCH(int, index);
        QFETCH(int, announced);
        SeedDays({900, 1600});
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(start);
        QSignalSpy days(chart, &Tumbler::OnChangeCurDayIndex);
        QSignalSpy weeks(chart, &Tumbler::OnChangeCurWeekIndex);
        chart->setCurrentIndex(requested);
        QCOMPARE(chart->currentIndex(), index);
        QCOMPARE(days.count(), 1);
        QCOMPARE(days.first().first().toInt(), announced);
        QCOMPARE(weeks.count(), 0);
    }

    void signalOfTheMode()
    {
        SeedDays({900, 1600});
        Tumbler* chart = MakeChart(Tumbler::Mode_Month);
        QSignalSpy days(chart, &Tumbler::OnChangeCurDayIndex);
        QSignalSpy months(chart, &Tumbler::OnChangeCurMonthIndex);
        chart->setCurrentIndex(-3);
        QCOMPARE(months.count(), 1);
        QCOMPARE(months.first().first().toInt(), 0);
        chart->setListValue({});
        QCOMPARE(months.count(), 1);
        chart->setListValue({QStringLiteral("x")});
        QCOMPARE(months.count(), 2);
        QCOMPARE(months.last().first().toInt(), 0);
        QCOMPARE(days.count(), 0);
    }

    void barScale_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("amount");
        QTest::addColumn<double>("height");
        const int amounts[] = {0, 3000, 4000, 4500, 5000, 9000};
        const double day[] = {2, 92, 112, 117, 122, 122};
        const double week[] = {2, 29, 38, 42.5, 47, 83};
        const double month[] = {2, 7.4, 9.2, 10.1, 11, 18.2};
        for (int i = 0; i < 6; ++i) {
            QTest::addRow("day %d", amounts[i]) << 0 << amounts[i] << day[i];
            QTest::addRow("week %d", amounts[i]) << 1 << amounts[i] << week[i];
            QTest::addRow("month %d", amounts[i]) << 2 << amounts[i] << month[i];
        }
        QTest::newRow("week of 12,500") << 1 << 12500 << 102.0;
        QTest::newRow("week 20,000") << 1 << 20000 << 117.0;
        QTest::newRow("week 25,000 and above") << 1 << 60000 << 122.0;
        QTest::newRow("month 60,000") << 2 << 60000 << 102.0;
        QTest::newRow("month 85,000") << 2 << 85000 << 117.0;
        QTest::newRow("month 100,000 and above") << 2 << 250000 << 122.0;
        QTest::newRow("unknown mode") << 3 << 4000 << 2.0;
    }
    void barScale()
    {
        QFETCH(int, mode);
        QFETCH(int, amount);
        QFETCH(double, height);
        QCOMPARE(Tumbler::BarHeight(mode, amount), height);
    }

    void wheelSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("index");
        QTest::newRow("two notches up") << 2 << 240 << 0;
        QTest::newRow("one notch up at -2 stops at -3") << -2 << 120 << -3;
        QTest::newRow("two notches up at -2 stop at -3") << -2 << 240 << -3;
        QTest::newRow("one notch down") << 2 << -120 << 3;
        QTest::newRow("one notch down at the end") << 6 << -120 << 6;
        QTest::newRow("two notches down before the end stop at it") << 5 << -240 << 6;
        QTest::newRow("less than a notch") << 2 << 60 << 2;
    }
    void wheelSteps()
    {
        QFETCH(int, start);
        QFETCH(int, delta);
        QFETCH(int, index);
        SeedDays(QVector<int>(10, 700));
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(start);
        Wheel(QPoint(0, delta));
        QCOMPARE(chart->currentIndex(), index);
        Wheel(QPoint(delta, 0));
        QCOMPARE(chart->currentIndex(), index);
    }

    // Dragging by the width of one slot scrolls one item; a short drag to the right goes back
    // one item only when it carried further than half the last label's width.
    void dragging_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("announced");
        QTest::newRow("a click") << 3 << QList<int>{} << 3 << 6;
        QTest::newRow("a step to the right") << 3 << QList<int>{39} << 2 << 5;
        QTest::newRow("two steps to the right") << 3 << QList<int>{39, 78} << 1 << 4;
        QTest::newRow("far to the right in one move") << 3 << QList<int>{120} << 2 << 5;
        QTest::newRow("a little to the right") << 3 << QList<int>{5} << 3 << 6;
        QTest::newRow("well to the right") << 3 << QList<int>{25} << 2 << 5;
        QTest::newRow("a little to the left") << 3 << QList<int>{-5} << 4 << 7;
        QTest::newRow("a step to the left") << 3 << QList<int>{-39} << 4 << 7;
        QTest::newRow("to the left at the end") << 6 << QList<int>{-10} << 6 << 9;
        QTest::newRow("to the right at the start keeps the first day") << -3 << QList<int>{25} << -3 << 0;
    }
    void dragging()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, moves);
        QFETCH(int, index);
        QFETCH(int, announced);
        SeedDays(QVector<int>(10, 700));
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(start);
        QSignalSpy days(chart, &Tumbler::OnChangeCurDayIndex);
        Mouse(QEvent::MouseButtonPress, 139);
        for (int move : moves)
            Mouse(QEvent::MouseMove, 139 + move);
        Mouse(QEvent::MouseButtonRelease, 139 + moves.value(moves.size() - 1));
        QCOMPARE(chart->currentIndex(), index);
        QVERIFY(!days.isEmpty());
        QCOMPARE(days.last().first().toInt(), announced);
    }

    void dragAnnouncesEachIndexOnce()
    {
        SeedDays(QVector<int>(10, 700));
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(5);
        QSignalSpy changed(chart, &Tumbler::currentIndexChanged);
        Mouse(QEvent::MouseButtonPress, 139);
        for (int x = 140; x < 150; ++x)
            Mouse(QEvent::MouseMove, x);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 5);
        Mouse(QEvent::MouseMove, 139 + 39);
        Mouse(QEvent::MouseMove, 139 + 40);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().first().toInt(), 4);
        Mouse(QEvent::MouseButtonRelease, 139 + 40);
    }

    void singleItemDoesNotDrag()
    {
        SeedDays({700});
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(-3);
        QSignalSpy changed(chart, &Tumbler::currentIndexChanged);
        Mouse(QEvent::MouseButtonPress, 139);
        Mouse(QEvent::MouseMove, 170);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(Render().pixelColor(139, 159), kMarker);
        Mouse(QEvent::MouseButtonRelease, 170);
        QCOMPARE(chart->currentIndex(), -3);
    }

    // Today reached the target with 4000 ml (112 px), yesterday missed it with 500 ml (17 px).
    void paintsBarsAndMarker()
    {
        SeedDays({1000, 500, 4000});
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(chart->itemCount() - 4);
        const QImage image = Render();
        const int today = SlotX(3);
        const int yesterday = SlotX(2);
        QCOMPARE(image.pixelColor(today + 3, 161 - 100), kReached);
        QCOMPARE(image.pixelColor(today + 3, 161 - 105), kReached);
        // The rounded top: full at the middle of the bar, nothing at its corners above the rectangle.
        QCOMPARE(image.pixelColor(today + 8, 161 - 112 - 6), kReached);
        QCOMPARE(image.pixelColor(today, 161 - 112 - 6), kBackground);
        QCOMPARE(image.pixelColor(today + 3, 161 - 112 - 12), kBackground);
        QCOMPARE(image.pixelColor(yesterday + 3, 161 - 10), kMissed);
        QCOMPARE(image.pixelColor(yesterday + 3, 161 - 30), kBackground);
        // Tomorrow's slot is empty; the guide line runs through its middle.
        QCOMPARE(image.pixelColor(SlotX(4) + 3, 150), kBackground);
        QCOMPARE(image.pixelColor(SlotX(4) + 8, 100), QColor(189, 233, 218));
        QCOMPARE(image.pixelColor(5, 161), QColor(189, 233, 218));
        // The marker under the centre bar, white over it.
        QCOMPARE(image.pixelColor(139, 159), kMarker);
        QCOMPARE(image.pixelColor(139, 153), kReached);
        QCOMPARE(image.pixelColor(today + 1, 159), kReached);

        // While dragged, the bars follow the cursor and the marker is gone.
        Mouse(QEvent::MouseButtonPress, 139);
        Mouse(QEvent::MouseMove, 149);
        const QImage dragged = Render();
        QCOMPARE(dragged.pixelColor(today + 3 + 10, 161 - 100), kReached);
        QCOMPARE(dragged.pixelColor(today + 3, 161 - 100), kBackground);
        QCOMPARE(dragged.pixelColor(139 + 10, 159), kReached);
        Mouse(QEvent::MouseButtonRelease, 149);
    }

    void paintsLabelsAndYear()
    {
        const QDateTime now(QDate(2027, 1, 3), QTime(20, 0));
        SeedDays(QVector<int>(7, 800), now);
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        chart->setCurrentIndex(chart->itemCount() - 4);
        const QImage image = Render();
        auto inked = [&image](const QRect& area, const QColor& colour) {
            int count = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    if (image.pixelColor(x, y) == colour)
                        ++count;
                }
            }
            return count;
        };
        auto stroked = [&image](const QRect& area) {
            int count = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    if (image.pixelColor(x, y) != kBackground)
                        ++count;
                }
            }
            return count;
        };
        // Slot 1 holds 1 January: its year stands above the date; no other slot has one.
        const int yearRows = 9;
        QVERIFY(stroked(QRect(SlotX(1) - 8, 0, 34, yearRows)) > 10);
        for (int slot : {0, 2, 3, 4, 5, 6})
            QCOMPARE(stroked(QRect(SlotX(slot) - 4, 0, 25, yearRows - 2)), 0);
        // The dates sit in the label band; the centre one is bold and green.
        QVERIFY(inked(QRect(SlotX(3) - 10, 10, 37, 25), QColor(0, 210, 153)) > 3);
        QCOMPARE(inked(QRect(SlotX(2) - 10, 10, 37, 25), QColor(0, 210, 153)), 0);
        QVERIFY(stroked(QRect(SlotX(2) - 10, 10, 37, 25)) > 10);
    }

    void emptyHistoryShowsOnlyLabels()
    {
        Tumbler* chart = MakeChart(Tumbler::Mode_Day);
        QCOMPARE(chart->itemCount(), 0);
        QSignalSpy days(chart, &Tumbler::OnChangeCurDayIndex);
        chart->setCurrentIndex(-4);
        QCOMPARE(days.first().first().toInt(), -1);
        const QImage image = Render();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                QVERIFY(c != kReached && c != kMissed && c != kMarker);
            }
        }
        int labelled = 0;
        for (int x = 0; x < image.width(); ++x)
            labelled += image.pixelColor(x, 20) != kBackground && image.pixelColor(x, 20) != QColor(189, 233, 218);
        QVERIFY(labelled > 20);
    }

private:
    std::unique_ptr<CTestHome> m_home;
    std::unique_ptr<CDrinkStatistics> m_stats;
    std::unique_ptr<Tumbler> m_chart;
};

QTEST_MAIN(TestTumbler)
#include "tst_tumbler.moc"

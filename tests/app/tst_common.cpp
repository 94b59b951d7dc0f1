#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "clock.h"

class TestCommon : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void newDayResetsDailyCounters_data();
    void newDayResetsDailyCounters();
    void firstCheckOnlyStamps();
    void randomStaysInRange();
    void formatsDurations_data();
    void formatsDurations();
    void styleSheetStopsAtZeroByte();

private:
    static qint64 Local(int year, int month, int day, int hour, int minute);
};

qint64 TestCommon::Local(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute)).toSecsSinceEpoch();
}

void TestCommon::cleanup()
{
    CIniSettings::Destroy();
    CClock::Release();
}

void TestCommon::newDayResetsDailyCounters_data()
{
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<bool>("reset");
    QTest::newRow("same day") << Local(2026, 3, 5, 8, 0) << Local(2026, 3, 5, 23, 59) << false;
    QTest::newRow("next day") << Local(2026, 3, 5, 23, 59) << Local(2026, 3, 6, 0, 0) << true;
    QTest::newRow("same day of a later month") << Local(2026, 3, 5, 9, 0) << Local(2026, 4, 5, 9, 0) << true;
    QTest::newRow("same date a year later") << Local(2025, 3, 5, 9, 0) << Local(2026, 3, 5, 9, 0) << true;
    QTest::newRow("clock set back a day") << Local(2026, 3, 6, 9, 0) << Local(2026, 3, 5, 9, 0) << true;
}

void TestCommon::newDayResetsDailyCounters()
{
    QFETCH(qint64, last);
    QFETCH(qint64, now);
    QFETCH(bool, reset);
    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetTimestamp(last);
    settings->SetTodayTipsStatus(1);
    // Every daily counter holds something of the day before.
    settings->SetScore(2.5f);
    settings->SetAlreadyDrinksNumber(1200);
    settings->SetLatelyNumber(300);
    settings->SetDayDrinksNumber(4);
    settings->SetCompletion(80);
    settings->SetMessageTipsMun(3);
    // A check on the day of the stamp first, as the running tick makes, which it remembers.
    CClock::Set(last);
    CCommon::Instance()->CheckNewDay();
    CClock::Set(now);

    CCommon::Instance()->CheckNewDay();

    const QString file = settings->FileName();
    CIniSettings::Destroy();
    const QSettings stored(file, QSettings::IniFormat);
    const auto value = [&stored](const char* key) { return stored.value(QLatin1String(key)).toString(); };
    QCOMPARE(value("boot/timestamp"), QString::number(reset ? now : last));
    // "No pop-ups today" is the user's to clear.
    QCOMPARE(value("boot/today_tips_status"), QStringLiteral("1"));
    QCOMPARE(value("drinks/score"), reset ? QStringLiteral("0.000") : QStringLiteral("2.500"));
    QCOMPARE(value("drinks/already_drinks_number"), reset ? QStringLiteral("0") : QStringLiteral("1200"));
    QCOMPARE(value("drinks/lately_number"), reset ? QStringLiteral("0") : QStringLiteral("300"));
    QCOMPARE(value("drinks/day_drinks_number"), reset ? QStringLiteral("0") : QStringLiteral("4"));
    QCOMPARE(value("drinks/completion"), reset ? QStringLiteral("0") : QStringLiteral("80"));
    QCOMPARE(value("boot/message_tips_mun"), reset ? QStringLiteral("0") : QStringLiteral("3"));
}

void TestCommon::firstCheckOnlyStamps()
{
    CTestHome home;
    CClock::Set(Local(2026, 12, 7, 10, 0));
    CIniSettings::Instance()->SetAlreadyDrinksNumber(300);
    CCommon::Instance()->CheckNewDay();
    QCOMPARE(CIniSettings::Instance()->GetTimestamp(), CClock::Now());
    QCOMPARE(CIniSettings::Instance()->GetAlreadyDrinksNumber(), 300);
}

void TestCommon::randomStaysInRange()
{
    CClock::Set(Local(2026, 12, 7, 10, 0));
    QSet<int> seen;
    for (int step = 0; step < 200; ++step) {
        const int value = CCommon::Random(7);
        QVERIFY(value >= 0 && value < 7);
        seen.insert(value);
        // Pinned, the clock gives the same seed and so the same number.
        QCOMPARE(CCommon::Random(7), value);
        CClock::Advance(1);
        CClock::SetLocal(CClock::LocalNow().addMSecs(37));
    }
    QVERIFY(seen.size() > 3);
    QCOMPARE(CCommon::Random(0), 0);
    QCOMPARE(CCommon::Random(-4), 0);
}

void TestCommon::formatsDurations_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << QStringLiteral("00:00:00");
    QTest::newRow("minute") << 65 << QStringLiteral("00:01:05");
    QTest::newRow("hours") << 3 * 3600 + 59 * 60 + 59 << QStringLiteral("03:59:59");
    QTest::newRow("long") << 100 * 3600 << QStringLiteral("100:00:00");
}

void TestCommon::formatsDurations()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(CCommon::FormatDuration(seconds), text);
}

void TestCommon::styleSheetStopsAtZeroByte()
{
    CTestHome home;
    const QString path = home.Path() + QStringLiteral("/sheet.qss");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("QLabel { color: red; }") + '\0' + QByteArray("garbage {"));
    file.close();
    CCommon::Instance()->LoadStyleSheet(path);
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel { color: red; }"));
    CCommon::Instance()->LoadStyleSheet(home.Path() + QStringLiteral("/missing.qss"));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel { color: red; }"));
}

QTEST_MAIN(TestCommon)
#include "tst_common.moc"

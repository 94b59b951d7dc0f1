// The drink settings page at chosen moments: defaults, switches, fields, the interval lists and
// the next reminder time with the anchor it keeps on the grid.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTest>

#include "CDrinksSettingsWindow.h"
#include "core/CIniSettings.h"
#include "TestHome.h"
#include "clock.h"

namespace {
QDateTime Today(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second));
}

qint64 Secs(int hour, int minute, int second = 0)
{
    return Today(hour, minute, second).toSecsSinceEpoch();
}
}

class TestDrinksSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void freshConfiguration();
    void switchesStoreCheckState_data();
    void switchesStoreCheckState();
    void loadShowsStoredValues();
    void fieldsStoreWhenFinished();
    void nextReminder_data();
    void nextReminder();
    void reminderOffLeavesEverything();
    void hourChangeRestartsInterval();
    void zeroIntervalBecomesFiveMinutes();

private:
    void ConfigureReminder(int hour, int minute, qint64 anchor);
    template<class T> T* Find(CDrinksSettingsWindow& page, const char* name) const
    {
        return page.findChild<T*>(QLatin1String(name));
    }

    CTestHome* m_home = nullptr;
};

void TestDrinksSettings::init()
{
    m_home = new CTestHome;
    CClock::SetLocal(Today(9, 0));
}

void TestDrinksSettings::cleanup()
{
    CIniSettings::Destroy();
    delete m_home;
}

void TestDrinksSettings::ConfigureReminder(int hour, int minute, qint64 anchor)
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksStatus(2);
    settings->SetDrinksTimerHour(hour);
    settings->SetDrinksTimerMinute(minute);
    settings->SetDrinkTimestamp(anchor);
}

void TestDrinksSettings::freshConfiguration()
{
    CDrinksSettingsWindow page;
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDrinksTarget(), 1000);
    QCOMPARE(settings->GetDrinksTimeTarget(), 100);
    QCOMPARE(Find<QLineEdit>(page, "lineEdit_day_target")->text(), QStringLiteral("1000"));
    QCOMPARE(Find<QLineEdit>(page, "lineEdit_time_target")->text(), QStringLiteral("100"));
    auto* hour = Find<QComboBox>(page, "comboBox_hour");
    auto* minute = Find<QComboBox>(page, "comboBox_minute");
    QCOMPARE(hour->currentText(), QStringLiteral("0"));
    QCOMPARE(minute->currentText(), QStringLiteral("0"));
    QCOMPARE(hour->count(), 7);
    QCOMPARE(minute->count(), 12);
    QCOMPARE(minute->itemText(11), QStringLiteral("55"));
    QCOMPARE(hour->maxVisibleItems(), 7);
    QVERIFY(qobject_cast<QStyledItemDelegate*>(minute->itemDelegate()));
    QVERIFY(Find<QLabel>(page, "label_runtime")->text().isEmpty());
    QVERIFY(!Find<QCheckBox>(page, "checkbox_drinks_status")->isChecked());
    QCOMPARE(settings->GetDrinksStatus(), 0);
    QCOMPARE(Find<QLabel>(page, "label_8")->text(), QStringLiteral("喝水要少量多次，每次在100毫升左右较合适"));
    QCOMPARE(Find<QComboBox>(page, "comboBox_hour")->geometry(), QRect(72, 208, 58, 28));
    QCOMPARE(Find<QLabel>(page, "label_runtime")->geometry(), QRect(110, 252, 111, 16));
}

void TestDrinksSettings::switchesStoreCheckState_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("key");
    QTest::newRow("喝水音效") << QStringLiteral("checkbox_drinks_water") << QStringLiteral("drinkwater");
    QTest::newRow("提醒音效") << QStringLiteral("checkbox_drinks_prompt") << QStringLiteral("drinkprompt");
    QTest::newRow("定时提醒") << QStringLiteral("checkbox_drinks_status") << QStringLiteral("status");
}

void TestDrinksSettings::switchesStoreCheckState()
{
    QFETCH(QString, box);
    QFETCH(QString, key);
    CDrinksSettingsWindow page;
    auto read = [&key] {
        CIniSettings* settings = CIniSettings::Instance();
        if (key == QLatin1String("drinkwater"))
            return settings->GetDrinkWater();
        if (key == QLatin1String("drinkprompt"))
            return settings->GetDrinkPrompt();
        return settings->GetDrinksStatus();
    };
    auto* check = page.findChild<QCheckBox*>(box);
    check->click();
    QCOMPARE(read(), 2);
    check->click();
    QCOMPARE(read(), 0);
}

void TestDrinksSettings::loadShowsStoredValues()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetDrinksTarget(2000);
    settings->SetDrinksTimeTarget(250);
    settings->SetDrinkWater(1);
    ConfigureReminder(1, 30, Secs(9, 0));
    CDrinksSettingsWindow page;
    QCOMPARE(Find<QLineEdit>(page, "lineEdit_day_target")->text(), QStringLiteral("2000"));
    QCOMPARE(Find<QLineEdit>(page, "lineEdit_time_target")->text(), QStringLiteral("250"));
    QCOMPARE(Find<QComboBox>(page, "comboBox_hour")->currentText(), QStringLiteral("1"));
    QCOMPARE(Find<QComboBox>(page, "comboBox_minute")->currentText(), QStringLiteral("30"));
    QVERIFY(Find<QCheckBox>(page, "checkbox_drinks_water")->isChecked());
    QVERIFY(!Find<QCheckBox>(page, "checkbox_drinks_prompt")->isChecked());
    // Checking the box on load stores its check state.
    QCOMPARE(settings->GetDrinkWater(), 2);
    QCOMPARE(Find<QLabel>(page, "label_runtime")->text(), QStringLiteral("10:30"));

    // A drink in the pop-up changes the amount; the page shows it when it is loaded again.
    settings->SetDrinksTimeTarget(300);
    page.LoadSettings();
    QCOMPARE(Find<QLineEdit>(page, "lineEdit_time_target")->text(), QStringLiteral("300"));
}

void TestDrinksSettings::fieldsStoreWhenFinished()
{
    CDrinksSettingsWindow page;
    page.show();
    auto* target = Find<QLineEdit>(page, "lineEdit_day_target");
    target->selectAll();
    QTest::keyClicks(target, QStringLiteral("6000"));
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(CIniSettings::Instance()->GetDrinksTarget(), 1000);
    target->selectAll();
    QTest::keyClicks(target, QStringLiteral("3000"));
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(CIniSettings::Instance()->GetDrinksTarget(), 3000);

    auto* amount = Find<QLineEdit>(page, "lineEdit_time_target");
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("600"));
    QTest::keyClick(amount, Qt::Key_Return);
    QCOMPARE(CIniSettings::Instance()->GetDrinksTimeTarget(), 100);
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("250"));
    QTest::keyClick(amount, Qt::Key_Return);
    QCOMPARE(CIniSettings::Instance()->GetDrinksTimeTarget(), 250);
}

void TestDrinksSettings::nextReminder_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint64>("anchor");
    QTest::newRow("10:20, two reminders later") << Today(10, 20) << QStringLiteral("10:30") << Secs(9, 45);
    QTest::newRow("20 s after a due one") << Today(9, 45, 20) << QStringLiteral("09:45") << Secs(9, 0);
    QTest::newRow("30 s after a due one") << Today(9, 45, 30) << QStringLiteral("09:45") << Secs(9, 0);
    QTest::newRow("31 s after a due one") << Today(9, 45, 31) << QStringLiteral("10:30") << Secs(9, 45);
    QTest::newRow("before the first") << Today(9, 10) << QStringLiteral("09:45") << Secs(9, 0);
}

void TestDrinksSettings::nextReminder()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, shown);
    QFETCH(qint64, anchor);
    ConfigureReminder(0, 45, Secs(9, 0));
    CClock::SetLocal(now);
    CDrinksSettingsWindow page;
    page.RefreshNextReminder();
    QCOMPARE(Find<QLabel>(page, "label_runtime")->text(), shown);
    QCOMPARE(CIniSettings::Instance()->GetDrinkTimestamp(), anchor);
}

void TestDrinksSettings::reminderOffLeavesEverything()
{
    ConfigureReminder(0, 45, Secs(9, 0));
    CIniSettings::Instance()->SetDrinksStatus(0);
    CClock::SetLocal(Today(10, 20));
    CDrinksSettingsWindow page;
    page.RefreshNextReminder();
    QVERIFY(Find<QLabel>(page, "label_runtime")->text().isEmpty());
    QCOMPARE(CIniSettings::Instance()->GetDrinkTimestamp(), Secs(9, 0));

    // Far behind the grid there is nothing to show either; the anchor stays.
    CIniSettings::Instance()->SetDrinksStatus(2);
    CIniSettings::Instance()->SetDrinkTimestamp(Secs(9, 0) - 2000 * 2700);
    page.RefreshNextReminder();
    QVERIFY(Find<QLabel>(page, "label_runtime")->text().isEmpty());
    QCOMPARE(CIniSettings::Instance()->GetDrinkTimestamp(), Secs(9, 0) - 2000 * 2700);
}

void TestDrinksSettings::hourChangeRestartsInterval()
{
    ConfigureReminder(0, 30, Secs(8, 0));
    CDrinksSettingsWindow page;
    CClock::SetLocal(Today(9, 10));
    Find<QComboBox>(page, "comboBox_hour")->setCurrentText(QStringLiteral("1"));
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDrinksTimerHour(), 1);
    QCOMPARE(settings->GetDrinksTimerMinute(), 30);
    QCOMPARE(settings->GetDrinkTimestamp(), Secs(9, 10));
    QCOMPARE(Find<QLabel>(page, "label_runtime")->text(), QStringLiteral("10:40"));

    CClock::SetLocal(Today(9, 20));
    Find<QComboBox>(page, "comboBox_minute")->setCurrentText(QStringLiteral("10"));
    QCOMPARE(settings->GetDrinksTimerMinute(), 10);
    QCOMPARE(settings->GetDrinkTimestamp(), Secs(9, 20));
    QCOMPARE(Find<QLabel>(page, "label_runtime")->text(), QStringLiteral("10:30"));
}

void TestDrinksSettings::zeroIntervalBecomesFiveMinutes()
{
    ConfigureReminder(1, 0, Secs(8, 0));
    CDrinksSettingsWindow page;
    CClock::SetLocal(Today(9, 10));
    Find<QComboBox>(page, "comboBox_hour")->setCurrentText(QStringLiteral("0"));
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDrinksTimerHour(), 0);
    QCOMPARE(settings->GetDrinksTimerMinute(), 5);
    QCOMPARE(settings->GetDrinkTimestamp(), Secs(9, 10));
    QCOMPARE(Find<QLabel>(page, "label_runtime")->text(), QStringLiteral("09:15"));
    QCOMPARE(Find<QComboBox>(page, "comboBox_minute")->currentText(), QStringLiteral("0"));

    // The same from the minute list, and from a file that holds 0 h 0 min.
    Find<QComboBox>(page, "comboBox_minute")->setCurrentText(QStringLiteral("20"));
    QCOMPARE(settings->GetDrinksTimerMinute(), 20);
    Find<QComboBox>(page, "comboBox_minute")->setCurrentText(QStringLiteral("0"));
    QCOMPARE(settings->GetDrinksTimerMinute(), 5);
    settings->SetDrinksTimerMinute(0);
    page.RefreshNextReminder();
    QCOMPARE(settings->GetDrinksTimerMinute(), 5);
    QCOMPARE(settings->GetDrinksTimerHour(), 0);
}

QTEST_MAIN(TestDrinksSettings)
#include "tst_drinkssettings.moc"

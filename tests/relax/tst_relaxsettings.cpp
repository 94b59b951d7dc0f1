#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "core/CIniSettings.h"
#include "CRelaxFullShowSettings.h"
#include "CRelaxSettingsWindow.h"
#include "TestHome.h"
#include "clock.h"

namespace {
constexpr qint64 kStamp = 1796600000;

QString Clock(qint64 secs)
{
    return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("hh:mm"));
}
}

class TestRelaxSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void neverStoresZeroInterval_data();
    void neverStoresZeroInterval();
    void sameValueStoresNothing();
    void refreshSchedule_data();
    void refreshSchedule();
    void switchedOffLeavesStampAndLabel();
    void statusShowsFullScreenSwitch();
    void storesEachChange();
    void unchosenRestLength();
    void popupKeepsItsOwnValues();
    void refreshOnlyShowsTheInterval();

private:
    template <typename T> T* Find(QWidget* form, const char* name)
    {
        T* widget = form->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    QByteArray ConfigFile() const;

    CTestHome* m_home = nullptr;
};

void TestRelaxSettings::init()
{
    m_home = new CTestHome;
    CClock::Set(kStamp);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxStatus(2);
    settings->SetRelaxTimerMinute(45);
    settings->SetRelaxTimestamp(kStamp);
}

void TestRelaxSettings::cleanup()
{
    CIniSettings::Destroy();
    delete m_home;
}

QByteArray TestRelaxSettings::ConfigFile() const
{
    QFile file(CIniSettings::Instance()->FileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRelaxSettings::neverStoresZeroInterval_data()
{
    QTest::addColumn<int>("storedHour");
    QTest::addColumn<int>("storedMinute");
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::newRow("hour 0 while minute shows 0") << 1 << 0 << QStringLiteral("comboBox_hour") << QStringLiteral("0") << 0 << 5;
    QTest::newRow("minute 0 while hour shows 0") << 0 << 30 << QStringLiteral("comboBox_minute") << QStringLiteral("0") << 0 << 5;
    QTest::newRow("minute 0 with an hour") << 2 << 30 << QStringLiteral("comboBox_minute") << QStringLiteral("0") << 2 << 0;
    QTest::newRow("hour 3") << 0 << 30 << QStringLiteral("comboBox_hour") << QStringLiteral("3") << 3 << 30;
}

void TestRelaxSettings::neverStoresZeroInterval()
{
    QFETCH(int, storedHour);
    QFETCH(int, storedMinute);
    QFETCH(QString, combo);
    QFETCH(QString, choice);
    QFETCH(int, hour);
    QFETCH(int, minute);
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxTimerHour(storedHour);
    settings->SetRelaxTimerMinute(storedMinute);
    CRelaxSettingsWindow page;
    CClock::Set(kStamp + 100);
    page.findChild<QComboBox*>(combo)->setCurrentText(choice);
    QCOMPARE(settings->GetRelaxTimerHour(), hour);
    QCOMPARE(settings->GetRelaxTimerMinute(), minute);
    QCOMPARE(Find<QComboBox>(&page, "comboBox_minute")->currentText(), QString::number(minute));
    // The grid restarts now: the next reminder is one interval away.
    QCOMPARE(settings->GetRelaxTimestamp(), kStamp + 100);
    QCOMPARE(Find<QLabel>(&page, "label_runtime")->text(), Clock(kStamp + 100 + (hour * 60 + minute) * 60));
}

void TestRelaxSettings::sameValueStoresNothing()
{
    CIniSettings::Instance()->SetRelaxTimerHour(1);
    CRelaxSettingsWindow page;
    const QByteArray before = ConfigFile();
    CClock::Set(kStamp + 100);
    QComboBox* hour = Find<QComboBox>(&page, "comboBox_hour");
    QCOMPARE(hour->currentText(), QStringLiteral("1"));
    emit hour->currentTextChanged(QStringLiteral("1"));
    emit Find<QComboBox>(&page, "comboBox_minute")->currentTextChanged(QStringLiteral("45"));
    QCOMPARE(ConfigFile(), before);
    QCOMPARE(CIniSettings::Instance()->GetRelaxTimestamp(), kStamp);
}

void TestRelaxSettings::refreshSchedule_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<qint64>("shown");
    QTest::newRow("T + 3 h") << kStamp + 10800 << kStamp + 8100 << kStamp + 10800;
    QTest::newRow("T + 10,831 s") << kStamp + 10831 << kStamp + 10800 << kStamp + 13500;
    QTest::newRow("a grid point 30 s ago still comes") << kStamp + 2730 << kStamp << kStamp + 2700;
    QTest::newRow("1,439 intervals away") << kStamp + 1439 * 2700 << kStamp + 1438 * 2700 << kStamp + 1439 * 2700;
    QTest::newRow("1,440 intervals old is left") << kStamp + 1440 * 2700 + 31 << kStamp << qint64(-1);
}

void TestRelaxSettings::refreshSchedule()
{
    QFETCH(qint64, now);
    QFETCH(qint64, stored);
    QFETCH(qint64, shown);
    CRelaxSettingsWindow page;
    QLabel* runtime = Find<QLabel>(&page, "label_runtime");
    runtime->setText(QStringLiteral("old"));
    CClock::Set(now);
    page.RefreshSchedule();
    QCOMPARE(CIniSettings::Instance()->GetRelaxTimestamp(), stored);
    QCOMPARE(runtime->text(), shown < 0 ? QStringLiteral("old") : Clock(shown));
}

void TestRelaxSettings::switchedOffLeavesStampAndLabel()
{
    CRelaxSettingsWindow page;
    QLabel* runtime = Find<QLabel>(&page, "label_runtime");
    QCOMPARE(runtime->text(), Clock(kStamp + 2700));
    CIniSettings::Instance()->SetRelaxStatus(0);
    CClock::Set(kStamp + 10831);
    page.RefreshSchedule();
    QCOMPARE(CIniSettings::Instance()->GetRelaxTimestamp(), kStamp);
    QCOMPARE(runtime->text(), Clock(kStamp + 2700));
}

void TestRelaxSettings::statusShowsFullScreenSwitch()
{
    CIniSettings::Instance()->SetRelaxStatus(0);
    CRelaxSettingsWindow page;
    page.show();
    QCheckBox* status = Find<QCheckBox>(&page, "checkbox_relax_status");
    QCheckBox* full = Find<QCheckBox>(&page, "checkbox_relax_full_status");
    QLabel* caption = Find<QLabel>(&page, "label_9");
    QVERIFY(!full->isVisible());
    QVERIFY(!caption->isVisible());
    // Switching on from the page aligns the old stamp at once.
    CClock::Set(kStamp + 10831);
    status->click();
    QCOMPARE(CIniSettings::Instance()->GetRelaxStatus(), 2);
    QVERIFY(full->isVisible());
    QVERIFY(caption->isVisible());
    QCOMPARE(CIniSettings::Instance()->GetRelaxTimestamp(), kStamp + 10800);
    status->click();
    QCOMPARE(CIniSettings::Instance()->GetRelaxStatus(), 0);
    QVERIFY(!full->isVisible());
}

void TestRelaxSettings::storesEachChange()
{
    CIniSettings* settings = CIniSettings::Instance();
    CRelaxSettingsWindow page;
    Find<QCheckBox>(&page, "checkbox_relax_full_status")->click();
    QCOMPARE(settings->GetRelaxFullStatus(), 2);
    Find<QCheckBox>(&page, "checkbox_relax_prompt")->click();
    QCOMPARE(settings->GetRelaxPrompt(), 2);
    Find<QComboBox>(&page, "comboBox_second_fullscreen")->setCurrentText(QStringLiteral("12"));
    QCOMPARE(settings->GetRelaxFullscreenSecond(), 12);
    QLineEdit* sleep = Find<QLineEdit>(&page, "lineEdit_sleep_timer");
    sleep->setText(QStringLiteral("15"));
    emit sleep->editingFinished();
    QCOMPARE(settings->GetRelaxSleepTimer(), 15);
    sleep->clear();
    emit sleep->editingFinished();
    QCOMPARE(settings->GetRelaxSleepTimer(), 0);

    // Loading shows what is stored and writes nothing back.
    settings->SetRelaxPrompt(0);
    settings->SetRelaxTimerHour(2);
    const QByteArray before = ConfigFile();
    page.LoadSettings();
    QCOMPARE(ConfigFile(), before);
    QCOMPARE(Find<QComboBox>(&page, "comboBox_hour")->currentText(), QStringLiteral("2"));
    QVERIFY(!Find<QCheckBox>(&page, "checkbox_relax_prompt")->isChecked());
    QCOMPARE(sleep->text(), QStringLiteral("0"));
}

// A rest length never chosen shows the length a rest then lasts, and showing it stores nothing.
void TestRelaxSettings::unchosenRestLength()
{
    CIniSettings* settings = CIniSettings::Instance();
    QVERIFY(!settings->HasRelaxSleepTimer());
    CRelaxSettingsWindow page;
    CRelaxFullShowSettings popup(nullptr);
    QCOMPARE(Find<QLineEdit>(&page, "lineEdit_sleep_timer")->text(), QStringLiteral("30"));
    QCOMPARE(Find<QLineEdit>(&popup, "lineEdit_sleep_timer")->text(), QStringLiteral("30"));
    QVERIFY(!settings->HasRelaxSleepTimer());
    QVERIFY(!ConfigFile().contains("sleep_timer"));
}

void TestRelaxSettings::popupKeepsItsOwnValues()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxTimerHour(1);
    settings->SetRelaxTimerMinute(0);
    CRelaxFullShowSettings popup(nullptr);
    QCOMPARE(popup.size(), QSize(290, 370));
    QVERIFY(!popup.findChild<QCheckBox*>(QStringLiteral("checkbox_relax_prompt")));
    QCOMPARE(Find<QLabel>(&popup, "label_name")->text(), QStringLiteral("休息提醒设置"));
    // An interval of a whole hour stays as it is when the pop-up opens.
    QCOMPARE(settings->GetRelaxTimerHour(), 1);
    QCOMPARE(settings->GetRelaxTimerMinute(), 0);
    QCOMPARE(Find<QLabel>(&popup, "label_runtime")->text(), Clock(kStamp + 3600));

    Find<QComboBox>(&popup, "comboBox_second_fullscreen")->setCurrentText(QStringLiteral("25"));
    QCOMPARE(settings->GetRelaxFullscreenSecond(), 25);
    Find<QComboBox>(&popup, "comboBox_hour")->setCurrentText(QStringLiteral("4"));
    QCOMPARE(settings->GetRelaxTimerHour(), 4);
    QCOMPARE(settings->GetRelaxFullscreenSecond(), 25);
    QCOMPARE(Find<QLabel>(&popup, "label_name")->geometry().y(), 5);
    QCOMPARE(Find<QComboBox>(&popup, "comboBox_hour")->geometry().y(), 208 + 32);
}

// The page stays built behind the full-screen rest; its refresh must not undo what the rest's
// pop-up chose, nor the pop-up's what the page chose.
void TestRelaxSettings::refreshOnlyShowsTheInterval()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxTimerHour(1);
    CRelaxSettingsWindow page;
    CRelaxFullShowSettings popup(nullptr);
    Find<QComboBox>(&popup, "comboBox_hour")->setCurrentText(QStringLiteral("4"));
    Find<QComboBox>(&popup, "comboBox_minute")->setCurrentText(QStringLiteral("15"));
    page.RefreshSchedule();
    QCOMPARE(settings->GetRelaxTimerHour(), 4);
    QCOMPARE(settings->GetRelaxTimerMinute(), 15);
    QCOMPARE(Find<QComboBox>(&page, "comboBox_hour")->currentText(), QStringLiteral("4"));
    QCOMPARE(Find<QComboBox>(&page, "comboBox_minute")->currentText(), QStringLiteral("15"));

    Find<QComboBox>(&page, "comboBox_hour")->setCurrentText(QStringLiteral("2"));
    popup.RefreshSchedule();
    QCOMPARE(settings->GetRelaxTimerHour(), 2);
    QCOMPARE(Find<QComboBox>(&popup, "comboBox_hour")->currentText(), QStringLiteral("2"));
}

QTEST_MAIN(TestRelaxSettings)
#include "tst_relaxsettings.moc"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>
#include <QTime>

#include "core/CIniSettings.h"
#include "NearlyFullDisk.h"
#include "TestHome.h"
#include "autostart.h"
#include "executable.h"

class TestIniSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void absentFileReadsZero();
    void valuesRoundTripAsText();
    void nonNumericTextReadsZero();
    void fullDiskKeepsTheFile();
    void dayAndNightDefaults();
    void oddSettingsFileIsReplaced_data();
    void oddSettingsFileIsReplaced();
    void autorunFollowsTheEntry();
    void setAutoRunModes_data();
    void setAutoRunModes();

private:
    QSettings* Raw() const;
};

void TestIniSettings::cleanup()
{
    CIniSettings::Destroy();
}

void TestIniSettings::absentFileReadsZero()
{
    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    QVERIFY(!QFile::exists(settings->FileName()));
    QCOMPARE(settings->GetDrinksStatus(), 0);
    QCOMPARE(settings->GetDrinkTimestamp(), qint64(0));
    QCOMPARE(settings->GetTimestamp(), qint64(0));
    QCOMPARE(settings->GetRelaxSleepTimer(), 0);
    QCOMPARE(settings->GetColortempNumber(), 0);

    settings->SetDrinksTarget(1800);
    CIniSettings::Destroy();
    QSettings file(home.DataFolder() + QStringLiteral("/tst_inisettings/QzConfig.ini"), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("drinks/target")).toString(), QStringLiteral("1800"));
    QCOMPARE(file.childGroups(), QStringList{QStringLiteral("drinks")});
}

void TestIniSettings::valuesRoundTripAsText()
{
    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    const qint64 late = (qint64(1) << 31) + 12345;
    settings->SetDrinkTimestamp(late);
    settings->SetRelaxTimestamp(-7);
    settings->SetTimestamp(late * 4);
    settings->SetScore(0);
    settings->SetEyeshieldMode(-3);
    QCOMPARE(settings->GetDrinkTimestamp(), late);
    QCOMPARE(settings->GetRelaxTimestamp(), qint64(-7));
    QCOMPARE(settings->GetTimestamp(), late * 4);
    QCOMPARE(settings->GetEyeshieldMode(), -3);

    CIniSettings::Destroy();
    QFile file(home.DataFolder() + QStringLiteral("/tst_inisettings/QzConfig.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("score=0.000\n"), text.constData());
    QVERIFY2(text.contains("drinktimestamp=2147495993\n"), text.constData());
    QVERIFY2(text.contains("mode=-3\n"), text.constData());

    CIniSettings::Instance()->SetScore(2.5f);
    CIniSettings::Destroy();
    QFile again(file.fileName());
    QVERIFY(again.open(QIODevice::ReadOnly));
    QVERIFY(again.readAll().contains("score=2.500\n"));
}

void TestIniSettings::nonNumericTextReadsZero()
{
    CTestHome home;
    QDir().mkpath(home.DataFolder() + QStringLiteral("/tst_inisettings"));
    QFile file(home.DataFolder() + QStringLiteral("/tst_inisettings/QzConfig.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[drinks]\nstatus=on\ntarget=12abc\nsettings_timer_hour=  3\n[boot]\ndrinktimestamp=soon\n");
    file.close();
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDrinksStatus(), 0);
    QCOMPARE(settings->GetDrinksTarget(), 0);
    QCOMPARE(settings->GetDrinksTimerHour(), 3);
    QCOMPARE(settings->GetDrinkTimestamp(), qint64(0));

    // A change writes the other lines back as they were.
    settings->SetDrinksTarget(1800);
    CIniSettings::Destroy();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
        QByteArray("[boot]\ndrinktimestamp=soon\n\n[drinks]\nsettings_timer_hour=3\nstatus=on\ntarget=1800\n"));
}

// A change that finds the disk full is not written, and the file stays as it was.
void TestIniSettings::fullDiskKeepsTheFile()
{
    CTestHome home;
    CNearlyFullDisk disk;
    qputenv("XDG_DATA_HOME", disk.Path().toUtf8());
    QVERIFY(QDir().mkpath(disk.Path() + QStringLiteral("/tst_inisettings")));
    QFile file(disk.Path() + QStringLiteral("/tst_inisettings/QzConfig.ini"));
    // Just short of the room left; the change adds a line, so only part of it fits.
    QByteArray old = "[drinks]\nstatus=2\n\n[notes]\n";
    while (old.size() < CNearlyFullDisk::FreeBytes - 40)
        old += QStringLiteral("line%1=kept\n").arg(old.size(), 5, 10, QLatin1Char('0')).toUtf8();
    old += "last=" + QByteArray(CNearlyFullDisk::FreeBytes - 4 - old.size() - 6, 'x') + '\n';
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    file.close();

    disk.Fill();
    CIniSettings::Instance()->SetDrinksTarget(1800);
    CIniSettings::Destroy();
    disk.Release();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
}

// Day and night is off until chosen; its other keys read as their defaults while absent, and a
// time or a place that is no time or number reads as absent.
void TestIniSettings::dayAndNightDefaults()
{
    CTestHome home;
    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDayNightStatus(), 0);
    QCOMPARE(settings->GetDayNightSource(), 0);
    QCOMPARE(settings->GetDayStrength(), 0);
    QCOMPARE(settings->GetNightStrength(), 40);
    QCOMPARE(settings->GetPlaceTyped(), 0);
    QCOMPARE(settings->GetNightFrom(), QTime(22, 0));
    QCOMPARE(settings->GetNightTo(), QTime(7, 0));
    QCOMPARE(settings->GetTransitionMinutes(), 30);

    settings->SetNightStrength(0);
    settings->SetTransitionMinutes(0);
    settings->SetNightTo(QTime(23, 5));
    settings->SetLatitude(-33.86882);
    QCOMPARE(settings->GetNightStrength(), 0);
    QCOMPARE(settings->GetTransitionMinutes(), 0);
    QCOMPARE(settings->GetNightTo(), QTime(23, 5));
    QCOMPARE(settings->GetLatitude(), -33.8688);
    CIniSettings::Destroy();

    QFile file(home.DataFolder() + QStringLiteral("/tst_inisettings/QzConfig.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("night_to=23:05\n") && text.contains("latitude=-33.8688\n"), text.constData());
    file.close();
    QVERIFY(file.open(QIODevice::Append));
    file.write("night_from=25:00\nlongitude=nan\n");
    file.close();
    settings = CIniSettings::Instance();
    QCOMPARE(settings->GetNightFrom(), QTime(22, 0));
    QCOMPARE(settings->GetLongitude(), 0.0);
}

void TestIniSettings::oddSettingsFileIsReplaced_data()
{
    QTest::addColumn<QString>("odd");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("link to another file") << QStringLiteral("link");
}

// Whatever lies at the settings file's name is no hang and takes no write elsewhere: the settings
// start empty and are written into a file of their own.
void TestIniSettings::oddSettingsFileIsReplaced()
{
    QFETCH(QString, odd);
    CTestHome home;
    const QString folder = home.DataFolder() + QStringLiteral("/tst_inisettings");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/QzConfig.ini");
    const QString other = home.Path() + QStringLiteral("/other.ini");
    const QByteArray otherContent = "[drinks]\ntarget=900\n";
    QFile otherFile(other);
    QVERIFY(otherFile.open(QIODevice::WriteOnly) && otherFile.write(otherContent) == otherContent.size());
    otherFile.close();
    if (odd == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(other, path));

    CIniSettings* settings = CIniSettings::Instance();
    QCOMPARE(settings->GetDrinksTarget(), 0);
    settings->SetDrinksTarget(1800);
    CIniSettings::Destroy();
    QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
    QVERIFY(otherFile.open(QIODevice::ReadOnly));
    QCOMPARE(otherFile.readAll(), otherContent);
}

void TestIniSettings::autorunFollowsTheEntry()
{
    CTestHome home;
    const CAutostart entry(QStringLiteral("QzHealthManager"));
    CIniSettings* settings = CIniSettings::Instance();

    QCOMPARE(settings->GetAutorunStatus(), 0);
    QVERIFY(!QFile::exists(entry.Location()));

    // An entry left by an install elsewhere is re-pointed at the program now running.
    QVERIFY(entry.Write(QStringLiteral("/old/place/QzHealthManager"), {QStringLiteral("boot")}));
    QCOMPARE(settings->GetAutorunStatus(), 2);
    QCOMPARE(entry.Command(), (QStringList{Executable::Path(), QStringLiteral("boot")}));

    QVERIFY(entry.Remove());
    QCOMPARE(settings->GetAutorunStatus(), 0);
    QVERIFY(!QFile::exists(entry.Location()));
}

void TestIniSettings::setAutoRunModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("entry");
    QTest::newRow("off") << 0 << false;
    QTest::newRow("user") << 1 << true;
    QTest::newRow("synchronised") << 2 << true;
    QTest::newRow("unknown") << 7 << false;
    QTest::newRow("negative") << -1 << false;
}

void TestIniSettings::setAutoRunModes()
{
    QFETCH(int, mode);
    QFETCH(bool, entry);
    CTestHome home;
    const CAutostart autostart(QStringLiteral("QzHealthManager"));
    QVERIFY(autostart.Write(QStringLiteral("/somewhere/else"), {}));
    CIniSettings::Instance()->SetAutorunStatus(mode);
    QCOMPARE(QFile::exists(autostart.Location()), entry);
    if (entry)
        QCOMPARE(autostart.Command(), (QStringList{Executable::Path(), QStringLiteral("boot")}));
    CIniSettings::Destroy();
    QSettings file(home.DataFolder() + QStringLiteral("/tst_inisettings/QzConfig.ini"), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("boot/autorun_status")).toInt(), mode);
}

QTEST_GUILESS_MAIN(TestIniSettings)
#include "tst_inisettings.moc"

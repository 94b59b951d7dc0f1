// A GNOME whose Night Light temperature key has a range: a strength's temperature beyond it
// is set to the nearest end instead of being refused, which would leave the screen untinted.
#include <gio/gio.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "TestHome.h"
#include "linux/gamma_gnome.h"

namespace {
// The keys the backend touches, as a GNOME version with a bounded temperature declares them.
constexpr char kSchema[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <schema id="org.gnome.settings-daemon.plugins.color" path="/org/gnome/settings-daemon/plugins/color/">
    <key name="night-light-enabled" type="b"><default>false</default></key>
    <key name="night-light-temperature" type="u">
      <range min="1700" max="4700"/>
      <default>2700</default>
    </key>
    <key name="night-light-schedule-automatic" type="b"><default>true</default></key>
    <key name="night-light-schedule-from" type="d"><default>20.0</default></key>
    <key name="night-light-schedule-to" type="d"><default>6.0</default></key>
  </schema>
</schemalist>
)";

guint32 Temperature()
{
    GSettings* settings = g_settings_new(CGnomeNightLight::Schema);
    const guint32 kelvin = g_settings_get_uint(settings, "night-light-temperature");
    g_object_unref(settings);
    return kelvin;
}
}

class TestGnomeTemperatureRange : public QObject
{
    Q_OBJECT
private slots:
    void clampedToTheKeysRange();
};

void TestGnomeTemperatureRange::clampedToTheKeysRange()
{
    const CTestHome home;
    const QString schemas = home.Path() + QStringLiteral("/schemas");
    QVERIFY(QDir().mkpath(schemas));
    QFile file(schemas + QStringLiteral("/org.gnome.settings-daemon.plugins.color.gschema.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kSchema);
    file.close();
    QCOMPARE(QProcess::execute(QStringLiteral("glib-compile-schemas"), {schemas}), 0);
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas));
    qputenv("GSETTINGS_BACKEND", "memory");
    QVERIFY(CGnomeNightLight::Available());

    CGnomeNightLight nightLight(home.DataFolder());
    nightLight.SetTemperature(6600, {});
    QCOMPARE(Temperature(), 4700u);
    nightLight.SetTemperature(3000, {});
    QCOMPARE(Temperature(), 3000u);
    nightLight.SetTemperature(1000, {});
    QCOMPARE(Temperature(), 1700u);
    nightLight.Restore({});
    QCOMPARE(Temperature(), 2700u);
}

QTEST_GUILESS_MAIN(TestGnomeTemperatureRange)
#include "tst_gnometemperaturerange.moc"

#include "gamma_gnome.h"

#include <limits>

#include <gio/gio.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

const char* const CGnomeNightLight::Schema = "org.gnome.settings-daemon.plugins.color";

namespace {
constexpr char kEnabled[] = "night-light-enabled";
constexpr char kTemperature[] = "night-light-temperature";
constexpr char kAutomatic[] = "night-light-schedule-automatic";
constexpr char kFrom[] = "night-light-schedule-from";
constexpr char kTo[] = "night-light-schedule-to";
const char* const kTouchedKeys[] = {kEnabled, kTemperature, kAutomatic, kFrom, kTo};

QString SavedPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/gnome-night-light.json");
}

// The installed schema, or null; the caller unrefs it.
GSettingsSchema* LookUpSchema()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return source ? g_settings_schema_source_lookup(source, CGnomeNightLight::Schema, TRUE) : nullptr;
}

// Night Light's settings, or null when the schema is missing: GSettings would abort the program.
class CNightLightSettings
{
public:
    CNightLightSettings()
        : m_schema(LookUpSchema())
        , m_settings(m_schema ? g_settings_new_full(m_schema, nullptr, nullptr) : nullptr)
    {
    }
    ~CNightLightSettings()
    {
        if (m_settings) {
            // Written through to the settings store before the program may end.
            g_settings_sync();
            g_object_unref(m_settings);
        }
        if (m_schema)
            g_settings_schema_unref(m_schema);
    }
    CNightLightSettings(const CNightLightSettings&) = delete;
    CNightLightSettings& operator=(const CNightLightSettings&) = delete;

    bool IsValid() const
    {
        return m_settings != nullptr;
    }
    // Older GNOME versions lack some keys; those are left alone.
    bool Has(const char* key) const
    {
        return g_settings_schema_has_key(m_schema, key);
    }
    GSettings* Settings() const
    {
        return m_settings;
    }
    // The temperature within the range the key accepts.
    guint32 Temperature(int kelvin) const
    {
        qint64 lowest = 0;
        qint64 highest = std::numeric_limits<guint32>::max();
        GSettingsSchemaKey* key = g_settings_schema_get_key(m_schema, kTemperature);
        GVariant* range = g_settings_schema_key_get_range(key);
        const gchar* kind = nullptr;
        GVariant* bounds = nullptr;
        g_variant_get(range, "(&sv)", &kind, &bounds);
        if (g_strcmp0(kind, "range") == 0 && g_variant_is_of_type(bounds, G_VARIANT_TYPE("(uu)"))) {
            guint32 minimum = 0;
            guint32 maximum = 0;
            g_variant_get(bounds, "(uu)", &minimum, &maximum);
            lowest = minimum;
            highest = maximum;
        }
        g_variant_unref(bounds);
        g_variant_unref(range);
        g_settings_schema_key_unref(key);
        return guint32(qBound(lowest, qint64(kelvin), highest));
    }

private:
    GSettingsSchema* m_schema;
    GSettings* m_settings;
};

// Each touched key with the user's own value as GVariant text, or null where the user has none
// and the default applies. False when the file could not be written: then nothing may change.
bool SaveUserValues(const CNightLightSettings& settings, const QString& path)
{
    QJsonObject saved;
    for (const char* key : kTouchedKeys) {
        if (!settings.Has(key))
            continue;
        GVariant* value = g_settings_get_user_value(settings.Settings(), key);
        if (!value) {
            saved.insert(QLatin1String(key), QJsonValue::Null);
            continue;
        }
        gchar* text = g_variant_print(value, TRUE);
        saved.insert(QLatin1String(key), QString::fromUtf8(text));
        g_free(text);
        g_variant_unref(value);
    }
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(saved).toJson()) > 0 && file.commit();
}

void PutBack(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    CNightLightSettings settings;
    if (!settings.IsValid())
        return;
    for (auto entry = saved.begin(); entry != saved.end(); ++entry) {
        const QByteArray key = entry.key().toUtf8();
        if (!settings.Has(key.constData()))
            continue;
        if (entry.value().isNull()) {
            g_settings_reset(settings.Settings(), key.constData());
            continue;
        }
        GVariant* value = g_variant_parse(nullptr, entry.value().toString().toUtf8().constData(), nullptr, nullptr,
            nullptr);
        if (value)
            g_settings_set_value(settings.Settings(), key.constData(), value);
    }
    // A file that could not be read back would be tried at every start in vain.
    QFile::remove(path);
}
}

CGnomeNightLight::CGnomeNightLight(const QString& dataFolder)
    : m_savedPath(SavedPath(dataFolder))
{
}

bool CGnomeNightLight::Available()
{
    GSettingsSchema* schema = LookUpSchema();
    if (!schema)
        return false;
    g_settings_schema_unref(schema);
    return true;
}

void CGnomeNightLight::RestoreLeftover(const QString& dataFolder)
{
    const QString path = SavedPath(dataFolder);
    if (QFileInfo::exists(path) && Available())
        PutBack(path);
}

void CGnomeNightLight::SetTemperature(int kelvin, const GammaRampView&)
{
    CNightLightSettings settings;
    if (!settings.IsValid())
        return;
    if (!QFileInfo::exists(m_savedPath) && !SaveUserValues(settings, m_savedPath))
        return;
    GSettings* gsettings = settings.Settings();
    // A schedule that starts and ends at the same moment lasts the whole day.
    if (settings.Has(kAutomatic))
        g_settings_set_boolean(gsettings, kAutomatic, FALSE);
    if (settings.Has(kFrom))
        g_settings_set_double(gsettings, kFrom, 0.0);
    if (settings.Has(kTo))
        g_settings_set_double(gsettings, kTo, 0.0);
    g_settings_set_uint(gsettings, kTemperature, settings.Temperature(kelvin));
    g_settings_set_boolean(gsettings, kEnabled, TRUE);
}

void CGnomeNightLight::Restore(const GammaRampView&)
{
    PutBack(m_savedPath);
}

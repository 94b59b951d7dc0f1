#include "gamma_gnome.h"

#include <limits>
#include <vector>

#include <gio/gio.h>

#include <QFileInfo>
#include <QJsonObject>

#include "giolibrary.h"

const char* const CGnomeNightLight::Schema = "org.gnome.settings-daemon.plugins.color";

namespace {
constexpr char kEnabled[] = "night-light-enabled";
constexpr char kTemperature[] = "night-light-temperature";
constexpr char kAutomatic[] = "night-light-schedule-automatic";
constexpr char kFrom[] = "night-light-schedule-from";
constexpr char kTo[] = "night-light-schedule-to";
const char* const kTouchedKeys[] = {kEnabled, kTemperature, kAutomatic, kFrom, kTo};

struct GioCalls
{
    decltype(&g_settings_schema_source_get_default) schemaSourceGetDefault;
    decltype(&g_settings_schema_source_lookup) schemaSourceLookup;
    decltype(&g_settings_schema_unref) schemaUnref;
    decltype(&g_settings_schema_has_key) schemaHasKey;
    decltype(&g_settings_schema_get_key) schemaGetKey;
    decltype(&g_settings_schema_key_get_range) schemaKeyGetRange;
    decltype(&g_settings_schema_key_unref) schemaKeyUnref;
    decltype(&g_settings_new_full) settingsNewFull;
    decltype(&g_settings_sync) settingsSync;
    decltype(&g_settings_get_user_value) settingsGetUserValue;
    decltype(&g_settings_reset) settingsReset;
    decltype(&g_settings_set_value) settingsSetValue;
    decltype(&g_settings_set_boolean) settingsSetBoolean;
    decltype(&g_settings_set_double) settingsSetDouble;
    decltype(&g_settings_set_uint) settingsSetUint;
    decltype(&g_object_unref) objectUnref;
    decltype(&g_variant_equal) variantEqual;
    decltype(&g_variant_get) variantGet;
    decltype(&g_variant_is_of_type) variantIsOfType;
    decltype(&g_variant_parse) variantParse;
    decltype(&g_variant_print) variantPrint;
    decltype(&g_variant_unref) variantUnref;
    decltype(&g_strcmp0) strcmp0;
    decltype(&g_free) free;
};

GioCalls* OpenGio()
{
    using GioLibrary::Resolve;
    static GioCalls calls;
    const bool resolved = Resolve("g_settings_schema_source_get_default", calls.schemaSourceGetDefault)
        && Resolve("g_settings_schema_source_lookup", calls.schemaSourceLookup)
        && Resolve("g_settings_schema_unref", calls.schemaUnref)
        && Resolve("g_settings_schema_has_key", calls.schemaHasKey)
        && Resolve("g_settings_schema_get_key", calls.schemaGetKey)
        && Resolve("g_settings_schema_key_get_range", calls.schemaKeyGetRange)
        && Resolve("g_settings_schema_key_unref", calls.schemaKeyUnref)
        && Resolve("g_settings_new_full", calls.settingsNewFull)
        && Resolve("g_settings_sync", calls.settingsSync)
        && Resolve("g_settings_get_user_value", calls.settingsGetUserValue)
        && Resolve("g_settings_reset", calls.settingsReset)
        && Resolve("g_settings_set_value", calls.settingsSetValue)
        && Resolve("g_settings_set_boolean", calls.settingsSetBoolean)
        && Resolve("g_settings_set_double", calls.settingsSetDouble)
        && Resolve("g_settings_set_uint", calls.settingsSetUint)
        && Resolve("g_object_unref", calls.objectUnref)
        && Resolve("g_variant_equal", calls.variantEqual)
        && Resolve("g_variant_get", calls.variantGet)
        && Resolve("g_variant_is_of_type", calls.variantIsOfType)
        && Resolve("g_variant_parse", calls.variantParse)
        && Resolve("g_variant_print", calls.variantPrint)
        && Resolve("g_variant_unref", calls.variantUnref)
        && Resolve("g_strcmp0", calls.strcmp0)
        && Resolve("g_free", calls.free);
    return resolved ? &calls : nullptr;
}

// GIO's calls, or null when the library is missing: then there is no Night Light to set.
const GioCalls* Gio()
{
    static const GioCalls* const calls = OpenGio();
    return calls;
}

QString SavedPathIn(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("/gnome-night-light.json");
}

// The installed schema, or null; the caller unrefs it.
GSettingsSchema* LookUpSchema()
{
    const GioCalls* gio = Gio();
    GSettingsSchemaSource* source = gio ? gio->schemaSourceGetDefault() : nullptr;
    return source ? gio->schemaSourceLookup(source, CGnomeNightLight::Schema, TRUE) : nullptr;
}

// Night Light's settings, or null when the schema is missing: GSettings would abort the program.
class CNightLightSettings
{
public:
    CNightLightSettings()
        : m_schema(LookUpSchema())
        , m_settings(m_schema ? Gio()->settingsNewFull(m_schema, nullptr, nullptr) : nullptr)
    {
    }
    ~CNightLightSettings()
    {
        if (m_settings) {
            // Written through to the settings store before the program may end.
            Gio()->settingsSync();
            Gio()->objectUnref(m_settings);
        }
        if (m_schema)
            Gio()->schemaUnref(m_schema);
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
        return Gio()->schemaHasKey(m_schema, key);
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
        const GioCalls* gio = Gio();
        GSettingsSchemaKey* key = gio->schemaGetKey(m_schema, kTemperature);
        GVariant* range = gio->schemaKeyGetRange(key);
        const gchar* kind = nullptr;
        GVariant* bounds = nullptr;
        gio->variantGet(range, "(&sv)", &kind, &bounds);
        // A type string is its own GVariantType; the checking macro would call into GLib itself.
        const auto* pair = reinterpret_cast<const GVariantType*>("(uu)");
        if (gio->strcmp0(kind, "range") == 0 && gio->variantIsOfType(bounds, pair)) {
            guint32 minimum = 0;
            guint32 maximum = 0;
            gio->variantGet(bounds, "(uu)", &minimum, &maximum);
            lowest = minimum;
            highest = maximum;
        }
        gio->variantUnref(bounds);
        gio->variantUnref(range);
        gio->schemaKeyUnref(key);
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
        GVariant* value = Gio()->settingsGetUserValue(settings.Settings(), key);
        if (!value) {
            saved.insert(QLatin1String(key), QJsonValue::Null);
            continue;
        }
        gchar* text = Gio()->variantPrint(value, TRUE);
        saved.insert(QLatin1String(key), QString::fromUtf8(text));
        Gio()->free(text);
        Gio()->variantUnref(value);
    }
    return SavedNightLight::Write(path, saved);
}

// Whether the key's own value is now the saved one: a write the settings service refused is
// undone once the settings are synced, and shows here.
bool Holds(const CNightLightSettings& settings, const char* key, GVariant* wanted)
{
    GVariant* value = Gio()->settingsGetUserValue(settings.Settings(), key);
    const bool same = value && wanted ? Gio()->variantEqual(value, wanted) : value == wanted;
    if (value)
        Gio()->variantUnref(value);
    return same;
}

// The saved file goes only once every value is back; a value that could not be written keeps it
// for the next try.
void PutBack(const QString& path)
{
    const std::optional<QJsonObject> saved = SavedNightLight::Read(path);
    if (!saved)
        return;
    CNightLightSettings settings;
    if (!settings.IsValid())
        return;
    // Parsed once, to write and then to check against what the settings hold.
    std::vector<std::pair<QByteArray, GVariant*>> values;
    for (auto entry = saved->begin(); entry != saved->end(); ++entry) {
        const QByteArray key = entry.key().toUtf8();
        if (!settings.Has(key.constData()))
            continue;
        GVariant* value = nullptr;
        if (!entry.value().isNull()) {
            value = Gio()->variantParse(nullptr, entry.value().toString().toUtf8().constData(), nullptr, nullptr,
                nullptr);
            // Text that is no value never will be one: there is nothing of the user's to put back.
            if (!value)
                continue;
        }
        values.emplace_back(key, value);
    }
    bool complete = true;
    for (const auto& [key, value] : values) {
        if (value)
            complete = Gio()->settingsSetValue(settings.Settings(), key.constData(), value) && complete;
        else
            Gio()->settingsReset(settings.Settings(), key.constData());
    }
    Gio()->settingsSync();
    for (const auto& [key, value] : values) {
        complete = Holds(settings, key.constData(), value) && complete;
        if (value)
            Gio()->variantUnref(value);
    }
    if (complete)
        SavedNightLight::Remove(path);
}
}

CGnomeNightLight::CGnomeNightLight(const QString& dataFolder)
    : CDesktopNightLight(SavedPathIn(dataFolder))
{
}

CGnomeNightLight::~CGnomeNightLight()
{
    PutBackAtEnd();
}

bool CGnomeNightLight::Available()
{
    GSettingsSchema* schema = LookUpSchema();
    if (!schema)
        return false;
    Gio()->schemaUnref(schema);
    return true;
}

void CGnomeNightLight::RestoreLeftover(const QString& dataFolder)
{
    const QString path = SavedPathIn(dataFolder);
    if (QFileInfo::exists(path) && Available())
        PutBack(path);
}

void CGnomeNightLight::SetTemperature(int kelvin, const GammaRampView&)
{
    CNightLightSettings settings;
    if (!settings.IsValid())
        return;
    if (!SavedNightLight::Read(SavedPath()) && !SaveUserValues(settings, SavedPath()))
        return;
    WatchTheEnd();
    const GioCalls* gio = Gio();
    GSettings* gsettings = settings.Settings();
    // A schedule that starts and ends at the same moment lasts the whole day.
    if (settings.Has(kAutomatic))
        gio->settingsSetBoolean(gsettings, kAutomatic, FALSE);
    if (settings.Has(kFrom))
        gio->settingsSetDouble(gsettings, kFrom, 0.0);
    if (settings.Has(kTo))
        gio->settingsSetDouble(gsettings, kTo, 0.0);
    gio->settingsSetUint(gsettings, kTemperature, settings.Temperature(kelvin));
    gio->settingsSetBoolean(gsettings, kEnabled, TRUE);
}

void CGnomeNightLight::Restore(const GammaRampView&)
{
    PutBack(SavedPath());
}

#include "gnomebanners.h"

#include <gio/gio.h>

#include "giolibrary.h"

namespace {
constexpr char kSchema[] = "org.gnome.desktop.notifications";
constexpr char kShowBanners[] = "show-banners";
constexpr char kChangedSignal[] = "changed::show-banners";

struct GioCalls
{
    decltype(&g_settings_schema_source_get_default) schemaSourceGetDefault;
    decltype(&g_settings_schema_source_lookup) schemaSourceLookup;
    decltype(&g_settings_schema_has_key) schemaHasKey;
    decltype(&g_settings_schema_unref) schemaUnref;
    decltype(&g_settings_new_full) settingsNewFull;
    decltype(&g_settings_get_boolean) settingsGetBoolean;
    decltype(&g_signal_connect_data) signalConnectData;
    decltype(&g_signal_handler_disconnect) signalHandlerDisconnect;
    decltype(&g_object_unref) objectUnref;
};

const GioCalls* OpenGio()
{
    using GioLibrary::Resolve;
    static GioCalls calls;
    const bool resolved = Resolve("g_settings_schema_source_get_default", calls.schemaSourceGetDefault)
        && Resolve("g_settings_schema_source_lookup", calls.schemaSourceLookup)
        && Resolve("g_settings_schema_has_key", calls.schemaHasKey)
        && Resolve("g_settings_schema_unref", calls.schemaUnref)
        && Resolve("g_settings_new_full", calls.settingsNewFull)
        && Resolve("g_settings_get_boolean", calls.settingsGetBoolean)
        && Resolve("g_signal_connect_data", calls.signalConnectData)
        && Resolve("g_signal_handler_disconnect", calls.signalHandlerDisconnect)
        && Resolve("g_object_unref", calls.objectUnref);
    return resolved ? &calls : nullptr;
}

const GioCalls* Gio()
{
    static const GioCalls* const calls = OpenGio();
    return calls;
}
}

struct CGnomeBanners::Private
{
    std::function<void(bool)> changed;
    GSettings* settings = nullptr;
    gulong handler = 0;
    bool doNotDisturb = false;

    static void OnChanged(GSettings* settings, const gchar*, gpointer self)
    {
        auto* d = static_cast<Private*>(self);
        const bool doNotDisturb = !Gio()->settingsGetBoolean(settings, kShowBanners);
        if (doNotDisturb == d->doNotDisturb)
            return;
        d->doNotDisturb = doNotDisturb;
        d->changed(doNotDisturb);
    }
};

CGnomeBanners::CGnomeBanners(std::function<void(bool)> changed)
    : d(new Private)
{
    d->changed = std::move(changed);
    const GioCalls* gio = Gio();
    GSettingsSchemaSource* source = gio ? gio->schemaSourceGetDefault() : nullptr;
    // GSettings ends the program on a schema or key it does not know: both are asked for first.
    GSettingsSchema* schema = source ? gio->schemaSourceLookup(source, kSchema, TRUE) : nullptr;
    if (!schema)
        return;
    if (gio->schemaHasKey(schema, kShowBanners)) {
        d->settings = gio->settingsNewFull(schema, nullptr, nullptr);
        d->handler = gio->signalConnectData(d->settings, kChangedSignal, G_CALLBACK(&Private::OnChanged), d.get(),
            nullptr, GConnectFlags(0));
        d->doNotDisturb = !gio->settingsGetBoolean(d->settings, kShowBanners);
    }
    gio->schemaUnref(schema);
}

CGnomeBanners::~CGnomeBanners()
{
    if (!d->settings)
        return;
    Gio()->signalHandlerDisconnect(d->settings, d->handler);
    Gio()->objectUnref(d->settings);
}

bool CGnomeBanners::IsAvailable() const
{
    return d->settings != nullptr;
}

bool CGnomeBanners::IsDoNotDisturb() const
{
    return d->doNotDisturb;
}

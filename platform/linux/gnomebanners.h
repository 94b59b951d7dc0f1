#pragma once

#include <functional>
#include <memory>

// GNOME's Do Not Disturb, which is its notification banners switched off
// (org.gnome.desktop.notifications show-banners). GSettings announces each change through its
// "changed" signal, delivered by the GLib main loop that runs under Qt's event loop.
class CGnomeBanners
{
public:
    // `changed` is called with the new state of Do Not Disturb.
    explicit CGnomeBanners(std::function<void(bool)> changed);
    ~CGnomeBanners();
    CGnomeBanners(const CGnomeBanners&) = delete;
    CGnomeBanners& operator=(const CGnomeBanners&) = delete;

    // Whether the schema is installed and GIO could be opened.
    bool IsAvailable() const;
    bool IsDoNotDisturb() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

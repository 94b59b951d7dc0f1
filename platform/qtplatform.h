#pragma once

namespace QtPlatform {
// On a Wayland session where XWayland runs (DISPLAY is set), makes Qt use its X11 platform: a
// Wayland client cannot place its windows, and pop-ups, the dragged frame and the rest covering
// every screen all need that. A platform the user chose in QT_QPA_PLATFORM is kept. Called
// before QApplication exists.
void PreferX11OnWayland();
// Once the application object exists (and has read it), takes our choice out of the environment
// again, so that the programs we start (a browser, the software installer) run on the session's
// own platform. A user's own choice stays.
void SettleForThisProcess();
}

#pragma once

namespace GlIntegration {
// Keeps Qt's X11 platform from loading the OpenGL driver stack (Mesa and the LLVM it links, or
// a vendor's driver: tens of MiB resident for the rest of the process) when the first window
// is created: it would do so only to choose visuals, and nothing in these programs draws with
// OpenGL. Translucent windows keep their visuals without it. A choice the user made in the
// environment is left as it is. Call before the application object exists.
void KeepOutUnlessChosen();
// Call once the application object exists: has the platform make its choice now, then takes
// our setting out of the environment again, so that the programs we start (a browser, the
// software installer, which may well draw with OpenGL) do not inherit it.
void SettleForThisProcess();
}

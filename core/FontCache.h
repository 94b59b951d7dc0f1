#pragma once

// Qt keeps every font engine it has made, with its glyph caches and the font file it opened,
// for the rest of the run: on Linux it begins to drop unused engines only beyond 64 MiB. A
// program that spends its days in the tray lets them go once its windows are closed; the next
// window that draws text opens the fonts it needs anew.
namespace FontCache {
void Release();
}

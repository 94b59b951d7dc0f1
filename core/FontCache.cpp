#include "core/FontCache.h"

// Qt offers no public way to empty its font cache. Its private headers are tied to the Qt
// release the program is built against, which the package's dependency on that exact Qt ABI
// keeps true.
#include <QtGui/private/qfont_p.h>

void FontCache::Release()
{
    // Emptying the cache in place is not enough: a font that outlived it would load its engine
    // again into data the cache no longer knows, where the next emptying cannot reach it. A new
    // cache has a new identity, which tells every such font to look its engine up afresh.
    QFontCache::cleanup();
}

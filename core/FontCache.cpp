#include "core/FontCache.h"

// Qt offers no public way to empty its font cache. Its private headers are tied to the Qt
// release the program is built against, which the package's dependency on that exact Qt ABI
// keeps true.
#include <QtGui/private/qfont_p.h>

void FontCache::Release()
{
    QFontCache::instance()->clear();
}

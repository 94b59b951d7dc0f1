#pragma once

#include <QString>

// True when `text` holds a Han character or the full-width punctuation of Chinese text: what an
// English window must never show.
inline bool HasChinese(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

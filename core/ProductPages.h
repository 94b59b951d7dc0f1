#pragma once

#include <QUrl>

// The project's web pages that menus and dialogs open. The homepage is a build setting
// (QZ_HOMEPAGE), the same one the package and the desktop metadata name.
namespace ProductPages {
inline QUrl Site()
{
    return QUrl(QStringLiteral(QZ_HOMEPAGE "/"));
}

inline QUrl Feedback()
{
    return QUrl(QStringLiteral(QZ_HOMEPAGE "/feedback.html"));
}
}

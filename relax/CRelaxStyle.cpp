#include "CRelaxStyle.h"

#include <QFile>

QString CRelaxStyle::Sheet()
{
    static const QString sheet = [] {
        QFile file(QStringLiteral(":/Resources/Skin/Relax.qss"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return sheet;
}

#include "CDrinkTotalRecord.h"

CDrinkTotalRecord::CDrinkTotalRecord(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CDrinkTotalRecord"));
    setWindowTitle(QStringLiteral("Form"));
    resize(282, 328);
}

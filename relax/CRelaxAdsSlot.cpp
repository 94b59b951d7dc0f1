#include "CRelaxAdsSlot.h"

#include <QPixmap>

#include "CAdsDataManager.h"
#include "CAdsWidget.h"

bool CRelaxAdsSlot::Show(CAdsWidget* widget, int position, const QRect& area)
{
    stAdsSlot slot;
    if (!CAdsDataManager::Instance()->FindSlot(position, slot) || !slot.bShown) {
        widget->hide();
        return false;
    }
    widget->setGeometry(area);
    widget->SetPosition(position);
    const QPixmap image(slot.strLocalImage);
    if (image.isNull()) {
        widget->hide();
        return false;
    }
    widget->SetImage(image);
    widget->SetLink(slot.strLinkUrl);
    widget->show();
    return true;
}

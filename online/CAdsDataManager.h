#pragma once

#include <QObject>

// One advertisement slot as the configuration service describes it.
struct stAdsSlot
{
    int nPosition = 0;
    int nStatus = 0;
    QString strImageUrl;
    QString strLinkUrl;
    QString strLocalImage;
    bool bShown = false;
};

// Holds the advertisement slots fetched at start-up.
class CAdsDataManager : public QObject
{
    Q_OBJECT
public:
    static CAdsDataManager* Instance();

    // Fetches the slot configuration; false when the service cannot be reached.
    bool FetchConfig();
    // Brings the slots' images into the local cache.
    void PrepareImages();
    // The first slot record at `position`; false when there is none.
    bool FindSlot(int position, stAdsSlot& slot) const;

private:
    CAdsDataManager() = default;

    QList<stAdsSlot> m_slots;
};

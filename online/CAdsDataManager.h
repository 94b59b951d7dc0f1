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

    // Fetches the slot configuration; false when the service cannot be reached or answers
    // with no JSON.
    bool FetchConfig();
    // Brings the slots' images into the local cache; only what decodes as a picture is kept.
    void PrepareImages();
    // The first slot record at `position`; false when there is none.
    bool FindSlot(int position, stAdsSlot& slot) const;

    // Where the image at `imageUrl` is cached: the data folder, the image address's MD5 digest
    // and its last four characters.
    static QString CachePath(const QString& imageUrl);

    static constexpr int ConfigTimeoutMs = 5000;
    static constexpr int ImageTimeoutMs = 15000;
    // Far above any real configuration or slot picture.
    static constexpr qint64 MaxConfigBytes = 1024 * 1024;
    static constexpr qint64 MaxImageBytes = 8 * 1024 * 1024;

private:
    CAdsDataManager() = default;

    QList<stAdsSlot> m_slots;
};

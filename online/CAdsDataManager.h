#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QSet>

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
    // with no JSON. Start-up waits for this and the pictures that follow: one budget of
    // StartupBudgetMs, begun here, covers both.
    bool FetchConfig();
    // Brings the slots' images into the local cache, asking for each address at most once per
    // process and only while the start-up budget lasts. Only what decodes as a picture is kept.
    void PrepareImages();
    // The first slot record at `position`; false when there is none.
    bool FindSlot(int position, stAdsSlot& slot) const;

    // Where the image at `imageUrl` is cached: the data folder, the image address's MD5 digest
    // and its last four characters.
    static QString CachePath(const QString& imageUrl);

    static constexpr int StartupBudgetMs = 5000;
    static constexpr int ConfigTimeoutMs = 3000;
    static constexpr int ImageTimeoutMs = 3000;
    // Far above any real configuration or slot picture.
    static constexpr qint64 MaxConfigBytes = 1024 * 1024;
    static constexpr qint64 MaxImageBytes = 8 * 1024 * 1024;

private:
    CAdsDataManager() = default;

    // The time left of the start-up budget, at most `capMs`.
    int TimeLeftMs(int capMs) const;
    static bool IsCached(const QString& path);
    // Downloads one picture into `path`; false when no picture could be had.
    bool Download(const QString& imageUrl, const QString& path);

    QList<stAdsSlot> m_slots;
    QDeadlineTimer m_budget {0};
    // Every picture address asked for, so that no address is fetched twice in one run.
    QSet<QString> m_tried;
};

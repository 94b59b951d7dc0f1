#pragma once

#include <QObject>
#include <QString>

class QSettings;

// The updater's own QzConfig.ini, in the updater's own data folder. It holds one key: when the
// user last put an offered update off.
class CIniSettings : public QObject
{
    Q_OBJECT
public:
    static CIniSettings* Instance();

    QString FileName() const;
    qint64 GetUpdateTimestamp() const;
    // Written to disk at once: the window closes and the program ends right after.
    void SetUpdateTimestamp(qint64 secsSinceEpoch);

private:
    CIniSettings();
    ~CIniSettings() override;

    QSettings* m_settings;
};

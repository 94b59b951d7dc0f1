#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QSettings;
class QTime;

// The program's settings and small state, kept in QzConfig.ini in the data folder. Every write
// goes to the file and every getter sees the last write, so a value one panel writes is what the
// next reader sees; an absent key or text that is not a number reads as 0.
class CIniSettings : public QObject
{
    Q_OBJECT
public:
    static CIniSettings* Instance();
    // Writes back what is pending and forgets the instance; the next Instance() opens the file anew.
    static void Destroy();
    // Puts every write so far into the file now rather than at the next turn of the event loop.
    void Flush();

    QString FileName() const;

    // Start with the system: the entry and boot/autorun_status kept in step.
    void SetAutorunStatus(int status);
    int GetAutorunStatus();

    int GetBootTipsTimestamp() const;
    void SetBootTipsTimestamp(int value);
    qint64 GetDrinkTimestamp() const;
    void SetDrinkTimestamp(qint64 value);
    qint64 GetRelaxTimestamp() const;
    void SetRelaxTimestamp(qint64 value);
    qint64 GetTimestamp() const;
    void SetTimestamp(qint64 value);
    int GetTipsStatus() const;
    void SetTipsStatus(int value);
    int GetTodayTipsStatus() const;
    void SetTodayTipsStatus(int value);
    // Every reminder waits until this moment (seconds since 1970), as "pause MINUTES" asked; 0
    // for no pause.
    qint64 GetPausedUntil() const;
    void SetPausedUntil(qint64 value);
    int GetUpdateTimestamp() const;
    void SetUpdateTimestamp(int value);
    void SetMessageTipsMun(int value);

    int GetDrinksStatus() const;
    void SetDrinksStatus(int value);
    int GetDrinksTimerHour() const;
    void SetDrinksTimerHour(int value);
    int GetDrinksTimerMinute() const;
    void SetDrinksTimerMinute(int value);
    int GetDrinkPrompt() const;
    void SetDrinkPrompt(int value);
    int GetDrinkWater() const;
    void SetDrinkWater(int value);
    int GetDrinksTarget() const;
    void SetDrinksTarget(int value);
    int GetDrinksTimeTarget() const;
    void SetDrinksTimeTarget(int value);
    int GetDrinksGuide() const;
    void SetDrinksGuide(int value);
    int GetAlreadyDrinksNumber() const;
    void SetAlreadyDrinksNumber(int value);
    void SetLatelyNumber(int value);
    void SetDayDrinksNumber(int value);
    void SetCompletion(int value);
    void SetScore(float value);
    // Drinks not yet in the history file, as CDrinkJournal writes them.
    QString GetUnsavedDrinks() const;
    void SetUnsavedDrinks(const QString& value);

    int GetRelaxStatus() const;
    void SetRelaxStatus(int value);
    int GetRelaxFullStatus() const;
    void SetRelaxFullStatus(int value);
    int GetRelaxTimerHour() const;
    void SetRelaxTimerHour(int value);
    int GetRelaxTimerMinute() const;
    void SetRelaxTimerMinute(int value);
    int GetRelaxPrompt() const;
    void SetRelaxPrompt(int value);
    int GetRelaxFullscreenSecond() const;
    void SetRelaxFullscreenSecond(int value);
    int GetRelaxSleepTimer() const;
    void SetRelaxSleepTimer(int value);
    // False until a rest length has been chosen; a stored 0 is a choice.
    bool HasRelaxSleepTimer() const;
    int GetRelaxFullShowType() const;
    void SetRelaxFullShowType(int value);
    qint64 GetRelaxFullShowClickTimer() const;
    void SetRelaxFullShowClickTimer(qint64 value);

    // Reminders that fall due wait while a full-screen program is in front, while the user is
    // away or the session locked, and in a meeting or under Do Not Disturb. Each is on until the
    // user switches it off.
    bool GetConsiderateFullscreen() const;
    void SetConsiderateFullscreen(bool on);
    bool GetConsiderateAway() const;
    void SetConsiderateAway(bool on);
    bool GetConsiderateMeeting() const;
    void SetConsiderateMeeting(bool on);
    // The programs whose windows in front hold reminders; none at first. Names are kept in one
    // line, separated by commas: a name with a comma or a line break cannot be kept.
    QStringList GetConsideratePrograms() const;
    void SetConsideratePrograms(const QStringList& programs);

    int GetEyeshieldStatus() const;
    void SetEyeshieldStatus(int value);
    int GetEyeshieldMode() const;
    void SetEyeshieldMode(int value);
    int GetColortempNumber() const;
    void SetColortempNumber(int value);
    // The automatic mode by day and night instead of the table of hours. Absent keys read as off,
    // by the sun, day 0 and night 40, at the time zone's city, night from 22:00 to 07:00 with a
    // change of 30 minutes.
    int GetDayNightStatus() const;
    void SetDayNightStatus(int value);
    // 0 by the sun at the user's place, 1 by fixed times of the clock.
    int GetDayNightSource() const;
    void SetDayNightSource(int value);
    int GetDayStrength() const;
    void SetDayStrength(int value);
    int GetNightStrength() const;
    void SetNightStrength(int value);
    // 0 the city of the time zone, 2 the coordinates below.
    int GetPlaceTyped() const;
    void SetPlaceTyped(int value);
    double GetLatitude() const;
    void SetLatitude(double value);
    double GetLongitude() const;
    void SetLongitude(double value);
    QTime GetNightFrom() const;
    void SetNightFrom(const QTime& value);
    QTime GetNightTo() const;
    void SetNightTo(const QTime& value);
    int GetTransitionMinutes() const;
    void SetTransitionMinutes(int value);

private:
    CIniSettings();
    static QString PlainFile();
    ~CIniSettings() override;

    int ReadInt(const char* key) const;
    bool ReadSwitch(const char* key) const;
    int ReadIntOr(const char* key, int absent) const;
    double ReadDouble(const char* key) const;
    QTime ReadTime(const char* key, const QTime& absent) const;
    qint64 ReadInt64(const char* key) const;
    void Write(const char* key, const QVariant& value);
    void WriteTime(const char* key, const QTime& time);

    QSettings* m_settings = nullptr;
    // The reminders' tick reads the same ten numbers every second; looking each up and parsing
    // it anew cost more than the rest of the tick. Kept by key until the next write.
    mutable QHash<const char*, qint64> m_readNumbers;
};

#include "core/CIniSettings.h"

#include <cmath>

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTime>

#include "core/CSystemUtil.h"
#include "inifile.h"
#include "safefile.h"

namespace {
CIniSettings* g_iniSettings = nullptr;
// Times of day are kept as the clock shows them; anything else reads as absent.
const QString kTimeFormat = QStringLiteral("hh:mm");
}

CIniSettings* CIniSettings::Instance()
{
    if (!g_iniSettings)
        g_iniSettings = new CIniSettings;
    return g_iniSettings;
}

void CIniSettings::Destroy()
{
    delete g_iniSettings;
    g_iniSettings = nullptr;
}

CIniSettings::CIniSettings()
    : m_settings(new QSettings(PlainFile(), IniFile::Format()))
{
    // WORKAROUND: QSettings guards each write with a QLockFile, which judges a lock file without
    // content (its writer was killed between making and filling it) by its age alone: every write
    // of the next start would wait 30 s for it. The file has no other writer than this program.
    QFile lock(m_settings->fileName() + QStringLiteral(".lock"));
    if (lock.exists() && lock.size() == 0)
        lock.remove();
}

// The settings file's name, cleared of anything but a plain file of a sensible size: a FIFO there
// would hold the read for good, and a link would take every write of the settings elsewhere.
QString CIniSettings::PlainFile()
{
    constexpr size_t kLargestSettings = 1024 * 1024;
    const QString path
        = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/QzConfig.ini");
    const std::string native = QFile::encodeName(path).toStdString();
    const SafeFile::ReadResult found = SafeFile::Inspect(native, kLargestSettings);
    if (found == SafeFile::ReadResult::NotRegular || found == SafeFile::ReadResult::TooLarge)
        SafeFile::Remove(native);
    return path;
}

CIniSettings::~CIniSettings()
{
    delete m_settings;
}

void CIniSettings::Flush()
{
    if (m_settings)
        m_settings->sync();
}

QString CIniSettings::FileName() const
{
    return m_settings ? m_settings->fileName() : QString();
}

int CIniSettings::ReadInt(const char* key) const
{
    // The int is the 64-bit number cut to its low bits, as QVariant::toInt() does with text.
    return int(ReadInt64(key));
}

bool CIniSettings::ReadSwitch(const char* key) const
{
    return !m_settings || !m_settings->contains(QLatin1String(key)) || ReadInt(key) != 0;
}

int CIniSettings::ReadIntOr(const char* key, int absent) const
{
    return m_settings && m_settings->contains(QLatin1String(key)) ? ReadInt(key) : absent;
}

// Text that is no finite number, "nan" and "inf" included, reads as 0.
double CIniSettings::ReadDouble(const char* key) const
{
    const double value = m_settings ? m_settings->value(QLatin1String(key)).toString().toDouble() : 0.0;
    return std::isfinite(value) ? value : 0.0;
}

QTime CIniSettings::ReadTime(const char* key, const QTime& absent) const
{
    if (!m_settings)
        return absent;
    const QTime time = QTime::fromString(m_settings->value(QLatin1String(key)).toString(), kTimeFormat);
    return time.isValid() ? time : absent;
}

void CIniSettings::WriteTime(const char* key, const QTime& time)
{
    Write(key, time.toString(kTimeFormat));
}

qint64 CIniSettings::ReadInt64(const char* key) const
{
    auto found = m_readNumbers.constFind(key);
    if (found == m_readNumbers.constEnd())
        found = m_readNumbers.insert(key, m_settings ? m_settings->value(QLatin1String(key)).toLongLong() : 0);
    return found.value();
}

void CIniSettings::Write(const char* key, const QVariant& value)
{
    m_readNumbers.clear();
    if (m_settings)
        m_settings->setValue(QLatin1String(key), value.toString());
}

void CIniSettings::SetAutorunStatus(int status)
{
    CSystemUtil::Instance()->SetAutoRun(status);
    Write("boot/autorun_status", status);
}

int CIniSettings::GetAutorunStatus()
{
    SetAutorunStatus(CSystemUtil::Instance()->IsAutoRun() ? 2 : 0);
    return ReadInt("boot/autorun_status");
}

int CIniSettings::GetBootTipsTimestamp() const { return ReadInt("boot/boottips_timestamp"); }
void CIniSettings::SetBootTipsTimestamp(int value) { Write("boot/boottips_timestamp", value); }
qint64 CIniSettings::GetDrinkTimestamp() const { return ReadInt64("boot/drinktimestamp"); }
void CIniSettings::SetDrinkTimestamp(qint64 value) { Write("boot/drinktimestamp", value); }
qint64 CIniSettings::GetRelaxTimestamp() const { return ReadInt64("boot/relaxtimestamp"); }
void CIniSettings::SetRelaxTimestamp(qint64 value) { Write("boot/relaxtimestamp", value); }
qint64 CIniSettings::GetTimestamp() const { return ReadInt64("boot/timestamp"); }
void CIniSettings::SetTimestamp(qint64 value) { Write("boot/timestamp", value); }
int CIniSettings::GetTipsStatus() const { return ReadInt("boot/tips_status"); }
void CIniSettings::SetTipsStatus(int value) { Write("boot/tips_status", value); }
int CIniSettings::GetTodayTipsStatus() const { return ReadInt("boot/today_tips_status"); }
void CIniSettings::SetTodayTipsStatus(int value) { Write("boot/today_tips_status", value); }
qint64 CIniSettings::GetPausedUntil() const { return ReadInt64("boot/paused_until"); }
void CIniSettings::SetPausedUntil(qint64 value) { Write("boot/paused_until", value); }
int CIniSettings::GetUpdateTimestamp() const { return ReadInt("boot/update_timestamp"); }
void CIniSettings::SetUpdateTimestamp(int value) { Write("boot/update_timestamp", value); }
void CIniSettings::SetMessageTipsMun(int value) { Write("boot/message_tips_mun", value); }

int CIniSettings::GetDrinksStatus() const { return ReadInt("drinks/status"); }
void CIniSettings::SetDrinksStatus(int value) { Write("drinks/status", value); }
int CIniSettings::GetDrinksTimerHour() const { return ReadInt("drinks/settings_timer_hour"); }
void CIniSettings::SetDrinksTimerHour(int value) { Write("drinks/settings_timer_hour", value); }
int CIniSettings::GetDrinksTimerMinute() const { return ReadInt("drinks/settings_timer_minute"); }
void CIniSettings::SetDrinksTimerMinute(int value) { Write("drinks/settings_timer_minute", value); }
int CIniSettings::GetDrinkPrompt() const { return ReadInt("drinks/drinkprompt"); }
void CIniSettings::SetDrinkPrompt(int value) { Write("drinks/drinkprompt", value); }
int CIniSettings::GetDrinkWater() const { return ReadInt("drinks/drinkwater"); }
void CIniSettings::SetDrinkWater(int value) { Write("drinks/drinkwater", value); }
int CIniSettings::GetDrinksTarget() const { return ReadInt("drinks/target"); }
void CIniSettings::SetDrinksTarget(int value) { Write("drinks/target", value); }
int CIniSettings::GetDrinksTimeTarget() const { return ReadInt("drinks/timetarget"); }
void CIniSettings::SetDrinksTimeTarget(int value) { Write("drinks/timetarget", value); }
int CIniSettings::GetDrinksGuide() const { return ReadInt("drinks/guide"); }
void CIniSettings::SetDrinksGuide(int value) { Write("drinks/guide", value); }
int CIniSettings::GetAlreadyDrinksNumber() const { return ReadInt("drinks/already_drinks_number"); }
void CIniSettings::SetAlreadyDrinksNumber(int value) { Write("drinks/already_drinks_number", value); }
void CIniSettings::SetLatelyNumber(int value) { Write("drinks/lately_number", value); }
void CIniSettings::SetDayDrinksNumber(int value) { Write("drinks/day_drinks_number", value); }
void CIniSettings::SetCompletion(int value) { Write("drinks/completion", value); }
void CIniSettings::SetScore(float value) { Write("drinks/score", QString::number(value, 'f', 3)); }
QString CIniSettings::GetUnsavedDrinks() const { return m_settings ? m_settings->value(QStringLiteral("drinks/unsaved")).toString() : QString(); }
void CIniSettings::SetUnsavedDrinks(const QString& value) { Write("drinks/unsaved", value); }

int CIniSettings::GetRelaxStatus() const { return ReadInt("relax/status"); }
void CIniSettings::SetRelaxStatus(int value) { Write("relax/status", value); }
int CIniSettings::GetRelaxFullStatus() const { return ReadInt("relax/full_status"); }
void CIniSettings::SetRelaxFullStatus(int value) { Write("relax/full_status", value); }
int CIniSettings::GetRelaxTimerHour() const { return ReadInt("relax/settings_timer_hour"); }
void CIniSettings::SetRelaxTimerHour(int value) { Write("relax/settings_timer_hour", value); }
int CIniSettings::GetRelaxTimerMinute() const { return ReadInt("relax/settings_timer_minute"); }
void CIniSettings::SetRelaxTimerMinute(int value) { Write("relax/settings_timer_minute", value); }
int CIniSettings::GetRelaxPrompt() const { return ReadInt("relax/relaxprompt"); }
void CIniSettings::SetRelaxPrompt(int value) { Write("relax/relaxprompt", value); }
int CIniSettings::GetRelaxFullscreenSecond() const { return ReadInt("relax/settings_fullscreen_second"); }
void CIniSettings::SetRelaxFullscreenSecond(int value) { Write("relax/settings_fullscreen_second", value); }
int CIniSettings::GetRelaxSleepTimer() const { return ReadInt("relax/sleep_timer"); }
void CIniSettings::SetRelaxSleepTimer(int value) { Write("relax/sleep_timer", value); }
bool CIniSettings::HasRelaxSleepTimer() const { return m_settings && m_settings->contains(QStringLiteral("relax/sleep_timer")); }
int CIniSettings::GetRelaxFullShowType() const { return ReadInt("relax/full_show_type"); }
void CIniSettings::SetRelaxFullShowType(int value) { Write("relax/full_show_type", value); }
qint64 CIniSettings::GetRelaxFullShowClickTimer() const { return ReadInt64("relax/full_show_click_timer"); }
void CIniSettings::SetRelaxFullShowClickTimer(qint64 value) { Write("relax/full_show_click_timer", value); }

bool CIniSettings::GetConsiderateFullscreen() const { return ReadSwitch("considerate/fullscreen"); }
void CIniSettings::SetConsiderateFullscreen(bool on) { Write("considerate/fullscreen", on ? 1 : 0); }
bool CIniSettings::GetConsiderateAway() const { return ReadSwitch("considerate/away"); }
void CIniSettings::SetConsiderateAway(bool on) { Write("considerate/away", on ? 1 : 0); }
bool CIniSettings::GetConsiderateMeeting() const { return ReadSwitch("considerate/meeting"); }
void CIniSettings::SetConsiderateMeeting(bool on) { Write("considerate/meeting", on ? 1 : 0); }

QStringList CIniSettings::GetConsideratePrograms() const
{
    if (!m_settings)
        return {};
    QStringList programs;
    const QStringList stored = m_settings->value(QStringLiteral("considerate/programs")).toString().split(QLatin1Char(','));
    for (const QString& name : stored) {
        if (!name.trimmed().isEmpty())
            programs << name.trimmed();
    }
    return programs;
}

void CIniSettings::SetConsideratePrograms(const QStringList& programs)
{
    QStringList kept;
    for (const QString& name : programs) {
        const QString trimmed = name.trimmed();
        if (!trimmed.isEmpty() && !trimmed.contains(QLatin1Char(',')) && !trimmed.contains(QLatin1Char('\n'))
            && !trimmed.contains(QLatin1Char('\r')))
            kept << trimmed;
    }
    Write("considerate/programs", kept.join(QLatin1Char(',')));
}

int CIniSettings::GetEyeshieldStatus() const { return ReadInt("eyeshield/status"); }
void CIniSettings::SetEyeshieldStatus(int value) { Write("eyeshield/status", value); }
int CIniSettings::GetEyeshieldMode() const { return ReadInt("eyeshield/mode"); }
void CIniSettings::SetEyeshieldMode(int value) { Write("eyeshield/mode", value); }
int CIniSettings::GetColortempNumber() const { return ReadInt("eyeshield/colortemp_number"); }
void CIniSettings::SetColortempNumber(int value) { Write("eyeshield/colortemp_number", value); }
int CIniSettings::GetDayNightStatus() const { return ReadInt("eyeshield/daynight_status"); }
void CIniSettings::SetDayNightStatus(int value) { Write("eyeshield/daynight_status", value); }
int CIniSettings::GetDayNightSource() const { return ReadInt("eyeshield/daynight_source"); }
void CIniSettings::SetDayNightSource(int value) { Write("eyeshield/daynight_source", value); }
int CIniSettings::GetDayStrength() const { return ReadIntOr("eyeshield/day_strength", 0); }
void CIniSettings::SetDayStrength(int value) { Write("eyeshield/day_strength", value); }
int CIniSettings::GetNightStrength() const { return ReadIntOr("eyeshield/night_strength", 40); }
void CIniSettings::SetNightStrength(int value) { Write("eyeshield/night_strength", value); }
int CIniSettings::GetPlaceTyped() const { return ReadInt("eyeshield/place_typed"); }
void CIniSettings::SetPlaceTyped(int value) { Write("eyeshield/place_typed", value); }
double CIniSettings::GetLatitude() const { return ReadDouble("eyeshield/latitude"); }
void CIniSettings::SetLatitude(double value) { Write("eyeshield/latitude", QString::number(value, 'f', 4)); }
double CIniSettings::GetLongitude() const { return ReadDouble("eyeshield/longitude"); }
void CIniSettings::SetLongitude(double value) { Write("eyeshield/longitude", QString::number(value, 'f', 4)); }
QTime CIniSettings::GetNightFrom() const { return ReadTime("eyeshield/night_from", QTime(22, 0)); }
void CIniSettings::SetNightFrom(const QTime& value) { WriteTime("eyeshield/night_from", value); }
QTime CIniSettings::GetNightTo() const { return ReadTime("eyeshield/night_to", QTime(7, 0)); }
void CIniSettings::SetNightTo(const QTime& value) { WriteTime("eyeshield/night_to", value); }
int CIniSettings::GetTransitionMinutes() const { return ReadIntOr("eyeshield/transition_minutes", 30); }
void CIniSettings::SetTransitionMinutes(int value) { Write("eyeshield/transition_minutes", value); }

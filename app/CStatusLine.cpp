#include "CStatusLine.h"

#include <QDateTime>

#include "CMainTick.h"
#include "core/CIniSettings.h"

namespace {
QString ClockTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("HH:mm"));
}
}

QString CStatusLine::Text(int eyeStrength, qint64 now, const QString& note)
{
    CIniSettings* settings = CIniSettings::Instance();
    QStringList parts{Eye(eyeStrength),
        Reminder(tr("喝水提醒"), settings->GetDrinksStatus() != 0,
            CMainTick::Interval(settings->GetDrinksTimerHour(), settings->GetDrinksTimerMinute()),
            settings->GetDrinkTimestamp(), now),
        Reminder(tr("休息提醒"), settings->GetRelaxStatus() != 0,
            CMainTick::Interval(settings->GetRelaxTimerHour(), settings->GetRelaxTimerMinute()),
            settings->GetRelaxTimestamp(), now)};
    parts << Silence(now) << note;
    parts.removeAll(QString());
    return parts.join(tr("；"));
}

QString CStatusLine::Eye(int strength)
{
    if (CIniSettings::Instance()->GetEyeshieldStatus() == 0)
        return tr("防蓝光：关");
    const QString modes[] = {tr("智能"), tr("办公"), tr("游戏"), tr("看片"), tr("自定义")};
    const int mode = CIniSettings::Instance()->GetEyeshieldMode();
    const QString name = mode >= 1 && mode <= 5 ? modes[mode - 1] : modes[0];
    return tr("防蓝光：开，%1，%2%").arg(name).arg(strength);
}

QString CStatusLine::Reminder(const QString& name, bool on, int interval, qint64 stamp, qint64 now)
{
    if (!on)
        return tr("%1：关").arg(name);
    // A reminder due while the reminders are paused comes when the pause ends.
    qint64 next = stamp + interval;
    if (CMainTick::IsPaused(now))
        next = qMax(next, CIniSettings::Instance()->GetPausedUntil());
    return tr("%1：每 %2 分钟，下次 %3").arg(name).arg(interval / 60).arg(ClockTime(qMax(next, now)));
}

QString CStatusLine::Silence(qint64 now)
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetTipsStatus() != 0)
        return tr("提醒不再弹出");
    if (settings->GetTodayTipsStatus() != 0)
        return tr("提醒今日不弹出");
    if (CMainTick::IsPaused(now))
        return tr("提醒暂停到 %1").arg(ClockTime(settings->GetPausedUntil()));
    return {};
}

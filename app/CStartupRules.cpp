#include "CStartupRules.h"

#include <QCoreApplication>
#include <QStringList>

#include "core/CBootTip.h"
#include "core/CIniSettings.h"
#include "core/CSystemUtil.h"
#include "CUpdateContext.h"
#include "clock.h"

namespace {
constexpr qint32 kWeek = 604800;
constexpr qint32 kThreeDays = 259200;
}

namespace CStartupRules {
int LaunchSource(const QString& word)
{
    static const QStringList words{QStringLiteral("showMini"), QStringLiteral("desktop"),
        QStringLiteral("startmenu"), QStringLiteral("boot")};
    return words.indexOf(word) + 1;
}

bool StartsHidden(int launchSource)
{
    return launchSource == 1 || launchSource == 4;
}

bool WakesFrame(int launchSource)
{
    return launchSource == 2 || launchSource == 3;
}

QString StartEvent(int launchSource)
{
    switch (launchSource) {
    case 0:
        return QStringLiteral("routine_start");
    case 2:
        return QStringLiteral("desktop_start");
    case 3:
        return QStringLiteral("menu_start");
    default:
        return {};
    }
}

void WeeklyUpdateCheck()
{
    CIniSettings* settings = CIniSettings::Instance();
    const qint32 now = qint32(CClock::Now());
    const qint32 last = settings->GetUpdateTimestamp();
    if (last == 0) {
        settings->SetUpdateTimestamp(now);
    } else if (qint32(quint32(now) - quint32(last)) > kWeek) {
        settings->SetUpdateTimestamp(now);
        CUpdateContext::Instance()->CheckForUpdate();
    }
}

void OfferStartWithSystem(QWidget* frame)
{
    if (CSystemUtil::Instance()->IsAutoRun())
        return;
    CIniSettings* settings = CIniSettings::Instance();
    const qint32 asked = settings->GetBootTipsTimestamp();
    const qint32 now = qint32(CClock::Now());
    if (asked != 0 && (asked <= 1 || qint32(quint32(now) - quint32(asked)) <= kThreeDays))
        return;

    CBootTip* prompt = CBootTip::Instance();
    prompt->SetTexts(QCoreApplication::translate("CStartupRules", "开机时自动启动Rezovuvove"), QCoreApplication::translate("CStartupRules", "关爱您的健康，让提醒更省心"), frame);
    const bool accepted = prompt->exec() == QDialog::Accepted;
    const bool boot = accepted && prompt->IsBootChecked();
    if (boot)
        settings->SetAutorunStatus(1);
    if (asked == 0)
        settings->SetBootTipsTimestamp(boot ? 1 : now);
    else if (boot)
        settings->SetBootTipsTimestamp(now);
}
}

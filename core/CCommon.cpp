#include "core/CCommon.h"

#include <random>

#include <QApplication>
#include <QFile>

#include "core/CGammaRamp.h"
#include "core/CIniSettings.h"
#include "core/CSystemUtil.h"
#include "clock.h"
#include "gammabackend.h"
#include "gammachoice.h"
#include "instancechannel.h"

namespace {
CCommon* g_common = nullptr;
}

CCommon::CCommon() = default;

CCommon::~CCommon() = default;

CCommon* CCommon::Instance()
{
    if (!g_common)
        g_common = new CCommon;
    return g_common;
}

void CCommon::Destroy()
{
    delete g_common;
    g_common = nullptr;
}

bool CCommon::IsFirstInstance()
{
    if (!m_instanceChannel)
        m_instanceChannel = new CInstanceChannel(QStringLiteral("QzHealthManager"), this);
    return m_instanceChannel->Claim("wake");
}

void CCommon::ReleaseInstance()
{
    if (m_instanceChannel)
        m_instanceChannel->Release();
}

CInstanceChannel* CCommon::InstanceChannel() const
{
    return m_instanceChannel;
}

void CCommon::LoadStyleSheet(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray sheet = file.readAll();
    const int zero = sheet.indexOf('\0');
    if (zero >= 0)
        sheet.truncate(zero);
    qApp->setStyleSheet(QString::fromLatin1(sheet));
}

void CCommon::RestartApplication()
{
    QCoreApplication::exit(RestartExitCode);
}

void CCommon::CheckNewDay()
{
    CIniSettings* settings = CIniSettings::Instance();
    const qint64 last = settings->GetTimestamp();
    const QDateTime now = CClock::LocalNow();
    if (last == 0) {
        settings->SetTimestamp(now.toSecsSinceEpoch());
    } else if (QDateTime::fromSecsSinceEpoch(last).date() != now.date()) {
        // The whole date counts: the 5th of next month is a new day too.
        settings->SetTimestamp(now.toSecsSinceEpoch());
        settings->SetScore(0);
        settings->SetAlreadyDrinksNumber(0);
        settings->SetLatelyNumber(0);
        settings->SetDayDrinksNumber(0);
        settings->SetCompletion(0);
        settings->SetMessageTipsMun(0);
    }
    CollectMonitors();
}

CGammaBackend* CCommon::Gamma()
{
    if (!m_gamma)
        m_gamma = GammaChoice::Create(CSystemUtil::DataFolder());
    return m_gamma.get();
}

void CCommon::CollectMonitors()
{
    Gamma()->Collect();
}

int CCommon::MonitorCount()
{
    return Gamma()->MonitorCount();
}

bool CCommon::CanTintScreen()
{
    return Gamma()->CanTint();
}

QString CCommon::UnsupportedTintText()
{
    return QStringLiteral("当前桌面不支持调节屏幕颜色");
}

void CCommon::SetColorTemperature(int kelvin)
{
    CGammaRamp ramp;
    ramp.FillColorTemperature(kelvin);
    Gamma()->SetTemperature(kelvin, {ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size});
}

void CCommon::ResetGammaRamp()
{
    CGammaRamp ramp;
    ramp.FillLinear();
    Gamma()->Restore({ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size});
}

int CCommon::Random(int n)
{
    if (n <= 0)
        return 0;
    const QTime time = CClock::LocalNow().time();
    std::minstd_rand generator(unsigned(time.second() * 1000 + time.msec()));
    return int(generator() % unsigned(n));
}

QString CCommon::FormatDuration(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

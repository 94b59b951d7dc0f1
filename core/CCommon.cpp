#include "core/CCommon.h"

#include <random>

#include <QApplication>
#include <QFile>

#include "core/CGammaRamp.h"
#include "core/CIniSettings.h"
#include "clock.h"
#include "gammadisplay.h"
#include "instancechannel.h"

namespace {
CCommon* g_common = nullptr;
}

CCommon::CCommon()
    : m_monitors(std::make_unique<CGammaDisplay>())
{
}

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

void CCommon::CollectMonitors()
{
    m_monitors->Collect();
}

int CCommon::MonitorCount() const
{
    return m_monitors->MonitorCount();
}

void CCommon::SetColorTemperature(int kelvin)
{
    if (m_monitors->MonitorCount() == 0)
        return;
    CGammaRamp ramp;
    ramp.FillColorTemperature(kelvin);
    m_monitors->Write(ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size);
}

void CCommon::ResetGammaRamp()
{
    if (m_monitors->MonitorCount() == 0)
        return;
    CGammaRamp ramp;
    ramp.FillLinear();
    m_monitors->Write(ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size);
}

QIcon CCommon::ProgramIcon()
{
    if (m_programIcon.isNull())
        m_programIcon = QIcon(QStringLiteral(":/Resources/ZiDozudaz.ico"));
    return m_programIcon;
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

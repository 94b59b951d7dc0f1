#include "core/CCommon.h"

#include <random>

#include <QApplication>
#include <QFile>
#include <QImageReader>

#include "core/CIniSettings.h"
#include "core/CGammaRamp.h"
#include "core/CScreenTint.h"
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

CInstanceChannel* CCommon::Channel()
{
    if (!m_instanceChannel)
        m_instanceChannel = new CInstanceChannel(QStringLiteral("QzHealthManager"), this);
    return m_instanceChannel;
}

bool CCommon::IsFirstInstance(const QByteArray& request, QByteArray* answer)
{
    return Channel()->Claim(request, answer);
}

bool CCommon::SendToRunningCopy(const QByteArray& request, QByteArray* answer)
{
    return Channel()->Send(request, answer);
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
    m_restartRequested = true;
    // Before the loop runs, exit() would only end the nested loop of a modal dialog: the dialog
    // would stay on screen, its answer would be lost and the restart forgotten.
    // The screens keep their tint: the new copy takes it over, so they never show the untinted
    // picture in between.
    if (m_loopRunning) {
        HandOverTint();
        QCoreApplication::exit(RestartExitCode);
    }
}

int CCommon::RunEventLoop()
{
    if (m_restartRequested) {
        HandOverTint();
        return RestartExitCode;
    }
    m_loopRunning = true;
    const int exitCode = QApplication::exec();
    m_loopRunning = false;
    return exitCode;
}

void CCommon::CheckNewDay()
{
    const qint64 last = CIniSettings::Instance()->GetTimestamp();
    const qint64 now = CClock::Now();
    if (last == 0 || last != m_checkedStamp || now < m_checkedDayStart || now >= m_checkedDayEnd)
        ResetCountersIfNewDay(last);
    CollectMonitors();
}

void CCommon::ResetCountersIfNewDay(qint64 last)
{
    CIniSettings* settings = CIniSettings::Instance();
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
    m_checkedStamp = settings->GetTimestamp();
    m_checkedDayStart = now.date().startOfDay().toSecsSinceEpoch();
    m_checkedDayEnd = now.date().addDays(1).startOfDay().toSecsSinceEpoch();
}

void CCommon::ChooseTint()
{
    if (m_screenTint || m_gamma)
        return;
    m_gamma = GammaChoice::Create(CSystemUtil::DataFolder());
    // Queued: the news may come in the middle of a write, and the views answer it with their own.
    auto changed = [this] { QMetaObject::invokeMethod(this, &CCommon::TintAbilityChanged, Qt::QueuedConnection); };
    if (m_gamma) {
        m_gamma->OnAbilityChanged(changed);
        return;
    }
    m_screenTint = new CScreenTint(this);
    connect(m_screenTint, &CScreenTint::MonitorsChanged, this, changed);
}

void CCommon::CollectMonitors()
{
    ChooseTint();
    if (m_screenTint)
        m_screenTint->Collect();
    else
        m_gamma->Collect();
}

int CCommon::MonitorCount()
{
    ChooseTint();
    return m_screenTint ? m_screenTint->MonitorCount() : m_gamma->MonitorCount();
}

bool CCommon::CanTintScreen()
{
    return UnsupportedTintText().isEmpty();
}

QString CCommon::UnsupportedTintText()
{
    // Asked before the start collected the monitors, the answer would be about none.
    CollectMonitors();
    TintAbility ability = TintAbility::Can;
    if (m_gamma)
        ability = m_gamma->Ability();
    else if (m_screenTint->MonitorCount() == 0)
        ability = TintAbility::NoMonitor;
    switch (ability) {
    case TintAbility::Can:
        break;
    case TintAbility::DesktopCannot:
        return tr("当前桌面不支持调节屏幕颜色");
    case TintAbility::HeldByAnotherProgram:
        return tr("另一个程序正在控制屏幕颜色");
    case TintAbility::NoMonitor:
        return tr("显示器不支持调节屏幕颜色");
    }
    return QString();
}

void CCommon::SetColorTemperature(int kelvin)
{
    ChooseTint();
    if (m_screenTint) {
        m_screenTint->SetColorTemperature(kelvin);
        return;
    }
    CGammaRamp ramp;
    ramp.FillColorTemperature(kelvin);
    m_gamma->SetTemperature(kelvin, {ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size});
}

void CCommon::FadeToColorTemperature(int kelvin)
{
    ChooseTint();
    if (m_screenTint)
        m_screenTint->FadeToColorTemperature(kelvin);
    else
        SetColorTemperature(kelvin);
}

void CCommon::FadeOutTint()
{
    ChooseTint();
    if (m_screenTint)
        m_screenTint->FadeOut();
    else
        ResetGammaRamp();
}

void CCommon::ReapplyTint()
{
    if (m_screenTint)
        m_screenTint->Reapply();
}

void CCommon::ResetGammaRamp()
{
    ChooseTint();
    if (m_screenTint) {
        m_screenTint->Restore();
        return;
    }
    CGammaRamp ramp;
    ramp.FillLinear();
    m_gamma->Restore({ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size});
}

void CCommon::HandOverTint()
{
    if (m_screenTint)
        m_screenTint->HandOver();
    else if (m_gamma)
        m_gamma->HandOver();
}

CScreenTint* CCommon::ScreenTint()
{
    ChooseTint();
    return m_screenTint;
}

QIcon CCommon::ProgramIcon()
{
    if (!m_programIcon.isNull())
        return m_programIcon;
    constexpr int kLargestSize = 64;
    QImageReader reader(QStringLiteral(":/Resources/ZiDozudaz.ico"));
    for (int index = 0; reader.jumpToImage(index); ++index) {
        // The size comes from the file's directory: a picture too large is never decoded.
        if (reader.size().width() > kLargestSize)
            continue;
        const QImage picture = reader.read();
        if (!picture.isNull())
            m_programIcon.addPixmap(QPixmap::fromImage(picture));
    }
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

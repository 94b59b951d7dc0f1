#include "core/CScreenTint.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimerEvent>

#include "executable.h"
#include "screenrestore.h"

namespace {
const QString kGuardProgram = QStringLiteral("QzScreenGuard");
// Within this distance of the straight line from 0 to 65535 a ramp counts as the identity: the
// server's own i × 257 and the untinted i × 256 both do.
constexpr int kIdentitySlack = 256;

bool IsIncreasing(const std::vector<std::uint16_t>& channel)
{
    for (size_t i = 1; i < channel.size(); ++i) {
        if (channel[i] < channel[i - 1])
            return false;
    }
    return channel.size() > 1 && channel.back() > channel.front();
}

bool IsIdentity(const std::vector<std::uint16_t>& channel)
{
    const qint64 last = qint64(channel.size()) - 1;
    for (size_t i = 0; i < channel.size(); ++i) {
        const qint64 straight = last > 0 ? qint64(i) * 65535 / last : 0;
        if (qAbs(qint64(channel[i]) - straight) > kIdentitySlack)
            return false;
    }
    return true;
}

bool IsCalibration(const stGammaRamps& ramps)
{
    const bool increasing = IsIncreasing(ramps.red) && IsIncreasing(ramps.green) && IsIncreasing(ramps.blue);
    return increasing && !(IsIdentity(ramps.red) && IsIdentity(ramps.green) && IsIdentity(ramps.blue));
}

void Linear(int size, stGammaRamps& ramps)
{
    CGammaRamp linear;
    linear.FillLinear();
    for (std::vector<std::uint16_t>* channel : {&ramps.red, &ramps.green, &ramps.blue})
        channel->resize(size_t(size));
    CGammaDisplay::Resample(linear.Red(), CGammaRamp::Size, ramps.red.data(), size);
    CGammaDisplay::Resample(linear.Green(), CGammaRamp::Size, ramps.green.data(), size);
    CGammaDisplay::Resample(linear.Blue(), CGammaRamp::Size, ramps.blue.data(), size);
}

float Between(float from, float to, float share)
{
    return from + (to - from) * share;
}

bool operator==(const CGammaRamp::Multipliers& a, const CGammaRamp::Multipliers& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// One record per display, so runs on two displays of one user keep apart.
std::string RecordPath(const std::string& display)
{
    QString name = QString::fromStdString(display);
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
        + QStringLiteral("/QzHealthManager-screen") + name)
        .toStdString();
}
}

CScreenTint::CScreenTint(QObject* parent)
    : QObject(parent)
{
}

CScreenTint::~CScreenTint()
{
    Restore();
}

void CScreenTint::Collect()
{
    if (m_display.MonitorCount() > 0)
        return;
    m_display.Collect();
    if (m_display.MonitorCount() == 0)
        return;
    m_recordPath = RecordPath(m_display.DisplayName());
    TakeOver();
    m_notifier = new QSocketNotifier(m_display.ConnectionFd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CScreenTint::OnDisplayEvents);
    emit MonitorsChanged();
}

// A record left behind means the screens may show a tint that nobody restored: a copy that
// restarted for a display change left it on purpose, a killed one by accident. Its ramps are
// what the screens showed before any tint, so they are kept as this run's own: the stored state
// then either tints over them or gives them back, without the screens going untinted between.
void CScreenTint::TakeOver()
{
    std::string record;
    std::string displayName;
    std::map<unsigned long, stGammaRamps> ramps;
    if (!ScreenRestore::Load(m_recordPath, record))
        return;
    if (!ScreenRestore::Parse(record, displayName, ramps) || displayName != m_display.DisplayName()) {
        ScreenRestore::Remove(m_recordPath);
        return;
    }
    for (int monitor = 0; monitor < m_display.MonitorCount(); ++monitor) {
        const auto kept = ramps.find(m_display.MonitorId(monitor));
        if (kept == ramps.end() || int(kept->second.red.size()) != m_display.RampSize(monitor)) {
            Keep(monitor);
            continue;
        }
        stKept taken;
        taken.ramps = std::move(kept->second);
        taken.calibrated = IsCalibration(taken.ramps);
        m_kept[kept->first] = std::move(taken);
    }
    Guard();
}

int CScreenTint::MonitorCount() const
{
    return m_display.MonitorCount();
}

void CScreenTint::SetColorTemperature(int kelvin)
{
    if (!Capture())
        return;
    StopFade();
    m_shown = CGammaRamp::ChannelMultipliers(kelvin);
    Show(m_shown);
}

void CScreenTint::FadeToColorTemperature(int kelvin)
{
    if (!Capture())
        return;
    const CGammaRamp::Multipliers target = CGammaRamp::ChannelMultipliers(kelvin);
    if (m_fadeTimerId && !m_restoreAfterFade && m_to == target)
        return;
    if (!m_fadeTimerId && m_shown == target) {
        Show(m_shown);
        return;
    }
    StartFade(target, false);
}

void CScreenTint::FadeOut()
{
    if (m_kept.empty()) {
        StopFade();
        return;
    }
    StartFade(CGammaRamp::Untinted(), true);
}

void CScreenTint::Restore()
{
    StopFade();
    if (m_kept.empty())
        return;
    for (int monitor = 0; monitor < m_display.MonitorCount(); ++monitor) {
        const auto kept = m_kept.find(m_display.MonitorId(monitor));
        if (kept == m_kept.end())
            continue;
        const stGammaRamps& ramps = kept->second.ramps;
        m_display.WriteMonitor(monitor, ramps.red.data(), ramps.green.data(), ramps.blue.data(), int(ramps.red.size()));
    }
    m_display.Flush();
    m_guard.Dismiss();
    ScreenRestore::Remove(m_recordPath);
    m_kept.clear();
    m_shown = CGammaRamp::Untinted();
}

void CScreenTint::Reapply()
{
    if (!m_kept.empty() && !m_fadeTimerId)
        Show(m_shown);
}

int CScreenTint::FadeTimerId() const
{
    return m_fadeTimerId;
}

void CScreenTint::Keep(int monitor)
{
    stKept kept;
    kept.calibrated = m_display.Read(monitor, kept.ramps) && IsCalibration(kept.ramps);
    if (!kept.calibrated)
        Linear(m_display.RampSize(monitor), kept.ramps);
    m_kept[m_display.MonitorId(monitor)] = std::move(kept);
}

bool CScreenTint::Capture()
{
    if (m_display.MonitorCount() == 0)
        return false;
    if (!m_kept.empty())
        return true;
    for (int monitor = 0; monitor < m_display.MonitorCount(); ++monitor)
        Keep(monitor);
    Guard();
    return true;
}

// Writes the record and hands it to a new guard: the guard keeps its own copy, so a record that
// could not be written (a full or odd runtime folder) still comes back after a kill.
void CScreenTint::Guard()
{
    std::vector<stGammaRamps> ramps;
    for (int monitor = 0; monitor < m_display.MonitorCount(); ++monitor)
        ramps.push_back(m_kept.at(m_display.MonitorId(monitor)).ramps);
    const std::string record = ScreenRestore::Record(m_display, ramps);
    if (!ScreenRestore::Save(m_recordPath, record))
        qWarning("QzHealthManager: the screen's ramps could not be recorded in %s", m_recordPath.c_str());
    const QString guard = Executable::Folder() + QLatin1Char('/') + kGuardProgram;
    if (QFileInfo(guard).isExecutable())
        m_guard.Start(QFile::encodeName(guard).toStdString(), m_recordPath, record);
}

void CScreenTint::HandOver()
{
    StopFade();
    m_guard.Dismiss();
    m_kept.clear();
}

void CScreenTint::Show(const CGammaRamp::Multipliers& multipliers)
{
    for (int monitor = 0; monitor < m_display.MonitorCount(); ++monitor) {
        const auto kept = m_kept.find(m_display.MonitorId(monitor));
        if (kept != m_kept.end() && kept->second.calibrated) {
            const stGammaRamps& calibration = kept->second.ramps;
            const size_t size = calibration.red.size();
            for (std::vector<std::uint16_t>* channel : {&m_scaled.red, &m_scaled.green, &m_scaled.blue})
                channel->resize(size);
            for (size_t i = 0; i < size; ++i) {
                m_scaled.red[i] = CGammaRamp::Scale(calibration.red[i], multipliers.red);
                m_scaled.green[i] = CGammaRamp::Scale(calibration.green[i], multipliers.green);
                m_scaled.blue[i] = CGammaRamp::Scale(calibration.blue[i], multipliers.blue);
            }
            m_display.WriteMonitor(monitor, m_scaled.red.data(), m_scaled.green.data(), m_scaled.blue.data(), int(size));
        } else {
            CGammaRamp ramp;
            ramp.FillScaled(multipliers);
            m_display.WriteMonitor(monitor, ramp.Red(), ramp.Green(), ramp.Blue(), CGammaRamp::Size);
        }
    }
    m_display.Flush();
    // The flush may have read news of the display that the socket will not announce again.
    if (m_display.TakeConfigurationChange())
        QMetaObject::invokeMethod(this, &CScreenTint::ApplyNewConfiguration, Qt::QueuedConnection);
}

void CScreenTint::StartFade(const CGammaRamp::Multipliers& target, bool restoreAfter)
{
    m_from = m_shown;
    m_to = target;
    m_step = 0;
    m_restoreAfterFade = restoreAfter;
    if (!m_fadeTimerId)
        m_fadeTimerId = startTimer(FadeStepMs, Qt::PreciseTimer);
}

void CScreenTint::StopFade()
{
    if (m_fadeTimerId)
        killTimer(m_fadeTimerId);
    m_fadeTimerId = 0;
}

void CScreenTint::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_fadeTimerId || m_fadeTimerId == 0) {
        QObject::timerEvent(event);
        return;
    }
    ++m_step;
    if (m_step >= FadeSteps) {
        StopFade();
        if (m_restoreAfterFade) {
            Restore();
        } else {
            m_shown = m_to;
            Show(m_shown);
        }
        return;
    }
    // Eased at both ends (smoothstep), so the change starts and settles gently.
    const float t = float(m_step) / float(FadeSteps);
    const float share = t * t * (3.0f - 2.0f * t);
    m_shown = {Between(m_from.red, m_to.red, share), Between(m_from.green, m_to.green, share),
        Between(m_from.blue, m_to.blue, share)};
    Show(m_shown);
}

void CScreenTint::OnDisplayEvents()
{
    if (m_display.TakeConfigurationChange())
        ApplyNewConfiguration();
}

// A monitor switched on, added or given a new mode may have lost its ramp; a new one is kept as
// it comes before the tint goes on it.
void CScreenTint::ApplyNewConfiguration()
{
    const int before = m_display.MonitorCount();
    m_display.Refresh();
    if (m_display.MonitorCount() != before)
        emit MonitorsChanged();
    if (m_kept.empty())
        return;
    bool added = false;
    for (int monitor = 0; monitor < m_display.MonitorCount(); ++monitor) {
        if (m_kept.count(m_display.MonitorId(monitor)) == 0) {
            Keep(monitor);
            added = true;
        }
    }
    if (added)
        Guard();
    Reapply();
}

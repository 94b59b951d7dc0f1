#include "CEyeshieldWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimerEvent>

#include "CAutomaticSettings.h"
#include "CColortempTips.h"
#include "core/CCommon.h"
#include "core/CGammaRamp.h"
#include "core/CIniSettings.h"

namespace {
constexpr int kAutomaticTickMs = 60000;
constexpr int kModeOff = 0;
constexpr int kModeAutomatic = 1;
constexpr int kModeWorking = 2;
constexpr int kModeGame = 3;
constexpr int kModePlayer = 4;
constexpr int kModeCustom = 5;
constexpr int kStatusOn = 2;
// A step of a point or two, the sun's pace, is written at once: one write a minute. A larger one
// fades.
constexpr int kStepWithoutFade = 2;
// The slider's handle is 20 pixels wide: its centre runs from x 10 to the width less 10.
constexpr int kHandleHalf = 10;

const char* const kAutomaticTips = QT_TRANSLATE_NOOP("CEyeshieldWindow", "根据晨夜光感不同，智能调节防蓝光强度");
const char* const kWorkingTips = QT_TRANSLATE_NOOP("CEyeshieldWindow", "适当过滤蓝色光，便于在工作中集中注意力");
const char* const kGameTips = QT_TRANSLATE_NOOP("CEyeshieldWindow", "完美展示特效，颜色比例保持真实度");
const char* const kPlayerTips = QT_TRANSLATE_NOOP("CEyeshieldWindow", "增强防蓝光强度，烘托影片氛围");
const char* const kOffTips = QT_TRANSLATE_NOOP("CEyeshieldWindow", "建议开启智能模式，可有效过滤蓝光辐射");

const QString kStyleSheet = QStringLiteral(R"(
#SubPanelWidget { background-color: #FFFFFF; }
#label_status_tips { color: #69887D; }
#check_status::indicator { width: 44px; height: 22px; }
#check_status::indicator:unchecked { image: url(:/Resources/Skin/Verd/switch_off.png); }
#check_status::indicator:checked { image: url(:/Resources/Skin/Verd/switch_on.png); }
#label_colortemp_num { color: #00D299; font-size: 22px; font-weight: bold; }
#label_colortemp_tips { color: #A5C5BA; }
#label_0, #label_5, #label_50, #label_75, #label_100 { color: #A5C5BA; font-size: 11px; }
#label_msg_tips { color: #A5C5BA; }
#slider_colortemp::groove:horizontal {
    height: 6px; margin: 0px 10px; border-radius: 3px; background: #E3F1EC;
}
#slider_colortemp::sub-page:horizontal {
    margin: 0px 0px 0px 10px; border-radius: 3px; background: #00D299;
}
#slider_colortemp::sub-page:horizontal:disabled { background: #D9E6E1; }
#slider_colortemp::handle:horizontal {
    width: 16px; height: 16px; margin: -7px -10px; border-radius: 10px;
    background: #FFFFFF; border: 2px solid #00D299;
}
#slider_colortemp::handle:horizontal:disabled { border-color: #D9E6E1; }
QPushButton#btn_automatic, QPushButton#btn_working, QPushButton#btn_game, QPushButton#btn_player {
    color: #69887D; background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px;
}
QPushButton#btn_automatic:hover, QPushButton#btn_working:hover, QPushButton#btn_game:hover,
QPushButton#btn_player:hover { border-color: #00D299; color: #00D299; }
QPushButton#btn_automatic:checked, QPushButton#btn_working:checked, QPushButton#btn_game:checked,
QPushButton#btn_player:checked { color: #FFFFFF; background-color: #00D299; border-color: #00D299; }
#btn_automatic_settings { color: #00D299; border: none; background: transparent; padding: 0px; }
#btn_automatic_settings:hover, #btn_automatic_settings:focus { text-decoration: underline; }
)");

QLabel* AddLabel(QWidget* parent, const QString& objectName, const QString& text, const QRect& geometry,
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

QPushButton* AddModeButton(QWidget* parent, const QString& objectName, const QString& text, int x)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setGeometry(x, 240, 56, 28);
    button->setCheckable(true);
    return button;
}
}

CEyeshieldWindow::CEyeshieldWindow(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CEyeshieldWindow"));
    resize(282, 328);
    setStyleSheet(kStyleSheet);
    BuildWidgets();

    connect(m_checkStatus, &QCheckBox::stateChanged, this, &CEyeshieldWindow::OnCheckStatus);
    connect(m_slider, &QSlider::valueChanged, this, &CEyeshieldWindow::OnSliderMoved);
    connect(m_btnAutomatic, &QPushButton::clicked, this, &CEyeshieldWindow::OnAutomatic_Click);
    connect(m_btnPlayer, &QPushButton::clicked, this, &CEyeshieldWindow::OnPlayer_Click);
    connect(m_btnGame, &QPushButton::clicked, this, &CEyeshieldWindow::OnGame_Click);
    connect(m_btnWorking, &QPushButton::clicked, this, &CEyeshieldWindow::OnWorking_Click);
    connect(CCommon::Instance(), &CCommon::TintAbilityChanged, this, [this] { ShowDescription(m_description); });
    for (QWidget* watched : std::initializer_list<QWidget*>{m_slider, m_btnAutomatic, m_btnWorking, m_btnGame,
             m_btnPlayer})
        watched->installEventFilter(this);

    // With the connection in place, a stored "on" applies the stored mode right here. A stored
    // "off" gives back a tint taken over from the run before (one that restarted, or was killed).
    m_checkStatus->setChecked(CIniSettings::Instance()->GetEyeshieldStatus() != 0);
    if (!m_checkStatus->isChecked())
        CCommon::Instance()->ResetGammaRamp();
    m_fades = true;
}

void CEyeshieldWindow::BuildWidgets()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("SubPanelWidget"));
    panel->setGeometry(0, 0, 280, 328);
    panel->setAttribute(Qt::WA_StyledBackground);

    AddLabel(panel, QStringLiteral("label_status_tips"), tr("防蓝光："), QRect(24, 18, 48, 12));
    m_checkStatus = new QCheckBox(panel);
    m_checkStatus->setObjectName(QStringLiteral("check_status"));
    m_checkStatus->setGeometry(70, 13, 52, 22);
    auto* automaticSettings = new QPushButton(tr("智能模式设置"), panel);
    automaticSettings->setObjectName(QStringLiteral("btn_automatic_settings"));
    automaticSettings->setCursor(Qt::PointingHandCursor);
    const int settingsWidth = automaticSettings->sizeHint().width();
    automaticSettings->setGeometry(256 - settingsWidth, 13, settingsWidth, 22);
    connect(automaticSettings, &QPushButton::clicked, this, &CEyeshieldWindow::OnAutomaticSettings_Click);

    m_colortempNum = AddLabel(panel, QStringLiteral("label_colortemp_num"), QStringLiteral("0%"),
        QRect(100, 80, 80, 24), Qt::AlignCenter);
    AddLabel(panel, QStringLiteral("label_colortemp_tips"), tr("防蓝光强度"), QRect(100, 109, 80, 14),
        Qt::AlignCenter);

    m_slider = new QSlider(Qt::Horizontal, panel);
    m_slider->setObjectName(QStringLiteral("slider_colortemp"));
    m_slider->setGeometry(35, 130, 210, 31);
    m_slider->setRange(0, 100);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(10);

    const struct
    {
        const char* name;
        const char* text;
        int x;
    } scale[] = {{"label_0", "0", 45}, {"label_5", "25", 90}, {"label_50", "50", 135}, {"label_75", "75", 180},
        {"label_100", "100", 220}};
    for (const auto& mark : scale)
        AddLabel(panel, QLatin1String(mark.name), QLatin1String(mark.text), QRect(mark.x, 160, 24, 14));

    m_btnAutomatic = AddModeButton(panel, QStringLiteral("btn_automatic"), tr("智能"), 30);
    m_btnWorking = AddModeButton(panel, QStringLiteral("btn_working"), tr("办公"), 85);
    m_btnGame = AddModeButton(panel, QStringLiteral("btn_game"), tr("游戏"), 140);
    m_btnPlayer = AddModeButton(panel, QStringLiteral("btn_player"), tr("看片"), 195);
    m_actionGroup = new QButtonGroup(this);
    m_actionGroup->setObjectName(QStringLiteral("actionGroup"));
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{m_btnAutomatic, m_btnWorking, m_btnGame,
             m_btnPlayer})
        m_actionGroup->addButton(button);

    m_msgTips = AddLabel(panel, QStringLiteral("label_msg_tips"), QString(), QRect(10, 295, 260, 12), Qt::AlignCenter);
    ShowDescription(tr("建议开启智能模式,可有效过滤蓝光辐射"));
}

int CEyeshieldWindow::AutomaticTimerId() const
{
    return m_timerId;
}

int CEyeshieldWindow::Strength() const
{
    return m_checkStatus->isChecked() ? m_slider->value() : 0;
}

void CEyeshieldWindow::SwitchTo(bool on)
{
    m_checkStatus->setChecked(on);
}

void CEyeshieldWindow::FadeToStrength(int strength)
{
    ApplyCustom(strength, true);
}

void CEyeshieldWindow::OnCheckStatus(int status)
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetEyeshieldStatus(status);
    if (status != 0) {
        ApplyStoredMode();
        return;
    }
    ShowStrength(0);
    m_slider->setEnabled(false);
    UncheckModeButtons();
    CCommon::Instance()->FadeOutTint();
    StopAutomaticTimer();
    settings->SetEyeshieldMode(kModeOff);
    ShowDescription(tr(kOffTips));
}

void CEyeshieldWindow::ApplyStoredMode()
{
    CIniSettings* settings = CIniSettings::Instance();
    switch (settings->GetEyeshieldMode()) {
    case kModeOff:
    case kModeAutomatic:
        // Switching off stores mode 0, so switching on again always lands in automatic mode.
        OnAutomatic_Click();
        break;
    case kModeWorking:
        OnWorking_Click();
        break;
    case kModeGame:
        OnGame_Click();
        break;
    case kModePlayer:
        OnPlayer_Click();
        break;
    case kModeCustom:
        ApplyCustom(settings->GetColortempNumber(), m_fades);
        break;
    default:
        break;
    }
}

void CEyeshieldWindow::OnSliderMoved(int nIndex)
{
    ApplyCustom(nIndex, false);
}

void CEyeshieldWindow::ApplyCustom(int strength, bool fade)
{
    SwitchOn();
    m_slider->setEnabled(true);
    UncheckModeButtons();
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetEyeshieldMode(kModeCustom);
    StopAutomaticTimer();
    ShowStrength(strength);
    settings->SetColortempNumber(strength);
    Tint(strength, fade);
}

void CEyeshieldWindow::Tint(int strength, bool fade)
{
    const int kelvin = CGammaRamp::KelvinForStrength(strength);
    if (fade)
        CCommon::Instance()->FadeToColorTemperature(kelvin);
    else
        CCommon::Instance()->SetColorTemperature(kelvin);
}

void CEyeshieldWindow::OnAutomatic_Click()
{
    SwitchOn();
    m_slider->setEnabled(true);
    ShowDescription(tr(kAutomaticTips));
    CIniSettings::Instance()->SetEyeshieldMode(kModeAutomatic);
    StartAutomaticTimer();
    const int strength = m_automatic.Now();
    ShowStrength(strength);
    Tint(strength, m_fades);
    CheckModeButton(m_btnAutomatic);
}

void CEyeshieldWindow::OnAutomaticSettings_Click()
{
    if (!m_automaticSettings) {
        m_automaticSettings = new CAutomaticSettings(this);
        connect(m_automaticSettings, &CAutomaticSettings::AutomaticChanged_Signals, this,
            &CEyeshieldWindow::OnAutomaticSettings_Changed);
    } else {
        m_automaticSettings->LoadSettings();
    }
    m_automaticSettings->show();
    m_automaticSettings->raise();
    m_automaticSettings->activateWindow();
}

void CEyeshieldWindow::OnAutomaticSettings_Changed()
{
    if (!m_checkStatus->isChecked() || CIniSettings::Instance()->GetEyeshieldMode() != kModeAutomatic)
        return;
    const int strength = m_automatic.Now();
    if (strength == m_slider->value())
        return;
    ShowStrength(strength);
    Tint(strength, true);
}

void CEyeshieldWindow::OnPlayer_Click()
{
    ApplyPreset(30, kModePlayer, m_btnPlayer, tr(kPlayerTips));
}

void CEyeshieldWindow::OnGame_Click()
{
    ApplyPreset(10, kModeGame, m_btnGame, tr(kGameTips));
}

void CEyeshieldWindow::OnWorking_Click()
{
    ApplyPreset(20, kModeWorking, m_btnWorking, tr(kWorkingTips));
}

void CEyeshieldWindow::ApplyPreset(int strength, int mode, QAbstractButton* button, const QString& description)
{
    SwitchOn();
    ShowStrength(strength);
    m_slider->setEnabled(true);
    ShowDescription(description);
    StopAutomaticTimer();
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetColortempNumber(strength);
    settings->SetEyeshieldMode(mode);
    Tint(strength, m_fades);
    CheckModeButton(button);
}

// A mode chosen while protection is off switches it on. The chosen mode is applied right after,
// so the stored mode is not applied first: that would tint the screen twice.
void CEyeshieldWindow::SwitchOn()
{
    if (m_checkStatus->isChecked())
        return;
    {
        const QSignalBlocker blocker(m_checkStatus);
        m_checkStatus->setChecked(true);
    }
    CIniSettings::Instance()->SetEyeshieldStatus(kStatusOn);
}

void CEyeshieldWindow::ShowStrength(int strength)
{
    m_colortempNum->setText(QStringLiteral("%1%").arg(strength));
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(strength);
}

void CEyeshieldWindow::CheckModeButton(QAbstractButton* button)
{
    m_actionGroup->setExclusive(true);
    button->setChecked(true);
}

// An exclusive group keeps one button checked, so it has to let go first.
void CEyeshieldWindow::UncheckModeButtons()
{
    m_actionGroup->setExclusive(false);
    for (QAbstractButton* button : m_actionGroup->buttons())
        button->setChecked(false);
}

void CEyeshieldWindow::StartAutomaticTimer()
{
    StopAutomaticTimer();
    m_timerId = startTimer(kAutomaticTickMs, Qt::CoarseTimer);
}

void CEyeshieldWindow::StopAutomaticTimer()
{
    if (m_timerId)
        killTimer(m_timerId);
    m_timerId = 0;
}

void CEyeshieldWindow::ShowDescription(const QString& description)
{
    m_description = description;
    const QString unsupported = CCommon::Instance()->UnsupportedTintText();
    m_msgTips->setText(unsupported.isEmpty() ? description : unsupported);
}

void CEyeshieldWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId || m_timerId == 0) {
        QDialog::timerEvent(event);
        return;
    }
    if (!m_checkStatus->isChecked())
        return;
    const int before = m_slider->value();
    const int strength = m_automatic.Now();
    ShowStrength(strength);
    // Rewritten every minute, also unchanged: something else may have reset the ramp meanwhile.
    Tint(strength, qAbs(strength - before) > kStepWithoutFade);
    if (CIniSettings::Instance()->GetEyeshieldMode() == kModeAutomatic && m_automatic.Announces(before, strength))
        (new CColortempTips)->show();
}

bool CEyeshieldWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (auto* widget = qobject_cast<QWidget*>(watched))
            widget->setCursor(Qt::PointingHandCursor);
    } else if (watched == m_slider && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (CIniSettings::Instance()->GetEyeshieldMode() == kModeOff) {
            ShowStrength(0);
            m_slider->setEnabled(false);
        } else if (press->button() == Qt::LeftButton) {
            JumpToPress(press->pos().x());
        }
    }
    // The press still reaches the slider, which then drags the handle from the pressed point.
    return QDialog::eventFilter(watched, event);
}

void CEyeshieldWindow::JumpToPress(int x)
{
    const int minimum = m_slider->minimum();
    const int maximum = m_slider->maximum();
    const int track = m_slider->width() - 2 * kHandleHalf;
    if (track <= 0)
        return;
    const int value = qBound(0, minimum + (x - kHandleHalf) * (maximum - minimum) / track, 100);
    // Set as the user's own change, so it runs the custom procedure.
    if (value != m_slider->sliderPosition())
        m_slider->setValue(value);
}

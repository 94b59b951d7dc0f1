#include "CAutomaticSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWindow>

#include "CAutomaticStrength.h"
#include "CSolarPosition.h"
#include "CTimeZonePlace.h"
#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "core/CPanelShadow.h"
#include "clock.h"

namespace {
constexpr int kStatusOn = 2;
constexpr int kPlaceTyped = 2;
// The shadow needs this much room around the panel.
constexpr int kShadowMargin = 5;
// The choices of one way sit this far in under its radio button.
constexpr int kIndent = 22;
constexpr int kTransitionStep = 5;

const QString kStyleSheet = QStringLiteral(R"(
#AutomaticSettingsPanel { background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px; }
#AutomaticSettingsPanel #Head {
    background-color: #00D299; border-top-left-radius: 4px; border-top-right-radius: 4px;
}
#label_title { color: #FFFFFF; }
#btn_close { border: none; border-image: url(:/Resources/Skin/Verd/dialog_close.png); }
#btn_close:hover, #btn_close:focus { border-image: url(:/Resources/Skin/Verd/dialog_close_hover.png); }
#check_daynight_status { padding: 1px; border: 1px solid transparent; border-radius: 4px; }
#check_daynight_status:focus { border-color: #00D299; }
#check_daynight_status::indicator { width: 44px; height: 22px; }
#check_daynight_status::indicator:unchecked { image: url(:/Resources/Skin/Verd/switch_off.png); }
#check_daynight_status::indicator:checked { image: url(:/Resources/Skin/Verd/switch_on.png); }
#label_sun_today, #label_hint { color: #A5C5BA; }
QLabel:disabled, QCheckBox:disabled { color: #C5D6D0; }
QSpinBox, QDoubleSpinBox, QTimeEdit {
    color: #69887D; background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px;
    padding: 2px 4px; min-height: 20px;
}
QSpinBox:focus, QDoubleSpinBox:focus, QTimeEdit:focus { border-color: #00D299; }
QAbstractSpinBox::up-button, QAbstractSpinBox::down-button {
    width: 16px; border: none; background: transparent; subcontrol-origin: border;
}
QAbstractSpinBox::up-button { subcontrol-position: top right; }
QAbstractSpinBox::down-button { subcontrol-position: bottom right; }
QAbstractSpinBox::up-arrow { image: url(:/Resources/Skin/Verd/spin_arrow_up.png); width: 10px; height: 6px; }
QAbstractSpinBox::down-arrow { image: url(:/Resources/Skin/Verd/combo_arrow.png); width: 10px; height: 6px; }
QAbstractSpinBox::up-arrow:disabled, QAbstractSpinBox::down-arrow:disabled { image: none; }
QSpinBox:disabled, QDoubleSpinBox:disabled, QTimeEdit:disabled { color: #C5D6D0; background-color: #F6FBF9; }
)");

QLabel* AddBuddy(const QString& objectName, const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setBuddy(control);
    return label;
}

QHBoxLayout* Row(QVBoxLayout* column, int indent = 0)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->setContentsMargins(indent, 0, 0, 0);
    column->addLayout(row);
    return row;
}

QDoubleSpinBox* AddAngle(const QString& objectName, double limit, const QString& description, QWidget* parent)
{
    auto* angle = new QDoubleSpinBox(parent);
    angle->setObjectName(objectName);
    angle->setRange(-limit, limit);
    angle->setDecimals(2);
    angle->setSingleStep(0.5);
    angle->setSuffix(QStringLiteral("°"));
    // Typing a number is one change, stored when it is complete.
    angle->setKeyboardTracking(false);
    angle->setAccessibleDescription(description);
    angle->setToolTip(description);
    return angle;
}

QSpinBox* AddStrength(const QString& objectName, QWidget* parent)
{
    auto* strength = new QSpinBox(parent);
    strength->setObjectName(objectName);
    strength->setRange(0, CAutomaticStrength::MaxStrength);
    strength->setSuffix(QStringLiteral("%"));
    strength->setKeyboardTracking(false);
    return strength;
}

QTimeEdit* AddTime(const QString& objectName, QWidget* parent)
{
    auto* time = new QTimeEdit(parent);
    time->setObjectName(objectName);
    time->setDisplayFormat(QStringLiteral("HH:mm"));
    // Stepping past midnight goes on to the next day's hours, as a night does.
    time->setWrapping(true);
    time->setKeyboardTracking(false);
    return time;
}
}

CAutomaticSettings::CAutomaticSettings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CAutomaticSettings"));
    setWindowTitle(tr("智能模式设置"));
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(kStyleSheet);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin);
    // The size follows the texts, so no language cuts them.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("AutomaticSettingsPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    CPanelShadow::Attach(panel);
    outer->addWidget(panel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildHead(panel));
    column->addWidget(BuildBody(panel));

    connect(m_status, &QCheckBox::stateChanged, this, &CAutomaticSettings::OnDayNightStatus_StateChanged);
    connect(m_sun, &QRadioButton::toggled, this, &CAutomaticSettings::OnSun_Toggled);
    connect(m_zonePlace, &QCheckBox::stateChanged, this, &CAutomaticSettings::OnZonePlace_StateChanged);
    connect(m_latitude, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
        &CAutomaticSettings::OnLatitude_ValueChanged);
    connect(m_longitude, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
        &CAutomaticSettings::OnLongitude_ValueChanged);
    connect(m_nightFrom, &QTimeEdit::timeChanged, this, &CAutomaticSettings::OnNightFrom_TimeChanged);
    connect(m_nightTo, &QTimeEdit::timeChanged, this, &CAutomaticSettings::OnNightTo_TimeChanged);
    connect(m_transition, qOverload<int>(&QSpinBox::valueChanged), this,
        &CAutomaticSettings::OnTransition_ValueChanged);
    connect(m_dayStrength, qOverload<int>(&QSpinBox::valueChanged), this,
        &CAutomaticSettings::OnDayStrength_ValueChanged);
    connect(m_nightStrength, qOverload<int>(&QSpinBox::valueChanged), this,
        &CAutomaticSettings::OnNightStrength_ValueChanged);
    LoadSettings();
}

QWidget* CAutomaticSettings::BuildHead(QWidget* panel)
{
    auto* head = new QWidget(panel);
    head->setObjectName(QStringLiteral("Head"));
    head->setAttribute(Qt::WA_StyledBackground);
    head->setFixedHeight(26);
    auto* row = new QHBoxLayout(head);
    row->setContentsMargins(10, 2, 8, 2);
    auto* title = new QLabel(tr("智能模式设置"), head);
    title->setObjectName(QStringLiteral("label_title"));
    row->addWidget(title, 1);
    auto* close = new QPushButton(head);
    close->setObjectName(QStringLiteral("btn_close"));
    close->setFixedSize(16, 16);
    close->setCursor(Qt::PointingHandCursor);
    close->setAccessibleName(tr("关闭"));
    close->setToolTip(tr("关闭"));
    connect(close, &QPushButton::clicked, this, &CAutomaticSettings::OnClose_Click);
    row->addWidget(close);
    return head;
}

QWidget* CAutomaticSettings::BuildBody(QWidget* panel)
{
    auto* body = new QWidget(panel);
    body->setObjectName(QStringLiteral("Body"));
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(18, 14, 18, 14);
    column->setSpacing(8);

    m_status = new QCheckBox(body);
    m_status->setObjectName(QStringLiteral("check_daynight_status"));
    m_status->setAccessibleName(tr("按昼夜调节"));
    m_status->setCursor(Qt::PointingHandCursor);
    QHBoxLayout* row = Row(column);
    row->addWidget(AddBuddy(QStringLiteral("label_daynight_status"), tr("按昼夜调节："), m_status, body));
    row->addWidget(m_status);
    row->addStretch();

    m_sun = new QRadioButton(tr("跟随所在地的日出日落"), body);
    m_sun->setObjectName(QStringLiteral("radio_sun"));
    column->addWidget(m_sun);
    m_zonePlace = new QCheckBox(body);
    m_zonePlace->setObjectName(QStringLiteral("check_zone_place"));
    Row(column, kIndent)->addWidget(m_zonePlace);
    m_latitude = AddAngle(QStringLiteral("spin_latitude"), 90.0, tr("北纬为正，南纬为负"), body);
    m_longitude = AddAngle(QStringLiteral("spin_longitude"), 180.0, tr("东经为正，西经为负"), body);
    row = Row(column, kIndent);
    row->addWidget(AddBuddy(QStringLiteral("label_latitude"), tr("纬度："), m_latitude, body));
    row->addWidget(m_latitude);
    row->addSpacing(8);
    row->addWidget(AddBuddy(QStringLiteral("label_longitude"), tr("经度："), m_longitude, body));
    row->addWidget(m_longitude);
    row->addStretch();
    m_sunToday = new QLabel(body);
    m_sunToday->setObjectName(QStringLiteral("label_sun_today"));
    Row(column, kIndent)->addWidget(m_sunToday);

    m_clock = new QRadioButton(tr("固定时间"), body);
    m_clock->setObjectName(QStringLiteral("radio_clock"));
    column->addWidget(m_clock);
    auto* sources = new QButtonGroup(this);
    sources->addButton(m_sun);
    sources->addButton(m_clock);
    m_nightFrom = AddTime(QStringLiteral("time_night_from"), body);
    m_nightTo = AddTime(QStringLiteral("time_night_to"), body);
    row = Row(column, kIndent);
    row->addWidget(AddBuddy(QStringLiteral("label_night_from"), tr("夜间从："), m_nightFrom, body));
    row->addWidget(m_nightFrom);
    row->addWidget(AddBuddy(QStringLiteral("label_night_to"), tr("到："), m_nightTo, body));
    row->addWidget(m_nightTo);
    row->addStretch();
    m_transition = new QSpinBox(body);
    m_transition->setObjectName(QStringLiteral("spin_transition"));
    m_transition->setRange(0, CAutomaticStrength::MaxTransitionMinutes);
    m_transition->setSingleStep(kTransitionStep);
    m_transition->setSuffix(tr(" 分钟"));
    m_transition->setKeyboardTracking(false);
    row = Row(column, kIndent);
    row->addWidget(AddBuddy(QStringLiteral("label_transition"), tr("渐变时长："), m_transition, body));
    row->addWidget(m_transition);
    row->addStretch();

    m_dayStrength = AddStrength(QStringLiteral("spin_day_strength"), body);
    m_nightStrength = AddStrength(QStringLiteral("spin_night_strength"), body);
    column->addSpacing(4);
    row = Row(column);
    row->addWidget(AddBuddy(QStringLiteral("label_day_strength"), tr("白天强度："), m_dayStrength, body));
    row->addWidget(m_dayStrength);
    row->addSpacing(8);
    row->addWidget(AddBuddy(QStringLiteral("label_night_strength"), tr("夜间强度："), m_nightStrength, body));
    row->addWidget(m_nightStrength);
    row->addStretch();
    auto* hint = new QLabel(tr("在“智能”模式下生效"), body);
    hint->setObjectName(QStringLiteral("label_hint"));
    column->addWidget(hint);
    return body;
}

void CAutomaticSettings::LoadSettings()
{
    // Showing the stored values is not a change: nothing may be written back.
    const QSignalBlocker blockers[] = {QSignalBlocker(m_status), QSignalBlocker(m_sun), QSignalBlocker(m_zonePlace),
        QSignalBlocker(m_latitude), QSignalBlocker(m_longitude), QSignalBlocker(m_nightFrom), QSignalBlocker(m_nightTo),
        QSignalBlocker(m_transition), QSignalBlocker(m_dayStrength), QSignalBlocker(m_nightStrength)};
    CIniSettings* settings = CIniSettings::Instance();
    m_zoneCity = CTimeZonePlace::ForSystemZone();
    m_status->setChecked(settings->GetDayNightStatus() != 0);
    const bool bySun = settings->GetDayNightSource() != CAutomaticStrength::ByClock;
    m_sun->setChecked(bySun);
    m_clock->setChecked(!bySun);
    m_zonePlace->setText(m_zoneCity ? tr("使用时区所在城市：%1").arg(m_zoneCity->strCity)
                                    : tr("时区未指明城市，请填写经纬度"));
    m_zonePlace->setChecked(m_zoneCity && settings->GetPlaceTyped() != kPlaceTyped);
    m_latitude->setValue(settings->GetLatitude());
    m_longitude->setValue(settings->GetLongitude());
    m_nightFrom->setTime(settings->GetNightFrom());
    m_nightTo->setTime(settings->GetNightTo());
    m_transition->setValue(settings->GetTransitionMinutes());
    m_dayStrength->setValue(settings->GetDayStrength());
    m_nightStrength->setValue(settings->GetNightStrength());
    ShowChoices();
    ShowSunToday();
}

void CAutomaticSettings::ShowChoices()
{
    const bool bySun = m_sun->isChecked();
    m_zonePlace->setEnabled(bySun && m_zoneCity);
    const bool zoneCity = m_zonePlace->isChecked();
    if (zoneCity) {
        const QSignalBlocker latitudeBlocker(m_latitude);
        const QSignalBlocker longitudeBlocker(m_longitude);
        m_latitude->setValue(m_zoneCity->latitude);
        m_longitude->setValue(m_zoneCity->longitude);
    }
    for (QWidget* typed : std::initializer_list<QWidget*>{m_latitude, m_longitude})
        typed->setEnabled(bySun && !zoneCity);
    m_sunToday->setEnabled(bySun);
    for (QWidget* clock : std::initializer_list<QWidget*>{m_nightFrom, m_nightTo, m_transition})
        clock->setEnabled(!bySun);
}

void CAutomaticSettings::ShowSunToday()
{
    if (!m_zoneCity && CIniSettings::Instance()->GetPlaceTyped() != kPlaceTyped) {
        m_sunToday->clear();
        return;
    }
    const CSolarPosition::stSunDay day =
        CSolarPosition::Day(CClock::LocalNow().date(), m_latitude->value(), m_longitude->value());
    switch (day.kind) {
    case CSolarPosition::stSunDay::PolarDay:
        m_sunToday->setText(tr("今天太阳整日不落"));
        break;
    case CSolarPosition::stSunDay::PolarNight:
        m_sunToday->setText(tr("今天太阳整日不升起"));
        break;
    case CSolarPosition::stSunDay::Ordinary: {
        const QString format = QStringLiteral("hh:mm");
        m_sunToday->setText(tr("今天日出 %1，日落 %2")
                                .arg(QDateTime::fromSecsSinceEpoch(day.sunrise).toString(format),
                                    QDateTime::fromSecsSinceEpoch(day.sunset).toString(format)));
        break;
    }
    }
}

void CAutomaticSettings::Changed()
{
    emit AutomaticChanged_Signals();
}

void CAutomaticSettings::OnDayNightStatus_StateChanged(int state)
{
    CIniSettings::Instance()->SetDayNightStatus(state == Qt::Unchecked ? 0 : kStatusOn);
    Changed();
}

void CAutomaticSettings::OnSun_Toggled(bool checked)
{
    CIniSettings::Instance()->SetDayNightSource(checked ? CAutomaticStrength::BySun : CAutomaticStrength::ByClock);
    ShowChoices();
    Changed();
}

void CAutomaticSettings::OnZonePlace_StateChanged(int state)
{
    // Typing starts from the city's coordinates, which the boxes show.
    if (state == Qt::Unchecked)
        StoreTypedPlace();
    else
        CIniSettings::Instance()->SetPlaceTyped(0);
    ShowChoices();
    ShowSunToday();
    Changed();
}

void CAutomaticSettings::OnLatitude_ValueChanged(double)
{
    StoreTypedPlace();
    ShowSunToday();
    Changed();
}

void CAutomaticSettings::OnLongitude_ValueChanged(double)
{
    StoreTypedPlace();
    ShowSunToday();
    Changed();
}

void CAutomaticSettings::StoreTypedPlace()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetPlaceTyped(kPlaceTyped);
    settings->SetLatitude(m_latitude->value());
    settings->SetLongitude(m_longitude->value());
}

void CAutomaticSettings::OnNightFrom_TimeChanged(const QTime& time)
{
    CIniSettings::Instance()->SetNightFrom(time);
    Changed();
}

void CAutomaticSettings::OnNightTo_TimeChanged(const QTime& time)
{
    CIniSettings::Instance()->SetNightTo(time);
    Changed();
}

void CAutomaticSettings::OnTransition_ValueChanged(int minutes)
{
    CIniSettings::Instance()->SetTransitionMinutes(minutes);
    Changed();
}

void CAutomaticSettings::OnDayStrength_ValueChanged(int strength)
{
    CIniSettings::Instance()->SetDayStrength(strength);
    Changed();
}

void CAutomaticSettings::OnNightStrength_ValueChanged(int strength)
{
    CIniSettings::Instance()->SetNightStrength(strength);
    Changed();
}

void CAutomaticSettings::OnClose_Click()
{
    close();
}

void CAutomaticSettings::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && windowHandle())
        windowHandle()->startSystemMove();
    event->ignore();
}

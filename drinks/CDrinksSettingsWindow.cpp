#include "CDrinksSettingsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTimerEvent>

#include "core/CIniSettings.h"
#include "clock.h"

namespace {
constexpr int kDefaultTarget = 1000;
constexpr int kDefaultAmount = 100;
constexpr int kMaxTarget = 5000;
constexpr int kMaxAmount = 500;
// A 0 h 0 min interval is never stored; it becomes this many minutes.
constexpr int kShortestMinutes = 5;
// What an empty minute list stands for.
constexpr int kEmptyMinutes = 45;
// Grid points looked at for the next reminder: a day of the shortest interval and more.
constexpr int kMaxSteps = 1439;

const QString kPageStyle = QStringLiteral(R"(
#SubPanelWidget { background-color: #FFFFFF; border-bottom-left-radius: 4px; border-bottom-right-radius: 4px; }
#SubPanelWidget QLabel { color: rgba(105,136,125,1); font-size: 12px; }
#SubPanelWidget #label_runtime { color: rgba(0,210,153,1); font-size: 14px; font-weight: bold; }
#SubPanelWidget #label_8 { color: rgba(165,197,186,1); }
#SubPanelWidget QCheckBox { spacing: 0px; }
#SubPanelWidget QCheckBox::indicator { width: 44px; height: 22px; }
#SubPanelWidget QCheckBox::indicator:unchecked { image: url(:/Resources/Skin/Verd/switch_off.png); }
#SubPanelWidget QCheckBox::indicator:checked { image: url(:/Resources/Skin/Verd/switch_on.png); }
#SubPanelWidget QCheckBox::indicator:focus { border: 1px solid rgba(0,210,153,1); border-radius: 11px; }
#SubPanelWidget QLineEdit { color: rgba(105,136,125,1); font-size: 13px; padding: 0px 6px;
    background-color: rgba(239,252,247,1); border: 1px solid #C0E2D7; border-radius: 4px; }
#SubPanelWidget QLineEdit:focus { border-color: rgba(0,210,153,1); }
#SubPanelWidget QComboBox { combobox-popup: 0; color: rgba(105,136,125,1); font-size: 13px; padding: 0px 6px;
    background-color: rgba(239,252,247,1); border: 1px solid #C0E2D7; border-radius: 4px; }
#SubPanelWidget QComboBox:hover, #SubPanelWidget QComboBox:on, #SubPanelWidget QComboBox:focus { border-color: rgba(0,210,153,1); }
#SubPanelWidget QComboBox::drop-down { border: none; width: 18px; }
#SubPanelWidget QComboBox::down-arrow { image: url(:/Resources/Skin/Verd/combo_arrow.png); width: 10px; height: 6px; }
#SubPanelWidget QComboBox QAbstractItemView { background-color: #FFFFFF; border: 1px solid #C0E2D7;
    outline: 0px; selection-background-color: #DEF0EA; selection-color: rgba(0,210,153,1); }
#SubPanelWidget QComboBox QAbstractItemView::item { min-height: 22px; padding-left: 6px; color: rgba(105,136,125,1); }
#SubPanelWidget QComboBox QAbstractItemView::item:selected { background-color: #DEF0EA; color: rgba(0,210,153,1); }
#SubPanelWidget QComboBox QScrollBar:vertical { width: 6px; background: #FFFFFF; margin: 2px 1px; }
#SubPanelWidget QComboBox QScrollBar::handle:vertical { background: #C0E2D7; border-radius: 2px; min-height: 20px; }
#SubPanelWidget QComboBox QScrollBar::add-line:vertical, #SubPanelWidget QComboBox QScrollBar::sub-line:vertical { height: 0px; }
#SubPanelWidget QComboBox QScrollBar::add-page:vertical, #SubPanelWidget QComboBox QScrollBar::sub-page:vertical { background: none; }
)");
}

CDrinksSettingsWindow::CDrinksSettingsWindow(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CDrinksSettingsWindow"));
    resize(282, 328);
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("SubPanelWidget"));
    m_panel->setGeometry(0, 0, 280, 328);
    m_panel->setAttribute(Qt::WA_StyledBackground);
    m_panel->setStyleSheet(kPageStyle);

    QLabel* statusLabel = AddLabel(QStringLiteral("label_7"), QRect(24, 18, 58, 12), tr("定时提醒："));
    m_status = AddSwitch(QStringLiteral("checkbox_drinks_status"), QRect(82, 13, 52, 22));
    QLabel* waterLabel = AddLabel(QStringLiteral("label_14"), QRect(145, 17, 58, 12), tr("喝水音效："));
    m_water = AddSwitch(QStringLiteral("checkbox_drinks_water"), QRect(203, 13, 52, 22));
    QLabel* promptLabel = AddLabel(QStringLiteral("label_15"), QRect(23, 57, 54, 12), tr("提醒音效："));
    m_prompt = AddSwitch(QStringLiteral("checkbox_drinks_prompt"), QRect(82, 53, 52, 22));

    QLabel* dayTargetLabel = AddLabel(QStringLiteral("label"), QRect(24, 101, 64, 12), tr("每日目标："));
    m_dayTarget = AddNumberField(QStringLiteral("lineEdit_day_target"), QRect(84, 93, 90, 28), QStringLiteral("1500"), kMaxTarget);
    AddLabel(QStringLiteral("label_2"), QRect(180, 101, 30, 12), tr("毫升"));
    QLabel* timeTargetLabel = AddLabel(QStringLiteral("label_12"), QRect(23, 147, 64, 12), tr("每次喝水："));
    m_timeTarget = AddNumberField(QStringLiteral("lineEdit_time_target"), QRect(84, 139, 90, 28), QStringLiteral("100"), kMaxAmount);
    AddLabel(QStringLiteral("label_13"), QRect(180, 147, 30, 12), tr("毫升"));

    QLabel* intervalLabel = AddLabel(QStringLiteral("label_3"), QRect(23, 185, 135, 12), tr("每隔多久提醒一次："));
    AddLabel(QStringLiteral("label_4"), QRect(25, 216, 45, 12), tr("自定义："));
    QStringList hours;
    for (int hour = 0; hour <= 6; ++hour)
        hours << QString::number(hour);
    m_hour = AddList(QStringLiteral("comboBox_hour"), QRect(72, 208, 58, 28), hours);
    QLabel* hourLabel = AddLabel(QStringLiteral("label_5"), QRect(136, 217, 30, 12), tr("小时"));
    QStringList minutes;
    for (int minute = 0; minute <= 55; minute += 5)
        minutes << QString::number(minute);
    m_minute = AddList(QStringLiteral("comboBox_minute"), QRect(166, 208, 58, 28), minutes);
    QLabel* minuteLabel = AddLabel(QStringLiteral("label_6"), QRect(230, 217, 30, 12), tr("分钟"));
    statusLabel->setBuddy(m_status);
    waterLabel->setBuddy(m_water);
    promptLabel->setBuddy(m_prompt);
    dayTargetLabel->setBuddy(m_dayTarget);
    timeTargetLabel->setBuddy(m_timeTarget);
    // Each list is named by the unit after it; what the two set together describes them.
    hourLabel->setBuddy(m_hour);
    minuteLabel->setBuddy(m_minute);
    for (QWidget* field : std::initializer_list<QWidget*>{m_dayTarget, m_timeTarget})
        field->setAccessibleDescription(tr("毫升"));
    for (QWidget* list : std::initializer_list<QWidget*>{m_hour, m_minute})
        list->setAccessibleDescription(intervalLabel->text());

    AddLabel(QStringLiteral("label_11"), QRect(24, 254, 84, 12), tr("下次提醒时间："));
    m_runtime = AddLabel(QStringLiteral("label_runtime"), QRect(110, 252, 111, 16), QString());
    AddLabel(QStringLiteral("label_8"), QRect(22, 294, 241, 16), tr("喝水要少量多次，每次在100毫升左右较合适"));

    connect(m_status, &QCheckBox::stateChanged, this, &CDrinksSettingsWindow::OnDrinksStatus_StateChanged);
    connect(m_water, &QCheckBox::stateChanged, this, &CDrinksSettingsWindow::OnDrinksWater_StateChanged);
    connect(m_prompt, &QCheckBox::stateChanged, this, &CDrinksSettingsWindow::OnDrinksPrompt_StateChanged);
    connect(m_minute, &QComboBox::currentTextChanged, this, &CDrinksSettingsWindow::OnMinute_TextChanged);
    connect(m_hour, &QComboBox::currentTextChanged, this, &CDrinksSettingsWindow::OnHour_TextChanged);
    connect(m_dayTarget, &QLineEdit::editingFinished, this, &CDrinksSettingsWindow::OnDayTarget_EditingFinished);
    connect(m_timeTarget, &QLineEdit::editingFinished, this, &CDrinksSettingsWindow::OnTimeTarget_EditingFinished);

    LoadSettings();
    RefreshNextReminder();
    m_refreshTimer.start(RefreshMs, Qt::CoarseTimer, this);
}

QLabel* CDrinksSettingsWindow::AddLabel(const QString& name, const QRect& geometry, const QString& text)
{
    auto* label = new QLabel(text, m_panel);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QCheckBox* CDrinksSettingsWindow::AddSwitch(const QString& name, const QRect& geometry)
{
    auto* box = new QCheckBox(m_panel);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setCursor(Qt::PointingHandCursor);
    // A click leaves the focus where it was, so the focus look shows only for the keyboard.
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

QLineEdit* CDrinksSettingsWindow::AddNumberField(const QString& name, const QRect& geometry, const QString& text, int top)
{
    auto* field = new QLineEdit(text, m_panel);
    field->setObjectName(name);
    field->setGeometry(geometry);
    field->setValidator(new QIntValidator(0, top, field));
    return field;
}

QComboBox* CDrinksSettingsWindow::AddList(const QString& name, const QRect& geometry, const QStringList& items)
{
    auto* list = new QComboBox(m_panel);
    list->setObjectName(name);
    list->setGeometry(geometry);
    list->addItems(items);
    list->setMaxVisibleItems(7);
    // The plain delegate ignores the style sheet; the styled one draws the items by it.
    list->setItemDelegate(new QStyledItemDelegate(list));
    list->setCursor(Qt::PointingHandCursor);
    return list;
}

void CDrinksSettingsWindow::StoreDefaults()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetDrinksTarget() == 0)
        settings->SetDrinksTarget(kDefaultTarget);
    if (settings->GetDrinksTimeTarget() == 0)
        settings->SetDrinksTimeTarget(kDefaultAmount);
}

void CDrinksSettingsWindow::LoadSettings()
{
    StoreDefaults();
    CIniSettings* settings = CIniSettings::Instance();
    m_dayTarget->setText(QString::number(settings->GetDrinksTarget()));
    m_timeTarget->setText(QString::number(settings->GetDrinksTimeTarget()));

    if (const int hour = settings->GetDrinksTimerHour())
        m_hour->setCurrentText(QString::number(hour));
    if (const int minute = settings->GetDrinksTimerMinute())
        m_minute->setCurrentText(QString::number(minute));

    m_status->setChecked(settings->GetDrinksStatus() != 0);
    m_water->setChecked(settings->GetDrinkWater() != 0);
    m_prompt->setChecked(settings->GetDrinkPrompt() != 0);
}

int CDrinksSettingsWindow::ListHour() const
{
    return m_hour->currentText().toInt();
}

int CDrinksSettingsWindow::ListMinute() const
{
    const QString text = m_minute->currentText();
    if (text.isEmpty())
        return kEmptyMinutes;
    const int minute = text.toInt();
    return minute == 0 && ListHour() == 0 ? kShortestMinutes : minute;
}

void CDrinksSettingsWindow::OnHour_TextChanged(QString text)
{
    CIniSettings* settings = CIniSettings::Instance();
    if (text.toInt() == settings->GetDrinksTimerHour())
        return;
    // A new interval starts counting from now.
    settings->SetDrinkTimestamp(CClock::Now());
    settings->SetDrinksTimerMinute(ListMinute());
    settings->SetDrinksTimerHour(text.toInt());
    RefreshNextReminder();
}

void CDrinksSettingsWindow::OnMinute_TextChanged(QString text)
{
    CIniSettings* settings = CIniSettings::Instance();
    if (text.toInt() == settings->GetDrinksTimerMinute())
        return;
    settings->SetDrinkTimestamp(CClock::Now());
    settings->SetDrinksTimerMinute(ListMinute());
    RefreshNextReminder();
}

void CDrinksSettingsWindow::OnDrinksStatus_StateChanged(int state)
{
    CIniSettings::Instance()->SetDrinksStatus(state);
    RefreshNextReminder();
}

void CDrinksSettingsWindow::OnDrinksWater_StateChanged(int state)
{
    CIniSettings::Instance()->SetDrinkWater(state);
}

void CDrinksSettingsWindow::OnDrinksPrompt_StateChanged(int state)
{
    CIniSettings::Instance()->SetDrinkPrompt(state);
}

void CDrinksSettingsWindow::OnDayTarget_EditingFinished()
{
    CIniSettings::Instance()->SetDrinksTarget(m_dayTarget->text().toInt());
}

void CDrinksSettingsWindow::OnTimeTarget_EditingFinished()
{
    CIniSettings::Instance()->SetDrinksTimeTarget(m_timeTarget->text().toInt());
}

void CDrinksSettingsWindow::RefreshNextReminder()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetDrinksStatus() == 0)
        return;
    if (ListHour() != settings->GetDrinksTimerHour() || ListMinute() != settings->GetDrinksTimerMinute()) {
        settings->SetDrinksTimerHour(ListHour());
        settings->SetDrinksTimerMinute(ListMinute());
    }
    const qint64 interval = (qint64(settings->GetDrinksTimerMinute()) + 60 * settings->GetDrinksTimerHour()) * 60;
    const qint64 last = settings->GetDrinkTimestamp();
    const qint64 now = CClock::Now();
    for (int k = 1; k <= kMaxSteps; ++k) {
        const qint64 next = last + k * interval;
        if (next >= now - DueMargin) {
            m_runtime->setText(QDateTime::fromSecsSinceEpoch(next).toString(QStringLiteral("hh:mm")));
            settings->SetDrinkTimestamp(next - interval);
            return;
        }
    }
}

void CDrinksSettingsWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_refreshTimer.timerId())
        RefreshNextReminder();
    else
        QDialog::timerEvent(event);
}

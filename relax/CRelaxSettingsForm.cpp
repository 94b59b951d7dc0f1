#include "CRelaxSettingsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimerEvent>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "CRelaxLength.h"
#include "CRelaxStyle.h"
#include "clock.h"

namespace {
constexpr int kRefreshMs = 30 * 1000;
constexpr int kGridSteps = 1439;
constexpr int kLateMargin = 30;
constexpr int kVisibleItems = 7;
constexpr int kSmallestMinute = 5;
// The tick's interval when none is stored.
constexpr int kDefaultInterval = 300;
// Labels of 12-pixel text get room for the glyphs' full height around their middle line.
constexpr int kTextHeight = 18;
}

CRelaxSettingsForm::CRelaxSettingsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(CRelaxStyle::Sheet());
}

// Hidden while still whole: a form closed with the cursor in a field hears the field lose the
// focus, and stores what was typed there, from QDialog's destructor otherwise, when this part of
// the object is already gone.
CRelaxSettingsForm::~CRelaxSettingsForm()
{
    hide();
}

QLabel* CRelaxSettingsForm::AddLabel(QWidget* form, const QString& objectName, const QString& text, QRect geometry)
{
    if (geometry.height() < kTextHeight)
        geometry.adjust(0, -(kTextHeight - geometry.height()) / 2, 0, (kTextHeight - geometry.height() + 1) / 2);
    auto* label = new QLabel(text, form);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    return label;
}

QCheckBox* CRelaxSettingsForm::AddSwitch(QWidget* form, const QString& objectName, const QRect& geometry)
{
    auto* box = new QCheckBox(form);
    box->setObjectName(objectName);
    box->setGeometry(geometry);
    box->setProperty("switch", true);
    box->installEventFilter(this);
    // A click leaves the focus where it was, so the focus look shows only for the keyboard.
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

QComboBox* CRelaxSettingsForm::AddCombo(QWidget* form, const QString& objectName, const QRect& geometry, int first,
    int last, int step)
{
    auto* combo = new QComboBox(form);
    combo->setObjectName(objectName);
    combo->setGeometry(geometry);
    combo->setItemDelegate(new QStyledItemDelegate(combo));
    for (int value = first; value <= last; value += step)
        combo->addItem(QString::number(value));
    return combo;
}

void CRelaxSettingsForm::BuildForm(QWidget* form, int top)
{
    const auto at = [top](int x, int y, int w, int h) { return QRect(x, y + top, w, h); };
    QLabel* statusLabel = AddLabel(form, QStringLiteral("label_8"), tr("定时提醒："), at(24, 18, 60, 12));
    m_relaxStatus = AddSwitch(form, QStringLiteral("checkbox_relax_status"), at(82, 13, 52, 22));
    m_fullStatusCaption = AddLabel(form, QStringLiteral("label_9"), tr("全屏提醒："), at(146, 18, 60, 12));
    m_relaxFullStatus = AddSwitch(form, QStringLiteral("checkbox_relax_full_status"), at(204, 13, 52, 22));
    QLabel* countdownLabel = AddLabel(form, QStringLiteral("label_10"), tr("全屏倒计时："), at(24, 101, 72, 12));
    m_secondFullscreen = AddCombo(form, QStringLiteral("comboBox_second_fullscreen"), at(96, 93, 78, 28),
        CRelaxLength::MinCountdownSeconds, CRelaxLength::MaxCountdownSeconds, 1);
    AddLabel(form, QStringLiteral("label_12"), tr("秒"), at(179, 100, 13, 18));
    QLabel* lengthLabel = AddLabel(form, QStringLiteral("label"), tr("每次休息："), at(23, 146, 64, 12));
    m_sleepTimer = new QLineEdit(QString::number(CRelaxLength::DefaultMinutes), form);
    m_sleepTimer->setObjectName(QStringLiteral("lineEdit_sleep_timer"));
    m_sleepTimer->setGeometry(at(84, 139, 90, 28));
    m_sleepTimer->setValidator(new QIntValidator(0, CRelaxLength::MaxMinutes, m_sleepTimer));
    AddLabel(form, QStringLiteral("label_2"), tr("分钟"), at(180, 148, 30, 12));
    QLabel* intervalLabel = AddLabel(form, QStringLiteral("label_3"), tr("每隔多久提醒一次："), at(23, 185, 135, 12));
    AddLabel(form, QStringLiteral("label_4"), tr("自定义："), at(25, 216, 48, 12));
    m_hour = AddCombo(form, QStringLiteral("comboBox_hour"), at(72, 208, 58, 28), 0, 6, 1);
    m_hour->setMaxVisibleItems(kVisibleItems);
    QLabel* hourLabel = AddLabel(form, QStringLiteral("label_5"), tr("小时"), at(136, 217, 30, 12));
    m_minute = AddCombo(form, QStringLiteral("comboBox_minute"), at(166, 208, 58, 28), 0, 55, 5);
    m_minute->setMaxVisibleItems(kVisibleItems);
    QLabel* minuteLabel = AddLabel(form, QStringLiteral("label_6"), tr("分钟"), at(230, 217, 30, 12));
    statusLabel->setBuddy(m_relaxStatus);
    m_fullStatusCaption->setBuddy(m_relaxFullStatus);
    countdownLabel->setBuddy(m_secondFullscreen);
    m_secondFullscreen->setAccessibleDescription(tr("秒"));
    lengthLabel->setBuddy(m_sleepTimer);
    m_sleepTimer->setAccessibleDescription(tr("分钟"));
    // Each list is named by the unit after it; what the two set together describes them.
    hourLabel->setBuddy(m_hour);
    minuteLabel->setBuddy(m_minute);
    m_hour->setAccessibleDescription(intervalLabel->text());
    m_minute->setAccessibleDescription(intervalLabel->text());
    AddLabel(form, QStringLiteral("label_11"), tr("下次提醒时间："), at(24, 255, 84, 12));
    m_runtime = AddLabel(form, QStringLiteral("label_runtime"), QString(), at(110, 252, 111, 16));
    AddLabel(form, QStringLiteral("label_7"), tr("开启全屏提醒，让每次休息更效率，更健康！"), at(25, 295, 250, 12));
}

void CRelaxSettingsForm::Start()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetRelaxStatus() != 0)
        m_relaxFullStatus->setChecked(settings->GetRelaxFullStatus() != 0);
    m_hour->setCurrentIndex(0);
    m_minute->setCurrentIndex(0);

    connect(m_hour, &QComboBox::currentTextChanged, this, &CRelaxSettingsForm::OnHour_TextChanged);
    connect(m_minute, &QComboBox::currentTextChanged, this, &CRelaxSettingsForm::OnMinute_TextChanged);
    connect(m_secondFullscreen, &QComboBox::currentTextChanged, this, &CRelaxSettingsForm::OnFullScreenSecond_TextChanged);
    connect(m_relaxStatus, &QCheckBox::stateChanged, this, &CRelaxSettingsForm::OnRelaxStatus_StateChanged);
    connect(m_relaxFullStatus, &QCheckBox::stateChanged, this, &CRelaxSettingsForm::OnRelaxFullStatus_StateChanged);
    connect(m_sleepTimer, &QLineEdit::editingFinished, this, &CRelaxSettingsForm::OnSleepTimer_EditingFinished);

    LoadSettings();
    RefreshSchedule();
    m_refreshTimer.start(kRefreshMs, Qt::CoarseTimer, this);
}

void CRelaxSettingsForm::LoadSettings()
{
    // Showing the stored values is not a change: nothing may be written back.
    const QSignalBlocker blockers[] = {QSignalBlocker(m_hour), QSignalBlocker(m_minute), QSignalBlocker(m_secondFullscreen),
        QSignalBlocker(m_relaxStatus), QSignalBlocker(m_relaxFullStatus), QSignalBlocker(m_sleepTimer)};
    CIniSettings* settings = CIniSettings::Instance();
    m_sleepTimer->setText(QString::number(CRelaxLength::Minutes()));
    m_hour->setCurrentText(QString::number(settings->GetRelaxTimerHour()));
    m_minute->setCurrentText(QString::number(settings->GetRelaxTimerMinute()));
    m_secondFullscreen->setCurrentText(QString::number(CRelaxLength::CountdownSeconds()));
    const bool on = settings->GetRelaxStatus() != 0;
    m_relaxStatus->setChecked(on);
    OnStatusShown(on);
    m_relaxFullStatus->setChecked(settings->GetRelaxFullStatus() != 0);
    LoadExtraSettings();
}

int CRelaxSettingsForm::StoredMinute(int hour, int minute)
{
    return hour == 0 && minute == 0 ? kSmallestMinute : minute;
}

void CRelaxSettingsForm::OnHour_TextChanged(const QString& text)
{
    CIniSettings* settings = CIniSettings::Instance();
    const int hour = text.toInt();
    if (hour == settings->GetRelaxTimerHour())
        return;
    settings->SetRelaxTimestamp(CClock::Now());
    const int minute = StoredMinute(hour, m_minute->currentText().toInt());
    if (minute != m_minute->currentText().toInt()) {
        settings->SetRelaxTimerMinute(minute);
        const QSignalBlocker blocker(m_minute);
        m_minute->setCurrentText(QString::number(minute));
    }
    settings->SetRelaxTimerHour(hour);
    RefreshSchedule();
}

void CRelaxSettingsForm::OnMinute_TextChanged(const QString& text)
{
    CIniSettings* settings = CIniSettings::Instance();
    const int chosen = text.toInt();
    if (chosen == settings->GetRelaxTimerMinute())
        return;
    settings->SetRelaxTimestamp(CClock::Now());
    const int minute = StoredMinute(m_hour->currentText().toInt(), chosen);
    settings->SetRelaxTimerMinute(minute);
    if (minute != chosen) {
        const QSignalBlocker blocker(m_minute);
        m_minute->setCurrentText(QString::number(minute));
    }
    RefreshSchedule();
}

void CRelaxSettingsForm::OnFullScreenSecond_TextChanged(const QString& text)
{
    CIniSettings::Instance()->SetRelaxFullscreenSecond(text.toInt());
}

void CRelaxSettingsForm::OnRelaxStatus_StateChanged(int state)
{
    OnStatusShown(state != 0);
    CIniSettings::Instance()->SetRelaxStatus(state);
    RefreshSchedule();
}

void CRelaxSettingsForm::OnRelaxFullStatus_StateChanged(int state)
{
    CIniSettings::Instance()->SetRelaxFullStatus(state);
}

void CRelaxSettingsForm::OnSleepTimer_EditingFinished()
{
    CIniSettings::Instance()->SetRelaxSleepTimer(m_sleepTimer->text().toInt());
}

void CRelaxSettingsForm::RefreshSchedule()
{
    CIniSettings* settings = CIniSettings::Instance();
    // Only the user's own choice writes the interval: the page and the full-screen rest's pop-up
    // each hold boxes, and one of them may show what the other has since replaced.
    {
        const QSignalBlocker hourBlocker(m_hour);
        const QSignalBlocker minuteBlocker(m_minute);
        m_hour->setCurrentText(QString::number(settings->GetRelaxTimerHour()));
        m_minute->setCurrentText(QString::number(settings->GetRelaxTimerMinute()));
    }
    if (settings->GetRelaxStatus() == 0)
        return;

    // The same grid the tick fires on, so the time shown is the time the reminder comes.
    qint64 interval = (qint64(settings->GetRelaxTimerHour()) * 60 + settings->GetRelaxTimerMinute()) * 60;
    if (interval == 0)
        interval = kDefaultInterval;
    const qint64 now = CClock::Now();
    qint64 grid = settings->GetRelaxTimestamp();
    for (int step = 1; step <= kGridSteps; ++step) {
        grid += interval;
        if (grid >= now - kLateMargin) {
            m_runtime->setText(QDateTime::fromSecsSinceEpoch(grid).toString(QStringLiteral("hh:mm")));
            settings->SetRelaxTimestamp(grid - interval);
            return;
        }
    }
}

bool CRelaxSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter && (watched == m_relaxStatus || watched == m_relaxFullStatus))
        static_cast<QWidget*>(watched)->setCursor(Qt::PointingHandCursor);
    return QDialog::eventFilter(watched, event);
}

void CRelaxSettingsForm::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_refreshTimer.timerId())
        RefreshSchedule();
    else
        QDialog::timerEvent(event);
}

#include "CDrinkForm.h"

#include <QEvent>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTimerEvent>

#include "core/CCommon.h"
#include "CDrinkStatistics.h"
#include "CDrinkTally.h"
#include "core/CIniSettings.h"
#include "core/CSystemUtil.h"
#include "CUpdateContext.h"

namespace {
constexpr int kDrinkSound = 1;
constexpr int kMaxTyped = 5000;
constexpr int kDrainMs = 5;
// Two millilitres every 5 ms: the cup empties at 400 ml/s.
constexpr int kDrainStep = 2;

const char* const kHealthTips[] = {
    QT_TRANSLATE_NOOP("CDrinkForm", "充足的水分能够让皮肤更有弹性，更\n明亮，更少脂肪，保持年轻和亮丽"),
    QT_TRANSLATE_NOOP("CDrinkForm", "水，是最有益于健康的饮料"),
    QT_TRANSLATE_NOOP("CDrinkForm", "研究表明，抑郁和慢性疲劳等许多\n与社会压力有关的症状与大脑脱水有关"),
    QT_TRANSLATE_NOOP("CDrinkForm", "水可以增加机体细胞代谢，\n促进体内毒素的排出"),
    QT_TRANSLATE_NOOP("CDrinkForm", "充足的水分能够让皮肤更有弹性，\n更明亮，更少脂肪，保持年轻和亮丽"),
    QT_TRANSLATE_NOOP("CDrinkForm", "平时饮水多、爱喝茶的人高血压\n及动脉硬化发病率就低"),
    QT_TRANSLATE_NOOP("CDrinkForm", "不知道何时起，我喜欢上了喝水，\n因为我知道它可以稀释一切难受"),
};
constexpr int kHealthTipCount = int(sizeof(kHealthTips) / sizeof(kHealthTips[0]));

const QString kDisplayLook = QStringLiteral(
    "QLineEdit { color: rgba(0,210,153,1); font-size: 16px; font-weight: bold;"
    " background: transparent; border: none; }");
const QString kEditingLook = QStringLiteral(
    "QLineEdit { color: #FFFFFF; font-size: 16px; font-weight: bold;"
    " background-color: rgba(160,217,195,1); border: none; border-radius: 4px; }");

const QString kFormStyle = QStringLiteral(R"(
#label_drinks_tips_day { color: rgba(105,136,125,1); font-size: 12px; }
#label_drinks_num { color: rgba(0,210,153,1); font-size: 28px; font-weight: bold; }
#label_tips_milliliter, #label { color: rgba(165,197,186,1); font-size: 12px; }
#label_drinks_color { background-color: rgba(45,206,222,1); }
#btn_drinks_cup { border: none; background: transparent;
    border-image: url(:/Resources/Skin/Verd/drinks_cup_background.png); }
#verticalSlider { background: transparent; }
#verticalSlider::groove:vertical { background: transparent; width: 74px; }
#verticalSlider::add-page:vertical, #verticalSlider::sub-page:vertical { background: transparent; }
#verticalSlider::handle:vertical { image: url(:/Resources/Skin/Verd/slider_handle.png);
    height: 14px; width: 74px; margin: 0px; }
#btn_edit_pen { border: none; background: transparent;
    border-image: url(:/Resources/Skin/Verd/edit_pen.png); }
#btn_click_drinks { color: #FFFFFF; font-size: 14px; border: none;
    border-image: url(:/Resources/Skin/Verd/btn_click_drinks.png); }
#btn_click_drinks:hover { border-image: url(:/Resources/Skin/Verd/btn_click_drinks_hover.png); }
#btn_click_nodrinks { color: rgba(165,197,186,1); font-size: 12px; border: none; background: transparent; }
#btn_click_nodrinks:hover { color: rgba(0,210,153,1); }
#label_warm_prompt { color: rgba(105,136,125,1); font-size: 12px; }
#label_timer { color: rgba(0,210,153,1); font-size: 14px; font-weight: bold; }
#label_timer_tips, #label_line { color: rgba(165,197,186,1); font-size: 12px; }
#btn_click_record { color: rgba(0,210,153,1); font-size: 12px; border: none; background: transparent;
    text-align: left; padding: 0px; }
#btn_click_record:hover { text-decoration: underline; }
)");
}

CDrinkForm::CDrinkForm(QWidget* content, int top, float heightFactor, int unitX)
    : QObject(content)
    , m_content(content)
    , m_top(top)
    , m_heightFactor(heightFactor)
{
    m_tipsDay = AddLabel(QStringLiteral("label_drinks_tips_day"), At(66, 54, 150, 14));
    m_tipsDay->setAlignment(Qt::AlignCenter);
    m_drinksNum = AddLabel(QStringLiteral("label_drinks_num"), At(79, 79, 82, 32));
    m_drinksNum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddLabel(QStringLiteral("label_tips_milliliter"), At(162, 89, 24, 12), tr("毫升"));

    // The water lies under the cup picture, which is opaque around the inside of the mug.
    m_column = AddLabel(QStringLiteral("label_drinks_color"), At(90, 244, 120, 1));
    m_surface = AddLabel(QStringLiteral("label_drinks_top"), At(90, 236, 100, 8));
    m_surface->setPixmap(QPixmap(QStringLiteral(":/Resources/Skin/Verd/drinks_water_top.png")));
    m_surface->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cup = AddButton(QStringLiteral("btn_drinks_cup"), At(90, 128, 122, 124));
    m_cup->setFocusPolicy(Qt::NoFocus);

    m_slider = new QSlider(Qt::Vertical, m_content);
    m_slider->setObjectName(QStringLiteral("verticalSlider"));
    m_slider->setGeometry(At(104, 134, 74, 111));
    m_slider->setRange(0, MaxAmount);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(1);
    m_slider->setValue(DefaultAmount);
    m_slider->setCursor(Qt::PointingHandCursor);
    // The guide explains the cup until the user has once set an amount by hand.
    connect(m_slider, &QSlider::actionTriggered, this, &CDrinkForm::DismissGuide);

    m_number = new QLineEdit(QString::number(DefaultAmount), m_content);
    m_number->setObjectName(QStringLiteral("lineEdit_num"));
    m_number->setGeometry(At(45, 168, 35, 20));
    m_number->setValidator(new QIntValidator(0, kMaxTyped, m_number));
    m_number->setMaxLength(4);
    m_number->installEventFilter(this);
    m_editPen = AddButton(QStringLiteral("btn_edit_pen"), At(77, 174, 9, 9));
    m_editPen->setFocusPolicy(Qt::NoFocus);
    connect(m_editPen, &QPushButton::clicked, m_number, &QLineEdit::selectAll);
    connect(m_editPen, &QPushButton::clicked, m_number, [this] { m_number->setFocus(); });
    // Right-aligned to where the Chinese unit ends, with room on its left for a longer English one.
    QLabel* unit = AddLabel(QStringLiteral("label"), At(unitX - 8, 189, 50, 12), tr("毫升/次"));
    unit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_guide = AddLabel(QStringLiteral("label_guide"), At(140, 220, 115, 50));
    m_guide->setPixmap(QPixmap(QStringLiteral(":/Resources/Skin/Verd/drinks_guide.png")));
    m_guide->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_drinks = AddButton(QStringLiteral("btn_click_drinks"), At(96, 272, 90, 30), tr("点我喝水"));
    m_noDrinks = AddButton(QStringLiteral("btn_click_nodrinks"), At(96, 302, 90, 30), tr("暂不喝水"));
    m_warmPrompt = AddLabel(QStringLiteral("label_warm_prompt"), At(30, 265, 220, 42));
    m_warmPrompt->setAlignment(Qt::AlignCenter);
    m_timer = AddLabel(QStringLiteral("label_timer"), At(58, 312, 9, 16), QString::number(CountdownSeconds));
    m_timer->setAlignment(Qt::AlignCenter);
    m_timerTips = AddLabel(QStringLiteral("label_timer_tips"), At(69, 314, 72, 12), tr("秒后自动关闭"));
    m_line = AddLabel(QStringLiteral("label_line"), At(150, 315, 6, 12), QStringLiteral("|"));
    m_record = AddButton(QStringLiteral("btn_click_record"), At(170, 314, 48, 12), tr("我的成绩"));
    for (QPushButton* button : {m_drinks, m_noDrinks, m_record})
        button->setCursor(Qt::PointingHandCursor);

    m_content->setStyleSheet(kFormStyle);
    UseDisplayLook();
    ShowCountdown(false);
    Draw(DefaultAmount);
}

QLabel* CDrinkForm::AddLabel(const QString& name, const QRect& geometry, const QString& text)
{
    auto* label = new QLabel(text, m_content);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QPushButton* CDrinkForm::AddButton(const QString& name, const QRect& geometry, const QString& text)
{
    auto* button = new QPushButton(text, m_content);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QRect CDrinkForm::At(int x, int y, int w, int h) const
{
    return QRect(x, y + m_top, w, h);
}

QStringList CDrinkForm::HealthTips()
{
    QStringList tips;
    for (const char* tip : kHealthTips)
        tips << tr(tip);
    return tips;
}

QPushButton* CDrinkForm::DrinksButton() const
{
    return m_drinks;
}

QPushButton* CDrinkForm::NoDrinksButton() const
{
    return m_noDrinks;
}

QPushButton* CDrinkForm::RecordButton() const
{
    return m_record;
}

QSlider* CDrinkForm::Slider() const
{
    return m_slider;
}

QLineEdit* CDrinkForm::NumberEdit() const
{
    return m_number;
}

int CDrinkForm::Remaining() const
{
    return m_remaining;
}

int CDrinkForm::ColumnHeight(int amount) const
{
    return int((float(amount) * m_heightFactor - 100.0f) / 530.03f);
}

int CDrinkForm::StoredAmount()
{
    const int amount = CIniSettings::Instance()->GetDrinksTimeTarget();
    // A stored amount the cup cannot hold is cut to it, as a typed one is: otherwise the field
    // would show one amount while the slider, which records the drink, holds another.
    return amount == 0 ? DefaultAmount : qBound(0, amount, MaxAmount);
}

void CDrinkForm::Draw(int amount)
{
    m_number->setText(QString::number(amount));
    const int h = ColumnHeight(amount);
    m_column->setGeometry(QRect(QPoint(91, 244 - h + m_top), QPoint(210, 245 + m_top)));
    m_surface->setGeometry(QRect(QPoint(90, 236 - h + m_top), QPoint(190, 244 + m_top)));
}

void CDrinkForm::DismissGuide()
{
    m_guide->hide();
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetDrinksGuide() != 1)
        settings->SetDrinksGuide(1);
}

void CDrinkForm::TypeAmount(const QString& text)
{
    DismissGuide();
    const int typed = text.toInt();
    const int amount = typed <= MaxAmount ? typed : MaxAmount;
    m_number->setText(QString::number(amount));
    m_slider->setValue(amount);
    UseEditingLook();
}

void CDrinkForm::Reset()
{
    const int amount = StoredAmount();
    m_number->setText(QString::number(amount));
    m_slider->setValue(amount);
    Draw(amount);

    ShowCountdown(false);
    m_guide->setVisible(CIniSettings::Instance()->GetDrinksGuide() == 0);
    UseDisplayLook();
    ShowProgress(CIniSettings::Instance()->GetAlreadyDrinksNumber());
}

void CDrinkForm::ShowProgress(int drunk)
{
    const int target = CIniSettings::Instance()->GetDrinksTarget();
    if (drunk < target) {
        m_tipsDay->setText(tr("今天距达成目标还有"));
        m_drinksNum->setText(QString::number(qint64(target) - drunk));
    } else {
        m_tipsDay->setText(tr("今天的目标已达成，已喝水"));
        m_drinksNum->setText(QString::number(drunk));
    }
}

void CDrinkForm::ShowCountdown(bool countdown)
{
    m_drinks->setVisible(!countdown);
    m_noDrinks->setVisible(!countdown);
    for (QWidget* widget : std::initializer_list<QWidget*>{m_warmPrompt, m_timer, m_timerTips, m_line, m_record})
        widget->setVisible(countdown);
}

void CDrinkForm::UseDisplayLook()
{
    m_number->setStyleSheet(kDisplayLook);
    m_editPen->show();
}

void CDrinkForm::UseEditingLook()
{
    m_number->setStyleSheet(kEditingLook);
    m_editPen->hide();
}

void CDrinkForm::Drink()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (settings->GetDrinkWater() != 0)
        CSystemUtil::Instance()->PlayPromptSound(kDrinkSound);

    // Whoever has drunk from the cup knows how it works.
    DismissGuide();
    ShowCountdown(true);
    m_countdownTimer.stop();
    m_drainTimer.stop();
    m_remaining = CountdownSeconds;
    m_timer->setText(QString::number(m_remaining));
    m_countdownTimer.start(1000, this);
    const int amount = m_slider->value();
    m_drainLevel = amount;
    m_drainTimer.start(kDrainMs, Qt::PreciseTimer, this);

    settings->SetLatelyNumber(amount);
    settings->SetDrinksTimeTarget(amount);
    const int total = CDrinkTally::Sum(settings->GetAlreadyDrinksNumber(), amount);
    settings->SetAlreadyDrinksNumber(total);
    ShowProgress(total);

    m_warmPrompt->setText(HealthTips().at(CCommon::Random(kHealthTipCount)));
    // Puts the counters above on disk together with the drink, before the history file can
    // take it: the two agree whatever happens next.
    CDrinkStatistics::Instance()->RecordDrink(amount);
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("drinks_click_report"));
}

void CDrinkForm::Stop()
{
    m_countdownTimer.stop();
    m_drainTimer.stop();
    m_remaining = Idle;
}

bool CDrinkForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_number) {
        if (event->type() == QEvent::FocusIn) {
            // The click that gave the focus would place the cursor after a select right now.
            QTimer::singleShot(0, m_number, &QLineEdit::selectAll);
        } else if (event->type() == QEvent::FocusOut && m_number->text().isEmpty()) {
            const int amount = StoredAmount();
            m_number->setText(QString::number(amount));
            m_slider->setValue(amount);
        }
    }
    return QObject::eventFilter(watched, event);
}

void CDrinkForm::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_countdownTimer.timerId())
        CountdownTick();
    else if (event->timerId() == m_drainTimer.timerId())
        DrainTick();
}

void CDrinkForm::CountdownTick()
{
    if (m_remaining != 0) {
        m_timer->setText(QString::number(m_remaining));
        --m_remaining;
        return;
    }
    m_countdownTimer.stop();
    ShowCountdown(false);
    m_remaining = CountdownSeconds;
    emit CountdownFinished();
}

void CDrinkForm::DrainTick()
{
    m_drainLevel = qMax(m_drainLevel - kDrainStep, 0);
    Draw(m_drainLevel);
    // An empty cup has nothing left to draw.
    if (m_drainLevel == 0)
        m_drainTimer.stop();
}

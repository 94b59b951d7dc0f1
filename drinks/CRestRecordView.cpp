#include "CRestRecordView.h"

#include <QLabel>
#include <QPushButton>

#include "CDrinkStatistics.h"
#include "CRestChart.h"
#include "CRestHistory.h"
#include "core/CKeyboardAccess.h"
#include "clock.h"

namespace {
constexpr int kBars = 7;

const char* const kStyleSheet = R"(
#RestBottom {
    background-color: #FFFFFF;
}
#btn_rest_day, #btn_rest_week, #btn_rest_month {
    border: 1px solid rgba(0, 210, 153, 1);
    background-color: #FFFFFF;
    color: rgba(0, 210, 153, 1);
    font: 12px "Microsoft YaHei";
}
#btn_rest_day:checked, #btn_rest_week:checked, #btn_rest_month:checked {
    background-color: rgba(0, 210, 153, 1);
    color: #FFFFFF;
}
#btn_rest_day:focus, #btn_rest_week:focus, #btn_rest_month:focus {
    border: 1px dotted rgba(0, 120, 90, 1);
}
#btn_rest_earlier {
    border: none;
    border-image: url(:/Resources/Skin/Verd/leftpage_default.png);
}
#btn_rest_earlier:hover, #btn_rest_earlier:focus {
    border-image: url(:/Resources/Skin/Verd/leftpage.png);
}
#btn_rest_later {
    border: none;
    border-image: url(:/Resources/Skin/Verd/rightpage_default.png);
}
#btn_rest_later:hover, #btn_rest_later:focus {
    border-image: url(:/Resources/Skin/Verd/rightpage.png);
}
#label_rest_caption, #label_rest_postponed_caption, #label_rest_skipped_caption, #label_rest_screen_caption,
#label_rest_taken_unit {
    color: rgba(105, 136, 125, 1);
    font: 12px "Microsoft YaHei";
}
#label_rest_taken {
    color: rgba(0, 210, 153, 1);
    font: bold 28px "Microsoft YaHei";
}
#label_rest_postponed, #label_rest_skipped, #label_rest_screen {
    color: rgba(0, 210, 153, 1);
    font: bold 20px "Microsoft YaHei";
}
)";

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
}

CRestRecordView::CRestRecordView(CRestHistory* history, QWidget* parent)
    : QWidget(parent)
    , m_history(history)
{
    setObjectName(QStringLiteral("CRestRecordView"));
    setStyleSheet(QLatin1String(kStyleSheet));
    resize(278, 297);
    BuildWidgets();
    connect(m_history, &CRestHistory::Changed, this, &CRestRecordView::Refresh);
    const QDate today = CClock::LocalNow().date();
    ShowPeriod(Day, today);
}

void CRestRecordView::BuildWidgets()
{
    auto addButton = [this](const char* name, const QString& text, const QString& accessible, const QRect& geometry) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(geometry);
        button->setCursor(Qt::PointingHandCursor);
        CKeyboardAccess::Button(button, accessible);
        return button;
    };
    m_btnDay = addButton("btn_rest_day", tr("日"), tr("按日查看休息"), QRect(71, 4, 46, 20));
    m_btnWeek = addButton("btn_rest_week", tr("周"), tr("按周查看休息"), QRect(116, 4, 46, 20));
    m_btnMonth = addButton("btn_rest_month", tr("月"), tr("按月查看休息"), QRect(161, 4, 46, 20));
    for (QPushButton* button : {m_btnDay, m_btnWeek, m_btnMonth}) {
        button->setCheckable(true);
        button->setAutoExclusive(true);
    }
    connect(m_btnDay, &QPushButton::clicked, this, [this] { ShowPeriod(Day, m_selected); });
    connect(m_btnWeek, &QPushButton::clicked, this, [this] { ShowPeriod(Week, m_selected); });
    connect(m_btnMonth, &QPushButton::clicked, this, [this] { ShowPeriod(Month, m_selected); });

    m_chart = new CRestChart(this);
    m_chart->setObjectName(QStringLiteral("rest_chart"));
    m_chart->setGeometry(20, 30, 238, 132);
    connect(m_chart, &CRestChart::Chosen, this, &CRestRecordView::OnChosen);
    m_btnEarlier = addButton("btn_rest_earlier", QString(), tr("更早的休息"), QRect(1, 76, 18, 40));
    m_btnLater = addButton("btn_rest_later", QString(), tr("更近的休息"), QRect(259, 76, 18, 40));
    connect(m_btnEarlier, &QPushButton::clicked, this, [this] { Page(-1); });
    connect(m_btnLater, &QPushButton::clicked, this, [this] { Page(1); });

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("RestBottom"));
    bottom->setAttribute(Qt::WA_StyledBackground);
    bottom->setGeometry(0, 164, 278, 133);
    m_caption = AddLabel(bottom, "label_rest_caption", QString(), QRect(12, 6, 254, 16));
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_taken = AddLabel(bottom, "label_rest_taken", QString(), QRect(60, 26, 158, 32));
    m_takenUnit = AddLabel(bottom, "label_rest_taken_unit", tr("已休息 / 应休息(次)"), QRect(40, 58, 198, 16));
    m_taken->setBuddy(m_chart);
    AddLabel(bottom, "label_rest_postponed_caption", tr("推迟(次)"), QRect(0, 84, 92, 14));
    AddLabel(bottom, "label_rest_skipped_caption", tr("跳过(次)"), QRect(93, 84, 92, 14));
    AddLabel(bottom, "label_rest_screen_caption", tr("屏幕时间(时:分)"), QRect(186, 84, 92, 14));
    m_postponed = AddLabel(bottom, "label_rest_postponed", QString(), QRect(0, 102, 92, 22));
    m_skipped = AddLabel(bottom, "label_rest_skipped", QString(), QRect(93, 102, 92, 22));
    m_screenTime = AddLabel(bottom, "label_rest_screen", QString(), QRect(186, 102, 92, 22));
}

void CRestRecordView::ShowPeriod(Period period, const QDate& date)
{
    m_period = period;
    m_selected = date;
    m_last = date;
    (period == Day ? m_btnDay : period == Week ? m_btnWeek : m_btnMonth)->setChecked(true);
    Refresh();
}

CRestRecordView::Period CRestRecordView::CurrentPeriod() const
{
    return m_period;
}

QDate CRestRecordView::SelectedDate() const
{
    return m_selected;
}

void CRestRecordView::Bounds(Period period, const QDate& date, QDate& first, QDate& last)
{
    switch (period) {
    case Week:
        first = date.addDays(1 - date.dayOfWeek());
        last = first.addDays(6);
        break;
    case Month:
        first = QDate(date.year(), date.month(), 1);
        last = first.addMonths(1).addDays(-1);
        break;
    default:
        first = date;
        last = date;
        break;
    }
}

QDate CRestRecordView::Step(const QDate& date, int steps) const
{
    switch (m_period) {
    case Week:
        return date.addDays(7 * qint64(steps));
    case Month:
        return QDate(date.year(), date.month(), 1).addMonths(steps);
    default:
        return date.addDays(steps);
    }
}

QString CRestRecordView::BarLabel(const QDate& date) const
{
    switch (m_period) {
    case Week:
        return tr("%1周").arg(CDrinkStatistics::WeekKey(date) % 100);
    case Month:
        return tr("%1月").arg(date.month());
    default:
        return QStringLiteral("%1/%2").arg(date.month()).arg(date.day());
    }
}

QString CRestRecordView::Caption(const QDate& date) const
{
    switch (m_period) {
    case Week:
        return tr("第%1周休息").arg(CDrinkStatistics::WeekKey(date) % 100);
    case Month:
        return tr("%1月休息").arg(date.month());
    default:
        return tr("%1月%2日休息").arg(date.month()).arg(date.day());
    }
}

void CRestRecordView::OnChosen(int index)
{
    if (index >= 0 && index < kBars) {
        m_selected = Step(m_last, index - (kBars - 1));
    } else if (index < 0) {
        m_last = Step(m_last, index);
        m_selected = Step(m_last, 1 - kBars);
    } else if (IsBeforeNow(m_last)) {
        m_last = Step(m_last, 1);
        m_selected = m_last;
    }
    Refresh();
}

void CRestRecordView::Page(int direction)
{
    m_last = Step(m_last, direction * kBars);
    // Never past the current period.
    if (!IsBeforeNow(m_last))
        m_last = CClock::LocalNow().date();
    m_selected = m_last;
    Refresh();
}

bool CRestRecordView::IsBeforeNow(const QDate& date) const
{
    QDate first;
    QDate last;
    Bounds(m_period, CClock::LocalNow().date(), first, last);
    return date < first;
}

void CRestRecordView::Refresh()
{
    QVector<CRestChart::Bar> bars;
    int selected = kBars - 1;
    QDate first;
    QDate last;
    Bounds(m_period, m_selected, first, last);
    for (int i = 0; i < kBars; ++i) {
        const QDate date = Step(m_last, i - (kBars - 1));
        QDate from;
        QDate until;
        Bounds(m_period, date, from, until);
        const CRestHistory::Figures figures = m_history->FiguresOf(from, until);
        bars.append(CRestChart::Bar{BarLabel(date), figures.due, figures.taken});
        if (from == first)
            selected = i;
    }
    m_chart->SetBars(bars, selected);

    const CRestHistory::Figures figures = m_history->FiguresOf(first, last);
    m_caption->setText(Caption(m_selected));
    m_taken->setText(QStringLiteral("%1/%2").arg(figures.taken).arg(figures.due));
    m_postponed->setText(QString::number(figures.postponed));
    m_skipped->setText(QString::number(figures.skipped));
    m_screenTime->setText(
        QStringLiteral("%1:%2").arg(figures.screenMinutes / 60).arg(figures.screenMinutes % 60, 2, 10, QLatin1Char('0')));
    m_btnLater->setEnabled(IsBeforeNow(m_last));
}

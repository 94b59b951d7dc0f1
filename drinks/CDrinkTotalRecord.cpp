#include "CDrinkTotalRecord.h"

#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include "CDrinkHistoryExport.h"
#include "CDrinkStatistics.h"
#include "CHealthDatabase.h"
#include "core/CLanguage.h"
#include "GaugeRange.h"
#include "Tumbler.h"

namespace {
constexpr int kPageItems = 7;
// The leftmost slot may hold items before the first so the first can sit in the centre.
constexpr int kFirstIndex = -3;
constexpr int kLastIndexFromCount = -4;
constexpr int kMilliliterLimit = 10000;
// The gauge's scale grows in steps of three times the one before, from 50 days up to this.
constexpr int kFirstGaugeMaximum = 50;
constexpr int kLastGaugeMaximum = 36450;
constexpr int kExportWaitMs = 50;

const char* const kStyleSheet = R"(
#SubPanelWidget {
    background-color: rgba(239, 252, 247, 1);
}
#m_pWidghtBottom {
    background-color: #FFFFFF;
}
#btn_day, #btn_week, #btn_month, #btn_total {
    border: 1px solid rgba(0, 210, 153, 1);
    background-color: #FFFFFF;
    color: rgba(0, 210, 153, 1);
    font: 12px "Microsoft YaHei";
}
#btn_day:hover, #btn_week:hover, #btn_month:hover, #btn_total:hover {
    background-color: rgba(225, 248, 240, 1);
}
#btn_day:checked, #btn_week:checked, #btn_month:checked, #btn_total:checked {
    background-color: rgba(0, 210, 153, 1);
    color: #FFFFFF;
}
#btn_day {
    border-top-left-radius: 4px;
    border-bottom-left-radius: 4px;
}
#btn_total {
    border-top-right-radius: 4px;
    border-bottom-right-radius: 4px;
}
#btn_leftpage {
    border: none;
    border-image: url(:/Resources/Skin/Verd/leftpage_default.png);
}
#btn_leftpage:hover {
    border-image: url(:/Resources/Skin/Verd/leftpage.png);
}
#btn_rightpage {
    border: none;
    border-image: url(:/Resources/Skin/Verd/rightpage_default.png);
}
#btn_rightpage:hover {
    border-image: url(:/Resources/Skin/Verd/rightpage.png);
}
#label_drink_amount, #label_goal_text {
    color: rgba(105, 136, 125, 1);
    font: 12px "Microsoft YaHei";
}
#label_drinkunit_totalamount, #label_goaltext_dayamount, #label_averunit_drinkamount {
    color: rgba(165, 197, 186, 1);
    font: 12px "Microsoft YaHei";
}
#btn_export {
    color: rgba(0, 210, 153, 1);
    font: 12px "Microsoft YaHei";
    border: none;
    background: transparent;
    text-align: right;
    padding: 0px;
}
#btn_export:hover {
    text-decoration: underline;
}
#label_drink_totalamount {
    color: rgba(0, 210, 153, 1);
    font: bold 28px "Microsoft YaHei";
}
#label_goal_dayamount, #label_aver_drinkamount {
    color: rgba(0, 210, 153, 1);
    font: bold 20px "Microsoft YaHei";
}
)";

// From the target dot's left edge to the legend's first letter.
constexpr int kDotToText = 13;
const char* const kReachedDot = "background-color: rgba(45, 206, 222, 1); border-radius: 5px;";
const char* const kMissedDot = "background-color: rgba(255, 198, 70, 1); border-radius: 5px;";

QLabel* AddLabel(QWidget* parent, const char* name, const QRect& geometry, Qt::Alignment alignment)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

int GaugeMaximum(int days)
{
    for (int maximum = kFirstGaugeMaximum; maximum < kLastGaugeMaximum; maximum *= 3) {
        if (maximum > days)
            return maximum;
    }
    return kLastGaugeMaximum;
}
}

CDrinkTotalRecord::CDrinkTotalRecord(QWidget* parent, CDrinkStatistics* statistics)
    : QWidget(parent)
    , m_statistics(statistics)
{
    setObjectName(QStringLiteral("CDrinkTotalRecord"));
    setWindowTitle(QStringLiteral("Form"));
    resize(282, 328);
    setStyleSheet(QLatin1String(kStyleSheet));
    BuildWidgets();

    connect(m_btnDay, &QPushButton::clicked, this, &CDrinkTotalRecord::OnDay_Click);
    connect(m_btnWeek, &QPushButton::clicked, this, &CDrinkTotalRecord::OnWeek_Click);
    connect(m_btnMonth, &QPushButton::clicked, this, &CDrinkTotalRecord::OnMonth_Click);
    connect(m_btnTotal, &QPushButton::clicked, this, &CDrinkTotalRecord::OnTotal_Click);
    connect(m_btnLeftPage, &QPushButton::clicked, this, &CDrinkTotalRecord::OnLeftPage_Click);
    connect(m_btnRightPage, &QPushButton::clicked, this, &CDrinkTotalRecord::OnRightPage_Click);
    connect(m_tumbler, &Tumbler::OnChangeCurDayIndex, this, &CDrinkTotalRecord::showCurDay);
    connect(m_tumbler, &Tumbler::OnChangeCurWeekIndex, this, &CDrinkTotalRecord::showCurWeek);
    connect(m_tumbler, &Tumbler::OnChangeCurMonthIndex, this, &CDrinkTotalRecord::showCurMonth);
    connect(m_btnExport, &QPushButton::clicked, this, &CDrinkTotalRecord::OnExport_Click);
    connect(Statistics(), &CDrinkStatistics::HistoryChanged, this, &CDrinkTotalRecord::RefreshView);

    OnTotal_Click();
}

void CDrinkTotalRecord::BuildWidgets()
{
    m_subPanel = new QWidget(this);
    m_subPanel->setObjectName(QStringLiteral("SubPanelWidget"));
    m_subPanel->setAttribute(Qt::WA_StyledBackground);
    m_subPanel->setGeometry(0, 0, 280, 328);

    auto addButton = [this](const char* name, const QString& text, const QRect& geometry, bool tab) {
        auto* button = new QPushButton(text, m_subPanel);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(geometry);
        button->setCheckable(tab);
        button->setAutoExclusive(tab);
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
        return button;
    };
    m_btnDay = addButton("btn_day", tr("日"), QRect(28, 4, 56, 24), true);
    m_btnWeek = addButton("btn_week", tr("周"), QRect(83, 4, 56, 24), true);
    m_btnMonth = addButton("btn_month", tr("月"), QRect(138, 4, 56, 24), true);
    m_btnTotal = addButton("btn_total", tr("总"), QRect(193, 4, 56, 24), true);

    m_tumbler = new Tumbler(m_subPanel);
    m_tumbler->setObjectName(QStringLiteral("record_tumbler"));
    m_tumbler->setGeometry(1, 29, 278, 162);
    m_tumbler->SetStatistics(m_statistics);

    m_gaugeRange = new GaugeRange(m_subPanel);
    m_gaugeRange->setObjectName(QStringLiteral("record_gaugerange"));
    m_gaugeRange->setGeometry(1, 37, 278, 154);

    // Created after the chart so that they lie on top of it.
    m_btnLeftPage = addButton("btn_leftpage", QString(), QRect(1, 106, 18, 40), false);
    m_btnRightPage = addButton("btn_rightpage", QString(), QRect(261, 106, 18, 40), false);

    m_pWidghtBottom = new QWidget(m_subPanel);
    m_pWidghtBottom->setObjectName(QStringLiteral("m_pWidghtBottom"));
    m_pWidghtBottom->setAttribute(Qt::WA_StyledBackground);
    m_pWidghtBottom->setGeometry(1, 191, 278, 135);

    // Wider than the Chinese titles need, up to the export button, for the English month names.
    m_labelDrinkAmount = AddLabel(m_pWidghtBottom, "label_drink_amount", QRect(12, 9, 110, 12), Qt::AlignLeft);
    m_labelGoalPicture = AddLabel(m_pWidghtBottom, "label_goal_picture", QRect(219, 9, 10, 10), Qt::AlignLeft);
    // The legend ends where the Chinese one does, ten pixels from the panel's edge; a longer
    // word grows it to the left, the dot ahead of it.
    m_labelGoalText = AddLabel(m_pWidghtBottom, "label_goal_text", QRect(200, 9, 68, 12), Qt::AlignRight);
    // Around the same centre as the drawn 83 pixels, wide enough for years of litres ("7304.0").
    m_labelTotalAmount = AddLabel(m_pWidghtBottom, "label_drink_totalamount", QRect(60, 37, 161, 24), Qt::AlignHCenter);
    m_labelTotalAmountUnit =
        AddLabel(m_pWidghtBottom, "label_drinkunit_totalamount", QRect(127, 67, 25, 12), Qt::AlignHCenter);
    m_labelLeftCaption = AddLabel(m_pWidghtBottom, "label_goaltext_dayamount", QRect(1, 86, 100, 12), Qt::AlignHCenter);
    m_labelLeftFigure = AddLabel(m_pWidghtBottom, "label_goal_dayamount", QRect(20, 105, 60, 18), Qt::AlignHCenter);
    m_labelAverageCaption =
        AddLabel(m_pWidghtBottom, "label_averunit_drinkamount", QRect(175, 86, 100, 12), Qt::AlignHCenter);
    m_labelAverageFigure = AddLabel(m_pWidghtBottom, "label_aver_drinkamount", QRect(195, 105, 60, 18), Qt::AlignHCenter);
    // Shares the row of the target's dot and text, which the all-time view hides.
    m_btnExport = new QPushButton(tr("导出喝水记录…"), m_pWidghtBottom);
    m_btnExport->setObjectName(QStringLiteral("btn_export"));
    m_btnExport->setGeometry(124, 6, 144, 18);
    m_btnExport->setFocusPolicy(Qt::NoFocus);
    m_btnExport->installEventFilter(this);
}

CDrinkStatistics* CDrinkTotalRecord::Statistics() const
{
    return m_statistics ? m_statistics : CDrinkStatistics::Instance();
}

void CDrinkTotalRecord::OnDay_Click()
{
    m_tumbler->SetMode(Tumbler::Mode_Day);
    m_tumbler->setCurrentIndex(Statistics()->DayCount() + kLastIndexFromCount);
}

void CDrinkTotalRecord::OnMonth_Click()
{
    m_tumbler->SetMode(Tumbler::Mode_Month);
    m_tumbler->setCurrentIndex(Statistics()->MonthCount() + kLastIndexFromCount);
}

void CDrinkTotalRecord::OnWeek_Click()
{
    m_tumbler->SetMode(Tumbler::Mode_Week);
    m_tumbler->setCurrentIndex(Statistics()->WeekCount() + kLastIndexFromCount);
}

void CDrinkTotalRecord::OnTotal_Click()
{
    m_btnTotal->setChecked(true);
    stTotalsData totals;
    if (!Statistics()->GetTotals(totals)) {
        totals = stTotalsData();
        totals.nTotalDays = 1;
    }
    m_labelDrinkAmount->setText(tr("累计喝水量"));
    ShowFigures(tr("达标天数"), totals.nTotalPassDay, tr("平均每天(毫升)"), totals.nAverDrink);
    ShowAmount(totals.nTotalDrinkNum);

    // The maximum first: the gauge refuses a value above its current maximum. Beyond the last
    // step the ring is simply full.
    const int maximum = GaugeMaximum(totals.nTotalDays);
    m_gaugeRange->setMaxValue(maximum);
    m_gaugeRange->setRightValue(qMin(totals.nTotalDays, maximum));

    m_labelGoalPicture->hide();
    m_labelGoalText->hide();
    m_btnLeftPage->hide();
    m_btnRightPage->hide();
    m_tumbler->hide();
    m_gaugeRange->show();
    m_btnExport->show();
}

void CDrinkTotalRecord::OnLeftPage_Click()
{
    m_tumbler->setCurrentIndex(qMax(m_tumbler->currentIndex() - kPageItems, kFirstIndex));
}

void CDrinkTotalRecord::OnRightPage_Click()
{
    m_tumbler->setCurrentIndex(qMin(m_tumbler->currentIndex() + kPageItems, m_tumbler->itemCount() + kLastIndexFromCount));
}

void CDrinkTotalRecord::showCurDay(int nCurIndex)
{
    m_btnDay->setChecked(true);
    stDaysData day;
    if (!Statistics()->GetDayByIndex(nCurIndex, day))
        day = stDaysData();
    const QDate date = Statistics()->DateOfDayIndex(nCurIndex);
    m_labelDrinkAmount->setText(tr("%1喝水量", "a day").arg(CLanguage::Locale().toString(date, tr("M月d日"))));
    ShowFigures(tr("当天喝水(次)"), day.nTotalTimes, tr("平均每次(毫升)"), day.nAverDrinkNum);
    ShowAmount(day.nTotalDrinkNum);
    ShowTarget(day.nPassed != 0);
    ShowChartView();
}

void CDrinkTotalRecord::showCurWeek(int nCurIndex)
{
    m_btnWeek->setChecked(true);
    stWeeksData week;
    if (!Statistics()->GetWeekByIndex(nCurIndex, week))
        week = stWeeksData();
    m_labelDrinkAmount->setText(tr("第%1周喝水量").arg(Statistics()->WeekKeyOfIndex(nCurIndex) % 100));
    ShowFigures(tr("达标天数"), week.nTotalPassDay, tr("平均每天(毫升)"), week.nAverDrinkDay);
    ShowAmount(week.nTotalDrinkNum);
    ShowTarget(week.nPassed != 0);
    ShowChartView();
}

void CDrinkTotalRecord::showCurMonth(int nCurIndex)
{
    m_btnMonth->setChecked(true);
    stMonthsData month;
    if (!Statistics()->GetMonthByIndex(nCurIndex, month))
        month = stMonthsData();
    const int key = Statistics()->MonthKeyOfIndex(nCurIndex);
    const QDate first(key / 100, key % 100, 1);
    m_labelDrinkAmount->setText(tr("%1喝水量", "a month").arg(CLanguage::Locale().toString(first, tr("M月"))));
    ShowFigures(tr("达标天数"), month.nTotalPassDay, tr("平均每天(毫升)"), month.nAverDrinkDay);
    ShowAmount(month.nTotalDrinkNum);
    ShowTarget(month.nPassed != 0);
    ShowChartView();
}

// Up to ten litres in millilitres; above that in litres, as five digits of millilitres would
// no longer fit the figure's place.
void CDrinkTotalRecord::ShowAmount(int amount)
{
    if (amount <= kMilliliterLimit) {
        m_labelTotalAmount->setText(QString::number(amount));
        m_labelTotalAmountUnit->setText(tr("毫升"));
    } else {
        m_labelTotalAmount->setText(QString::number(amount / 1000.0, 'f', 1));
        m_labelTotalAmountUnit->setText(tr("升"));
    }
}

void CDrinkTotalRecord::ShowFigures(const QString& leftCaption, int left, const QString& averageCaption, int average)
{
    m_labelLeftCaption->setText(leftCaption);
    m_labelLeftFigure->setText(QString::number(left));
    m_labelAverageCaption->setText(averageCaption);
    m_labelAverageFigure->setText(QString::number(average));
}

void CDrinkTotalRecord::ShowTarget(bool reached)
{
    m_labelGoalText->setText(reached ? tr("已达标") : tr("未达标"));
    m_labelGoalPicture->setStyleSheet(QLatin1String(reached ? kReachedDot : kMissedDot));
    m_labelGoalText->ensurePolished();
    const int textStart = m_labelGoalText->geometry().right() + 1
        - m_labelGoalText->fontMetrics().horizontalAdvance(m_labelGoalText->text());
    m_labelGoalPicture->move(textStart - kDotToText, m_labelGoalPicture->y());
}

void CDrinkTotalRecord::ShowChartView()
{
    for (QLabel* label : {m_labelDrinkAmount, m_labelGoalPicture, m_labelGoalText, m_labelTotalAmount,
             m_labelTotalAmountUnit, m_labelLeftCaption, m_labelLeftFigure, m_labelAverageCaption,
             m_labelAverageFigure})
        label->show();
    m_btnLeftPage->show();
    m_btnRightPage->show();
    m_tumbler->show();
    m_gaugeRange->hide();
    m_btnExport->hide();
}

void CDrinkTotalRecord::RefreshView()
{
    if (m_btnTotal->isChecked()) {
        OnTotal_Click();
        return;
    }
    // The counts may have grown: the chart takes them anew and keeps its place where it can.
    const int index = m_tumbler->currentIndex();
    m_tumbler->SetMode(m_tumbler->mode());
    m_tumbler->setCurrentIndex(qMin(index, m_tumbler->itemCount() + kLastIndexFromCount));
}

void CDrinkTotalRecord::OnExport_Click()
{
    QFileDialog dialog(this, tr("导出喝水记录"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), tr("CSV 文件 (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Added before the dialog asks whether to replace a file, so it asks about the right one.
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(tr("喝水记录") + QStringLiteral(".csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    // A connection of this thread's own that waits only a moment for a file another program
    // holds: the export then says it cannot read the history rather than freeze the window.
    CHealthDatabase store(QStringLiteral("HealthConfigExport"), kExportWaitMs);
    store.OpenDatabase();
    CDrinkHistoryExport history(&store);
    if (history.Write(fileName))
        QMessageBox::information(this, tr("导出喝水记录"), tr("喝水记录已保存到 %1").arg(QDir::toNativeSeparators(fileName)));
    else
        QMessageBox::warning(this, tr("导出喝水记录"), history.ErrorString());
}

bool CDrinkTotalRecord::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QPushButton*>(watched))
            button->setCursor(Qt::PointingHandCursor);
    }
    return QWidget::eventFilter(watched, event);
}

void CDrinkTotalRecord::showEvent(QShowEvent* event)
{
    OnTotal_Click();
    QWidget::showEvent(event);
}

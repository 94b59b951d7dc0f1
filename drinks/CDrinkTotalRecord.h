#pragma once

#include <QWidget>

class CDrinkStatistics;
class GaugeRange;
class QLabel;
class QPushButton;
class Tumbler;

// The drinking history page: tabs for days, weeks, months and all time. The first three show
// the bar chart with the selected period in its centre and that period's figures below it; the
// last shows the days of use on a ring gauge and the all-time figures, and offers the export of
// the whole history. It only reads the model, and shows its view again whenever the model has
// read the file anew (once the file another program held can be read, for one).
class CDrinkTotalRecord : public QWidget
{
    Q_OBJECT
public:
    // Reads the process-wide statistics unless given a model of its own.
    explicit CDrinkTotalRecord(QWidget* parent = nullptr, CDrinkStatistics* statistics = nullptr);

public slots:
    void OnDay_Click();
    void OnMonth_Click();
    void OnWeek_Click();
    void OnTotal_Click();
    void OnLeftPage_Click();
    void OnRightPage_Click();
    void showCurDay(int nCurIndex);
    void showCurWeek(int nCurIndex);
    void showCurMonth(int nCurIndex);
    // Asks for a file name and writes the whole history there as CSV.
    void OnExport_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The page always opens on the all-time view.
    void showEvent(QShowEvent* event) override;

private:
    void BuildWidgets();
    CDrinkStatistics* Statistics() const;
    void ShowAmount(int amount);
    void ShowFigures(const QString& leftCaption, int left, const QString& averageCaption, int average);
    void ShowTarget(bool reached);
    // Shows what the day, week and month views share and hides the gauge.
    void ShowChartView();
    // Shows the current view again from the model, read anew from the file.
    void RefreshView();

    CDrinkStatistics* m_statistics;
    QWidget* m_subPanel = nullptr;
    QPushButton* m_btnDay = nullptr;
    QPushButton* m_btnWeek = nullptr;
    QPushButton* m_btnMonth = nullptr;
    QPushButton* m_btnTotal = nullptr;
    QPushButton* m_btnLeftPage = nullptr;
    QPushButton* m_btnRightPage = nullptr;
    Tumbler* m_tumbler = nullptr;
    GaugeRange* m_gaugeRange = nullptr;
    QWidget* m_pWidghtBottom = nullptr;
    QLabel* m_labelDrinkAmount = nullptr;
    QLabel* m_labelGoalPicture = nullptr;
    QLabel* m_labelGoalText = nullptr;
    QLabel* m_labelTotalAmount = nullptr;
    QLabel* m_labelTotalAmountUnit = nullptr;
    QLabel* m_labelLeftCaption = nullptr;
    QLabel* m_labelLeftFigure = nullptr;
    QLabel* m_labelAverageCaption = nullptr;
    QLabel* m_labelAverageFigure = nullptr;
    QPushButton* m_btnExport = nullptr;
};

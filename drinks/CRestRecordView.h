#pragma once

#include <QDate>
#include <QWidget>

class CRestChart;
class CRestHistory;
class QLabel;
class QPushButton;

// The rest history on the records page: days, weeks or months as a chart of rests taken against
// rests due, seven periods at a time, and the chosen period's figures below it: rests taken and
// due, put off, skipped, and the time at the screen. Weeks run Monday to Sunday and are numbered
// as the drink views number them. It only reads the history, and looks again whenever the history
// was read anew.
class CRestRecordView : public QWidget
{
    Q_OBJECT
public:
    enum Period
    {
        Day = 0,
        Week = 1,
        Month = 2,
    };

    explicit CRestRecordView(CRestHistory* history, QWidget* parent = nullptr);

    // Shows the period of `date`, the last of the seven in the chart.
    void ShowPeriod(Period period, const QDate& date);
    Period CurrentPeriod() const;
    QDate SelectedDate() const;

    // The first and last day of the period that holds `date`.
    static void Bounds(Period period, const QDate& date, QDate& first, QDate& last);

public slots:
    void Refresh();

private:
    void BuildWidgets();
    // The period `steps` periods after the one of `date` (before it for negative steps).
    QDate Step(const QDate& date, int steps) const;
    QString BarLabel(const QDate& date) const;
    QString Caption(const QDate& date) const;
    // The user chose bar `index` of the chart, or one step past either end.
    void OnChosen(int index);
    // Moves the chart by seven periods, earlier (-1) or later (1).
    void Page(int direction);
    // Whether `date` lies in a period before the current one.
    bool IsBeforeNow(const QDate& date) const;

    CRestHistory* m_history;
    Period m_period = Day;
    // A day of the last period the chart shows, and of the chosen one.
    QDate m_last;
    QDate m_selected;
    QPushButton* m_btnDay = nullptr;
    QPushButton* m_btnWeek = nullptr;
    QPushButton* m_btnMonth = nullptr;
    QPushButton* m_btnEarlier = nullptr;
    QPushButton* m_btnLater = nullptr;
    CRestChart* m_chart = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_taken = nullptr;
    QLabel* m_takenUnit = nullptr;
    QLabel* m_postponed = nullptr;
    QLabel* m_skipped = nullptr;
    QLabel* m_screenTime = nullptr;
};

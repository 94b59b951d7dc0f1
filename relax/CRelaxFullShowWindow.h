#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QPointer>

class CAdsWidget;
class CRelaxFullShowSettings;
class QGraphicsScene;
class QGraphicsView;
class QLabel;
class QMenu;
class QPushButton;

// The full-screen rest on one screen: a dark window that stays on top for the length of the rest
// and shows a quiz turned sideways, a quotation or the neck exercises. The rest prompt opens one
// per screen, all with the same content, and deletes them all when one reports closing.
class CRelaxFullShowWindow : public QDialog
{
    Q_OBJECT
public:
    enum ContentKind { Quiz = 0, Quotation = 1, Exercises = 2 };
    static constexpr int QuizCount = 80;
    static constexpr int ExerciseCount = 4;

    explicit CRelaxFullShowWindow(QWidget* parent, QMenu* frameMenu = nullptr);
    ~CRelaxFullShowWindow() override;

    void SetContentKind(int kind);
    int ContentKind() const;
    int AdsPosition() const;
    // The quiz on screen (kind 0) or the exercise section (kind 2).
    int QuizNumber() const;
    int Section() const;
    void ShowQuiz(int number);
    int Remaining() const;
    // One second of the rest has passed.
    void CountdownTick();

    // `text` with a line break after every `step` characters, the last one included. A text in
    // words without Chinese characters (an English quiz) is broken at its spaces instead, up to
    // 2 × step characters a line, as a Latin letter takes about half a Chinese character's width.
    static QString BreakLines(QString text, int step);

signals:
    void OnClose_Signals();
    void OnDeleteLater_Signals();

public slots:
    void OnClose_Click();
    void OnSettings_Click();
    void OnMenu_Click();
    void OnLeft_Click();
    void OnRight_Click();
    void OnNoTips_Click();
    void On1Hour_Click();
    void On1Day_Click();
    void OnFeedback_Click();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void BuildWindow();
    void BuildMenu();
    QPushButton* AddButton(QWidget* parent, const QString& objectName, const QSize& size);
    void ShowQuotation();
    void ShowSection();
    // Shows `text` in `view` turned by `angle` degrees, making its scene on first use.
    void ShowSideways(QGraphicsView* view, QGraphicsScene*& scene, QLabel*& label, const QString& text, int angle);
    void EndRest();

    QMenu* m_frameMenu = nullptr;
    QPushButton* m_btnSettingsMenu = nullptr;
    QLabel* m_timerTips = nullptr;
    QPushButton* m_btnLeft = nullptr;
    QPushButton* m_btnRight = nullptr;
    QWidget* m_body = nullptr;
    QGraphicsView* m_viewLeft = nullptr;
    QGraphicsView* m_viewRight = nullptr;
    QWidget* m_fullImages = nullptr;
    QLabel* m_showTips = nullptr;
    QLabel* m_showImage = nullptr;
    QLabel* m_showImageTitle = nullptr;
    QLabel* m_showImageTips = nullptr;
    QWidget* m_adsBar = nullptr;
    CAdsWidget* m_adsWidget = nullptr;
    QPushButton* m_btnFinish = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QPointer<CRelaxFullShowSettings> m_settings;

    int m_remaining = 0;
    QBasicTimer m_countdownTimer;
    int m_kind = -1;
    int m_adsPosition = 0;
    // The quiz paged around (kind 0) or the exercise section (kind 2).
    int m_base = 0;
    int m_offset = 0;
    QGraphicsScene* m_sceneLeft = nullptr;
    QGraphicsScene* m_sceneRight = nullptr;
    QLabel* m_quizLeft = nullptr;
    QLabel* m_quizRight = nullptr;
    bool m_ended = false;
};

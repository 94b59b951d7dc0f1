#pragma once

#include <QBasicTimer>
#include <QDialog>

class CAdsWidget;
class CDrinkForm;
class QMenu;
class QPushButton;

// The drink reminder pop-up: slides up at the bottom right of the screen when a reminder is
// due and lets the user record a drink, with an advertisement strip above it.
class CDrinksWindow : public QDialog
{
    Q_OBJECT
public:
    // Pixels the pop-up rises, one per 5 ms step; the slide timer runs on to the last step.
    static constexpr int SlideRise = 440;
    static constexpr int SlideSteps = 720;
    static constexpr int SlideStepMs = 5;

    explicit CDrinksWindow(QWidget* parent = nullptr);

    // The frame's own menu, opened by this window's menu button.
    void SetMenu(QMenu* menu);
    CDrinkForm* Form() const;
    // Where the slide starts and ends on an available screen area of that geometry.
    static QPoint SlideStart(const QRect& available, const QSize& window);
    static QPoint SlideEnd(const QRect& available, const QSize& window);

public slots:
    void OnResetSetting();
    void OnMenu_Click();
    void OnDrinks_Click();
    void OnNoDrinks_Click();
    void OnClose_Click();
    void OnSliderValueChanged(int nIndex);
    void OnTextEdited(QString text);
    void OnRecord_Click();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildTopBar(QWidget* content);
    void StartSystemMove();
    QRect AvailableArea() const;

    QWidget* m_topWidget = nullptr;
    QPushButton* m_btnMenu = nullptr;
    QPushButton* m_btnClose = nullptr;
    CAdsWidget* m_adsWidget = nullptr;
    CDrinkForm* m_form = nullptr;

    QBasicTimer m_slideTimer;
    int m_slideStep = 0;
    QRect m_slideArea;
};

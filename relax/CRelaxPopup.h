#pragma once

#include <QDialog>

class CAdsWidget;
class CPopupSlider;
class QLabel;
class QMenu;
class QPushButton;

// The common frame of the two small rest pop-ups: a frameless window that stays on top without
// taking the focus, an advertisement strip over a white panel whose head carries the caption,
// the frame menu and the close button. The pop-up slides in at the bottom right of the screen.
class CRelaxPopup : public QDialog
{
    Q_OBJECT
public:
    CPopupSlider* Slider() const;
    // The frame menu that `btn_menu` carries, passed on to the windows this one opens.
    void SetFrameMenu(QMenu* menu);
    QMenu* FrameMenu() const;

protected:
    CRelaxPopup(QWidget* parent, const QString& objectName, const QString& title, const QString& caption,
        const QString& stripName, QMenu* frameMenu);

    // The panel below the advertisement strip; the subclasses place their widgets on it.
    QWidget* Body() const;
    QLabel* AddLabel(const QString& objectName, const QString& text, const QRect& geometry);
    QPushButton* AddButton(const QString& objectName, const QString& text, const QRect& geometry);
    QPushButton* MenuButton() const;
    QPushButton* CloseButton() const;
    // Fills the advertisement strip with the slot at `position`.
    void ShowAds(int position);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* m_body = nullptr;
    QPushButton* m_btnMenu = nullptr;
    QPushButton* m_btnClose = nullptr;
    QMenu* m_frameMenu = nullptr;
    CAdsWidget* m_adsWidget = nullptr;
    CPopupSlider* m_slider = nullptr;
};

#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

// The make shared by the exit confirmation and the start-with-system prompt: a small frameless
// dialog with a head bar holding the title and a close button, and a body whose widgets the
// subclass places by position.
class CPromptDialog : public QDialog
{
    Q_OBJECT
public:
    // Puts the two texts into label_ExitTips and label_ExitTipsMsg.
    void SetTexts(const QString& tips, const QString& message);

public slots:
    void OnClose_Click();
    void OnYes_Click();

protected:
    CPromptDialog(const QString& objectName, const QRect& tipsGeometry, const QRect& messageGeometry);

    QWidget* Body() const;
    // The first of the two texts: what the dialog asks.
    QLabel* Tips() const;
    QPushButton* AddButton(const QString& objectName, const QString& text, const QRect& geometry);
    void mouseMoveEvent(QMouseEvent* event) override;
    // Each time it is asked, the keyboard starts on the first control, not where it was left.
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_body = nullptr;
    QLabel* m_tips = nullptr;
    QLabel* m_message = nullptr;
};

#pragma once

#include <QMainWindow>

class CDrinksTask;
class CEyeshieldTask;
class CRelaxTask;
class QPushButton;

// The home page: one round button per feature, each turning into its card under the mouse, or
// when the keyboard reaches it.
class CMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainWindow(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ButtonCard
    {
        QPushButton* button;
        QWidget* card;
    };

    QPushButton* AddButton(const QString& objectName, const QString& name, const QRect& geometry);
    // The card takes the button's place; `focus` puts the keyboard on its first button, or on
    // its last when it was reached backwards.
    void OpenCard(const ButtonCard& pair, Qt::FocusReason focus);
    void CloseCard(const ButtonCard& pair);

    QList<ButtonCard> m_pairs;
};

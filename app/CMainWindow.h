#pragma once

#include <QMainWindow>

class CDrinksTask;
class CEyeshieldTask;
class CRelaxTask;
class QPushButton;

// The home page: one round button per feature, each turning into its card under the mouse.
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

    QPushButton* AddButton(const QString& objectName, const QRect& geometry);

    QList<ButtonCard> m_pairs;
};

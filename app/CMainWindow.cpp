#include "CMainWindow.h"

#include <QEvent>
#include <QPushButton>

#include "CDrinksTask.h"
#include "CEyeshieldTask.h"
#include "CRelaxTask.h"

CMainWindow::CMainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("CMainWindow"));
    resize(282, 330);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("MainPanelWidget"));
    setCentralWidget(panel);

    QPushButton* drinks = AddButton(QStringLiteral("btn_drinks"), QRect(120, 58, 130, 130));
    QPushButton* relax = AddButton(QStringLiteral("btn_relax"), QRect(30, 131, 100, 100));
    QPushButton* eyeshield = AddButton(QStringLiteral("btn_eyeshield"), QRect(119, 191, 90, 90));

    m_pairs = {
        {drinks, new CDrinksTask(panel)},
        {relax, new CRelaxTask(panel)},
        {eyeshield, new CEyeshieldTask(panel)},
    };
    for (const ButtonCard& pair : qAsConst(m_pairs)) {
        pair.card->hide();
        pair.button->installEventFilter(this);
        pair.card->installEventFilter(this);
    }
}

QPushButton* CMainWindow::AddButton(const QString& objectName, const QRect& geometry)
{
    auto* button = new QPushButton(centralWidget());
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setFixedSize(geometry.size());
    return button;
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    for (const ButtonCard& pair : qAsConst(m_pairs)) {
        if (watched == pair.button && event->type() == QEvent::Enter) {
            pair.button->hide();
            pair.card->move(pair.button->pos());
            pair.card->show();
        } else if (watched == pair.card && event->type() == QEvent::Leave) {
            pair.button->show();
            pair.card->hide();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

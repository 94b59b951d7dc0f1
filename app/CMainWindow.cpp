#include "CMainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QPushButton>

#include "CDrinksTask.h"
#include "core/CKeyboardAccess.h"
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

    QPushButton* drinks = AddButton(QStringLiteral("btn_drinks"), tr("喝水提醒"), QRect(120, 58, 130, 130));
    QPushButton* relax = AddButton(QStringLiteral("btn_relax"), tr("休息提醒"), QRect(30, 131, 100, 100));
    QPushButton* eyeshield = AddButton(QStringLiteral("btn_eyeshield"), tr("防蓝光"), QRect(119, 191, 90, 90));

    m_pairs = {
        {drinks, new CDrinksTask(panel)},
        {relax, new CRelaxTask(panel)},
        {eyeshield, new CEyeshieldTask(panel)},
    };
    // Tab goes through each card right after its button, whose place the card takes.
    QWidget* previous = nullptr;
    for (const ButtonCard& pair : qAsConst(m_pairs)) {
        pair.card->hide();
        pair.button->installEventFilter(this);
        pair.card->installEventFilter(this);
        connect(pair.button, &QPushButton::clicked, this, [this, pair] { OpenCard(pair, Qt::TabFocusReason); });
        if (previous)
            setTabOrder(previous, pair.button);
        previous = pair.button;
        for (QPushButton* cardButton : pair.card->findChildren<QPushButton*>()) {
            cardButton->installEventFilter(this);
            setTabOrder(previous, cardButton);
            previous = cardButton;
        }
    }
}

QPushButton* CMainWindow::AddButton(const QString& objectName, const QString& name, const QRect& geometry)
{
    auto* button = new QPushButton(centralWidget());
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setFixedSize(geometry.size());
    CKeyboardAccess::Button(button, name);
    return button;
}

void CMainWindow::OpenCard(const ButtonCard& pair, Qt::FocusReason focus)
{
    pair.card->move(pair.button->pos());
    pair.card->show();
    const QList<QPushButton*> cardButtons = pair.card->findChildren<QPushButton*>();
    if (!cardButtons.isEmpty())
        (focus == Qt::BacktabFocusReason ? cardButtons.last() : cardButtons.first())->setFocus(focus);
    pair.button->hide();
}

void CMainWindow::CloseCard(const ButtonCard& pair)
{
    pair.button->show();
    pair.card->hide();
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    for (const ButtonCard& pair : qAsConst(m_pairs)) {
        if (watched == pair.button && event->type() == QEvent::Enter) {
            pair.button->hide();
            pair.card->move(pair.button->pos());
            pair.card->show();
        } else if (watched == pair.card && event->type() == QEvent::Leave) {
            CloseCard(pair);
        } else if (watched == pair.button && event->type() == QEvent::FocusIn) {
            // Tabbing onto the button opens its card as the mouse does; a focus given otherwise
            // (the page coming back into view) leaves it a button, which Enter opens.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                OpenCard(pair, reason);
        } else if (event->type() == QEvent::FocusOut && pair.card->isAncestorOf(static_cast<QWidget*>(watched))) {
            // The keyboard has left the card: the button comes back.
            const QWidget* focus = QApplication::focusWidget();
            if (focus && !pair.card->isAncestorOf(focus))
                CloseCard(pair);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

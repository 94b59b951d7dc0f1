#pragma once

#include <QSystemTrayIcon>

class QMenu;

// The notification-area icon and its menu, which leads to the feature pages and the exit.
class CSystemTray : public QSystemTrayIcon
{
    Q_OBJECT
public:
    explicit CSystemTray(QObject* parent = nullptr);
    ~CSystemTray() override;

    QMenu* Menu() const;

signals:
    void OnDrinksAct_Signals();
    void OnDrinksNowAct_Signals();
    void OnDrinksScoreAct_Signals();
    void OnRelaxAct_Signals();
    void OnEyeshieldAct_Signals();
    void OnFeedBackAct_Signals();
    void OnUpdateAct_Signals();
    void OnQuitAct_Signals();

private:
    struct stEntry
    {
        QString strText;
        QString strIcon;
        void (CSystemTray::*signal)();
    };

    // The width of the entries' texts: the Chinese design's, or the widest text's when wider.
    static int TextWidth(const QList<QList<stEntry>>& groups);
    void AddEntry(const QString& text, const QString& icon, void (CSystemTray::*signal)());

    QMenu* m_menu = nullptr;
    int m_textWidth = 0;
};

#pragma once

#include <functional>

#include <QBasicTimer>
#include <QWidget>

class QLabel;
class QPushButton;

// A home-page card that replaces a feature's round button under the mouse: a round picture,
// a label telling whether the feature is on, and buttons leading to its pages.
class CFeatureCard : public QWidget
{
    Q_OBJECT
public:
    // The label's text: "已开启" when the feature is on, "未开启" when off, and the text given to
    // MarkUnavailable when this session cannot provide the feature.
    QString StatusText() const;

protected:
    CFeatureCard(QWidget* parent, const QString& panelName, const QString& picture, int diameter,
        const QRect& labelGeometry, std::function<int()> readStatus);

    QPushButton* AddButton(const QString& objectName, const QString& text, const QRect& geometry);
    // The label shows `text` whatever the stored switch says, and hovering it explains why; an
    // empty text makes the feature available again.
    void MarkUnavailable(const QString& text, const QString& reason);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void RefreshStatus();

    QWidget* m_panel = nullptr;
    QLabel* m_taskTips = nullptr;
    std::function<int()> m_readStatus;
    // The panel's picture, given to it when the card is first shown.
    QString m_panelStyle;
    QString m_unavailableText;
    // Only runs while the card is on screen: a hidden card has nothing to refresh.
    QBasicTimer m_refreshTimer;
};

#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

// Shows one advertisement slot's picture; a click, or Enter or Space on it, opens its link.
class CAdsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CAdsWidget(QWidget* parent = nullptr);

    // Shows the slot at `position` in its host's area when the slot is active and its picture
    // loads; hides the widget otherwise. Hosts call it every time they are shown. True when shown.
    bool ShowSlot(int position);
    // The same, at `area` of a host that lays its slot out itself.
    bool ShowSlot(int position, const QRect& area);

    void SetPosition(int position);
    void SetImage(const QPixmap& image);
    bool HasImage() const;
    void SetLink(const QString& link);

    // The slot's name, which is also the usage event of a click; empty for unknown positions.
    static QString SlotName(int position);

signals:
    void OnCloseAdsWidget_Signals();

public slots:
    void OnClose_Click();
    void OnAds_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_position = 0;
    QPixmap m_image;
    QString m_imagePath;
    QString m_link;
    QLabel* m_tag = nullptr;
    QPushButton* m_close = nullptr;
};

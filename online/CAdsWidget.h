#pragma once

#include <QPixmap>
#include <QWidget>

// Shows one advertisement slot's picture; a click opens its link.
class CAdsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CAdsWidget(QWidget* parent = nullptr);

    void SetPosition(int position);
    void SetImage(const QPixmap& image);
    bool HasImage() const;
    void SetLink(const QString& link);

signals:
    void OnCloseAdsWidget_Signals();

public slots:
    void OnAds_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_position = 0;
    QPixmap m_image;
    QString m_link;
};

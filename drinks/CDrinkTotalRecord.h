#pragma once

#include <QWidget>

// The drinking history page.
class CDrinkTotalRecord : public QWidget
{
    Q_OBJECT
public:
    explicit CDrinkTotalRecord(QWidget* parent = nullptr);
};

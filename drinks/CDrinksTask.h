#pragma once

#include "core/CFeatureCard.h"

// The drink card of the home page: whether the reminder is on, and the way to the drink pages.
class CDrinksTask : public CFeatureCard
{
    Q_OBJECT
public:
    explicit CDrinksTask(QWidget* parent = nullptr);

public slots:
    void OnDrinksRecord_Click();
    void OnDrinksSettings_Click();
    void OnDrinksNow_Click();
};

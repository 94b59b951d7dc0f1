#pragma once

#include "core/CFeatureCard.h"

// The rest card of the home page: whether the rest reminder is on, and the way to its settings.
class CRelaxTask : public CFeatureCard
{
    Q_OBJECT
public:
    explicit CRelaxTask(QWidget* parent = nullptr);

public slots:
    void OnRelaxSettings_Click();
};

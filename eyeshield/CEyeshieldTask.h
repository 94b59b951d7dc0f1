#pragma once

#include "core/CFeatureCard.h"

// The eye-protection card of the home page: whether protection is on, and the way to its page.
class CEyeshieldTask : public CFeatureCard
{
    Q_OBJECT
public:
    explicit CEyeshieldTask(QWidget* parent = nullptr);

public slots:
    void OnEyeshieldSettings_Click();

private:
    // "不支持" while the screen cannot be tinted, with the reason under the pointer.
    void ShowAbility();
};
